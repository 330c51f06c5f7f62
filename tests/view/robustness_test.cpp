// The view layer's readers on hostile files and its BMP writer on a disk
// that fills up: odd bit depths, maps too narrow for the texture upload,
// folders where the base map or an overlay should be, and images cut off
// half-way.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "tests/core/failing_writes.h"
#include "tests/core/test_files.h"
#include "view/image.h"
#include "view/map_layers.h"

namespace valdrin {
namespace {

// A BMP of width x height pixels, its bits-per-pixel field set to `bits`;
// the pixel rows are whatever a 24-bit file of that size holds.
std::string bmp_file(int32_t width, int32_t height, uint16_t bits) {
  Image image;
  alloc_image(width, height, 3, image);
  for (size_t i = 0; i < static_cast<size_t>(width) * height * 3; ++i)
    image.pixels[i] = static_cast<uint8_t>(i * 37);
  test::ScratchDir dir;
  EXPECT_EQ(write_bmp(dir.path("x.bmp").c_str(), image), 1);
  free_image(image);
  std::string bytes = test::read_file(dir.path("x.bmp"));
  bytes[28] = static_cast<char>(bits & 0xFF);
  bytes[29] = static_cast<char>(bits >> 8);
  return bytes;
}

TEST(HostileBmp, OnlyTwentyFourBitsPerPixel) {
  test::ScratchDir dir;
  for (uint16_t bits : {24, 25, 27, 31, 32, 16, 8, 0, 24 + 256}) {
    test::write_file(dir.path("in.bmp"), bmp_file(4, 2, bits));
    Image image;
    EXPECT_EQ(read_bmp(dir.path("in.bmp").c_str(), image), bits == 24 ? 1 : 0) << bits;
    EXPECT_EQ(image.pixels != nullptr, bits == 24) << bits;
    free_image(image);
  }
}

class HostileMaps : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::string data = dir.path("data");
  void SetUp() override {
    std::filesystem::create_directories(data + "/maps");
    std::filesystem::create_directories(data + "/overlays");
  }
  void base_map(const std::string& bytes) { test::write_file(data + "/maps/basemap.bmp", bytes); }
};

// The map is uploaded tightly packed under an unpack alignment of 4: a
// power-of-two width below 4 would have the upload read past the pixels,
// so such a map is refused like any map that can't be read.
TEST_F(HostileMaps, NarrowMapsAreRefused) {
  struct Case {
    int32_t width, height;
    int composed;
  };
  const Case cases[] = {{1, 1, 0}, {1, 4, 0}, {2, 2, 0}, {2, 8, 0},
                        {4, 1, 1}, {4, 4, 1}, {8, 2, 1}};
  for (const Case& c : cases) {
    recorder.messages.clear();
    base_map(bmp_file(c.width, c.height, 24));
    GisSettings gis;
    gis.overlay_flags = 0;
    Image image;
    EXPECT_EQ(compose_map(gis, data, image), c.composed) << c.width << "x" << c.height;
    EXPECT_EQ(image.pixels != nullptr, c.composed == 1) << c.width << "x" << c.height;
    EXPECT_EQ(recorder.messages.size(), c.composed == 1 ? 0u : 1u);
    if (!recorder.messages.empty()) {
      EXPECT_EQ(recorder.messages[0].second, "make_map(): can't read map");
    }
    free_image(image);
  }
}

// A folder opens like a file but reads nothing: it is a file that can't be
// read, with the same message, and the image is left alone.
TEST_F(HostileMaps, AFolderIsNoFile) {
  std::filesystem::create_directories(data + "/maps/basemap.bmp");
  GisSettings gis;
  Image image;
  EXPECT_EQ(compose_map(gis, data, image), 0);
  EXPECT_EQ(image.pixels, nullptr);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].second, "make_map(): can't read map");

  const std::string folder = data + "/overlays/zipcodes.ovl";
  std::filesystem::create_directories(folder);
  for (int32_t side : {8, 0}) {  // with and without pixels to paint
    recorder.messages.clear();
    Image canvas;
    alloc_image(side, side, 3, canvas);
    overlay(folder.c_str(), 255, 255, 0, canvas);
    ASSERT_EQ(recorder.messages.size(), 1u) << side;
    EXPECT_EQ(recorder.messages[0].second, "overlay(): can't read overlay") << side;
    for (int32_t i = 0; i < side * side * 3; ++i) ASSERT_EQ(canvas.pixels[i], 0) << i;
    free_image(canvas);
  }
}

TEST(FailingSaves, BmpIsWholeOrNothing) {
  Image image;
  alloc_image(33, 20, 3, image);  // rows of 99 bytes and 1 pad byte
  std::memset(image.pixels, 0x5A, 33 * 20 * 3);
  test::check_whole_or_nothing("BMP", 54 + 100 * 20,
                               [&](const char* path) { return write_bmp(path, image); });
  free_image(image);
}

}  // namespace
}  // namespace valdrin
