// Frames drawn by the real scene code into a headless framebuffer, read back
// pixel by pixel.
#include "view/scene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "core/time_key.h"
#include "tests/core/example_event.h"
#include "tests/core/test_files.h"
#include "view/headless.h"

namespace valdrin {
namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr uint8_t kMapColour[3] = {200, 100, 50};

class SceneFrames : public ::testing::Test {
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
  Image frame;

  void SetUp() override {
    ASSERT_EQ(open_headless_gl(kWidth, kHeight, gl), 1);
    // A plain one-colour base map, and a cell table with one selected cell.
    std::filesystem::create_directories(dir.path("maps"));
    std::filesystem::create_directories(dir.path("selections"));
    Image map;
    alloc_image(64, 64, 3, map);
    for (int i = 0; i < 64 * 64; ++i)
      for (int c = 0; c < 3; ++c) map.pixels[i * 3 + c] = kMapColour[c];
    ASSERT_EQ(write_bmp(dir.path("maps/basemap.bmp").c_str(), map), 1);
    free_image(map);
    std::string table(kSelectionFileBytes, '\0');
    table[(33 * kGridCols + 45) * 8 + 3] = 0x40;  // row 33, column 45: bit 30
    test::write_file(dir.path("selections/default.sel"), table);
    gis.overlay_flags = 0;
  }
  void TearDown() override {
    free_image(frame);
    free_scene();
    close_headless_gl(gl);
  }

  void draw() {
    init_scene(*scene, sources, gis, dir.root());
    resize_view(view, kWidth, kHeight);
    draw_frame(*scene, view);
    free_image(frame);
    read_frame(kWidth, kHeight, frame);
  }
  // Pixel (x, y) counted from the bottom-left, as the frame holds it.
  const uint8_t* pixel(int x, int y) const { return frame.pixels + (y * kWidth + x) * 3; }
  // The pixel at the centre of grid cell (row, col) in a straight-down view.
  const uint8_t* over_cell(int row, int col) const {
    const double units_per_pixel = 2.0 * view.distance / 4.0 / kHeight;
    const int x = static_cast<int>(
        std::lround(kWidth / 2.0 + (col + 0.5 - view.look_at[0]) / units_per_pixel));
    const int y = static_cast<int>(
        std::lround(kHeight / 2.0 + (row + 0.5 - view.look_at[1]) / units_per_pixel));
    return pixel(x, y);
  }
};

void expect_colour(const uint8_t* p, int r, int g, int b, int tolerance = 2) {
  EXPECT_NEAR(p[0], r, tolerance);
  EXPECT_NEAR(p[1], g, tolerance);
  EXPECT_NEAR(p[2], b, tolerance);
}

// The map shows under zero-count cells, half bright under a selected one,
// and the clear colour where no cell is; a height-zero resize keeps the
// projection.
TEST_F(SceneFrames, MapSelectedTopsAndTheClearColour) {
  draw();
  expect_colour(over_cell(33, 42), kMapColour[0], kMapColour[1], kMapColour[2]);
  expect_colour(over_cell(33, 45), kMapColour[0] / 2, kMapColour[1] / 2, kMapColour[2] / 2);
  EXPECT_TRUE(recorder.messages.empty());
  resize_view(view, kWidth, 0);
  draw_frame(*scene, view);
  EXPECT_NEAR(view.last_aspect, 800.0f / 600.0f, 1e-6);
  view.look_at[0] = 0;  // the left half of the frame lies beside the grid
  draw();
  const int grey = static_cast<int>(kClearGrey * 255 + 0.5f);
  expect_colour(pixel(100, 300), grey, grey, grey);
  expect_colour(pixel(700, 300), kMapColour[0], kMapColour[1], kMapColour[2]);
}

// Looking level at the front face of a column of three from close by: three
// white bands, each capped by a black stripe an eighth of its height.
TEST_F(SceneFrames, ColumnOfThreeShowsThreeCappedBands) {
  for (int i = 0; i < 3; ++i) store->records[store->count++] = test::event_at(0x1085, 33, 42);
  time.window_start = 0;
  view.look_at[0] = 42.5f;
  view.tilt = 90;
  view.distance = 10;
  draw();
  EXPECT_EQ(counts->cells[33 * kGridCols + 42], 3u);
  // The face y = 33 is 10 units from the eye and one unit wide: 120 pixels
  // across, 30 pixels per event upward from the middle row.
  const int band = 30;
  const int face_grey = static_cast<int>(0.9f * 255);
  for (int k = 0; k < 3; ++k) {
    SCOPED_TRACE(k);
    expect_colour(pixel(400, 300 + k * band + 12), face_grey, face_grey, face_grey, 3);
    const uint8_t* cap = pixel(400, 300 + k * band + 28);
    EXPECT_LT(cap[0], 40);
    EXPECT_LT(cap[1], 40);
  }
  // Above the column the sky: the clear colour.
  const int grey = static_cast<int>(kClearGrey * 255 + 0.5f);
  expect_colour(pixel(400, 300 + 3 * band + 10), grey, grey, grey);
}

}  // namespace
}  // namespace valdrin
