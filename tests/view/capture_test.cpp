// The view's capture, drawn headless by the real scene code: its rows must
// come bottom first and tightly packed, also for widths whose byte count is
// not a multiple of 4, and the snapshot file made from it must start with
// the view's bottom row and pad each row to 4 bytes.
#include "view/capture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <vector>

#include "tests/core/test_files.h"
#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

// A view whose lower half lies beside the grid (clear grey) and whose upper
// half shows a map that changes colour along both axes, so that rows and
// columns are told apart by their bytes.
class Capture : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  HeadlessGl gl;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;
  Event query = initial_query();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  std::unique_ptr<CellTable> cells = std::make_unique<CellTable>();
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  SceneSources sources{*store, query, time, *counts, *cells};
  GisSettings gis;
  ViewState view;

  void SetUp() override {
    std::filesystem::create_directories(dir.path("maps"));
    std::filesystem::create_directories(dir.path("selections"));
    Image map;
    alloc_image(64, 64, 3, map);
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x) {
        uint8_t* p = map.pixels + (y * 64 + x) * 3;
        p[0] = static_cast<uint8_t>(x * 4);
        p[1] = static_cast<uint8_t>(y * 4);
        p[2] = 255;
      }
    ASSERT_EQ(write_bmp(dir.path("maps/basemap.bmp").c_str(), map), 1);
    free_image(map);
    test::write_file(dir.path("selections/default.sel"), std::string(kSelectionFileBytes, '\0'));
    gis.overlay_flags = 0;
    view.look_at[1] = 0;  // the grid's first row across the middle
  }
  void TearDown() override {
    if (gl.context != nullptr) free_scene();
    close_headless_gl(gl);
  }

  void open(int width, int height) {
    ASSERT_EQ(open_headless_gl(width, height, gl), 1);
    init_scene(*scene, sources, gis, dir.root());
    resize_view(view, static_cast<int16_t>(width), static_cast<int16_t>(height));
  }
};

// Row y of the bound framebuffer, read on its own under the default pack
// alignment (a lone row can't be misplaced by padding).
std::vector<uint8_t> read_row(int width, int y) {
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3 + 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  glReadPixels(0, y, width, 1, GL_RGB, GL_UNSIGNED_BYTE, row.data());
  row.resize(static_cast<size_t>(width) * 3);
  return row;
}

TEST_F(Capture, RowsComeBottomFirstTightlyPackedAndSoDoTheFileRows) {
  struct Case {
    int width, height;
    size_t file_row_bytes;  // pixel bytes plus pad
  };
  for (const Case c : {Case{800, 600, 2400}, Case{1001, 120, 3004}}) {
    SCOPED_TRACE(c.width);
    open(c.width, c.height);
    Image capture;
    ASSERT_EQ(capture_view(*scene, view, capture), 1);
    ASSERT_EQ(capture.width, c.width);
    ASSERT_EQ(capture.height, c.height);
    ASSERT_EQ(capture.channels, 3);
    const size_t row_bytes = static_cast<size_t>(c.width) * 3;
    for (int y : {0, 1, c.height / 2, c.height - 1}) {
      const std::vector<uint8_t> expected = read_row(c.width, y);
      EXPECT_EQ(std::memcmp(capture.pixels + y * row_bytes, expected.data(), row_bytes), 0)
          << "row " << y;
    }
    // Bottom first: the lowest row is the clear grey beside the grid, the
    // top row shows the map.
    const int grey = static_cast<int>(kClearGrey * 255 + 0.5f);
    const size_t middle = static_cast<size_t>(c.width / 2) * 3;
    EXPECT_NEAR(capture.pixels[middle + 2], grey, 2);
    EXPECT_GT(capture.pixels[(c.height - 1) * row_bytes + middle + 2], 250);

    const std::string path = dir.path("shot.bmp");
    ASSERT_EQ(write_bmp(path.c_str(), capture), 1);
    const std::string file = test::read_file(path);
    ASSERT_EQ(file.size(), 54 + c.file_row_bytes * c.height);
    for (int y : {0, c.height - 1}) {
      const char* row = file.data() + 54 + y * c.file_row_bytes;
      const uint8_t* in = capture.pixels + y * row_bytes;
      bool same = true;
      for (int x = 0; x < c.width; ++x)
        same = same && static_cast<uint8_t>(row[3 * x]) == in[3 * x + 2] &&
               static_cast<uint8_t>(row[3 * x + 1]) == in[3 * x + 1] &&
               static_cast<uint8_t>(row[3 * x + 2]) == in[3 * x];
      EXPECT_TRUE(same) << "file row " << y;
      for (size_t pad = row_bytes; pad < c.file_row_bytes; ++pad) EXPECT_EQ(row[pad], 0);
    }
    free_image(capture);
    free_scene();
    close_headless_gl(gl);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(Capture, AViewWithNoAreaCapturesNothing) {
  open(64, 48);
  for (const auto& size : {std::pair<int16_t, int16_t>{0, 48}, {64, 0}, {0, 0}}) {
    view.viewport_width = size.first;
    view.viewport_height = size.second;
    Image capture;
    EXPECT_EQ(capture_view(*scene, view, capture), 0);
    EXPECT_EQ(capture.pixels, nullptr);
  }
}

}  // namespace
}  // namespace valdrin
