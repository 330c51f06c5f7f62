// The GIS settings' bit fields, overlay masks and map composition over a
// small data folder per test (bit and painting order, missing and short
// files, folders where files should be, refused base maps); the grid-to-map
// mapping's inverse and per-cell corner table (the mapping itself is pinned
// by the atlas and the frames).
#include "view/map_layers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/core/test_files.h"
#include "view/texcoords.h"

namespace valdrin {
namespace {

using Rgb = std::vector<uint8_t>;
using Pixels = std::vector<int>;  // indices, row by row from the bottom left
using Messages = std::vector<std::pair<std::string, std::string>>;
const Rgb kGrey = {0x40, 0x50, 0x60}, kBlue = {0, 0, 255};
const Rgb kYellow = {255, 255, 0}, kBlack = {0, 0, 0}, kWhite = {255, 255, 255};

// Overlay bit n: its file under overlays/ and its colour.
const std::pair<const char*, Rgb> kLayers[kOverlayCount] = {
    {"zipcodes", kYellow},   {"zipcodes_labels", kYellow},
    {"major_roads", kBlack}, {"major_roads_labels", kBlack},
    {"highways", kWhite},    {"highways_labels", kWhite},
    {"duz", kYellow},        {"duz_labels", kYellow},
    {"hospitals", kYellow},  {"hospitals_labels", kYellow}};

// An image of one colour, released at the end of the scope.
struct Canvas {
  Image image;
  Canvas() = default;
  Canvas(int32_t width, int32_t height, const Rgb& colour = kGrey) {
    alloc_image(width, height, 3, image);
    for (int32_t i = 0; i < width * height; ++i)
      std::memcpy(image.pixels + 3 * i, colour.data(), 3);
  }
  ~Canvas() { free_image(image); }
  Canvas(const Canvas&) = delete;
  Rgb at(int i) const { return {image.pixels + 3 * i, image.pixels + 3 * i + 3}; }
  Pixels painted(const Rgb& base = kGrey) const {
    Pixels result;
    for (int i = 0; i < image.width * image.height; ++i)
      if (at(i) != base) result.push_back(i);
    return result;
  }
};

TEST(GisSettings, FieldsLeaveEveryOtherBit) {
  // before, map choice (else selection mode) written, value, after
  const int cases[][4] = {{0x00, 1, 1, 0x01}, {0xFF, 1, 0, 0xF8}, {0x28, 1, 5, 0x2D},
                          {0x00, 1, 9, 0x01}, {0x00, 0, 2, 0x10}, {0xFF, 0, 0, 0xC7},
                          {0xC5, 0, 7, 0xFD}, {0x07, 0, 8, 0x07}};  // only 3 bits of a value land
  for (const auto& [before, choice, value, after] : cases) {
    GisSettings gis{0x1234, static_cast<uint8_t>(before)};
    (choice ? set_map_choice : set_selection_mode)(gis, static_cast<uint8_t>(value));
    EXPECT_EQ(std::tuple(gis.map_and_mode, gis.overlay_flags, map_choice(gis), selection_mode(gis)),
              std::tuple(after, 0x1234, after & 7, (after >> 3) & 7))
        << before << " " << value;
  }
}

TEST(Overlay, BitsRunMostSignificantFirstShortMasksPaintAPrefixAFolderNothing) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  const std::string path = dir.path("m.ovl");
  // 64 x 32 pixels and 256 mask bytes, each value once: every byte value is
  // blended as a whole run and must agree with the rule bit by bit.
  std::vector<uint8_t> mask(256);
  for (int k = 0; k < 256; ++k) mask[k] = static_cast<uint8_t>(k * 167 + 13);
  test::write_file(path, mask);
  Canvas canvas(64, 32);
  overlay(path.c_str(), 9, 8, 7, canvas.image);
  for (int i = 0; i < 64 * 32; ++i)
    ASSERT_EQ(canvas.at(i), (mask[i / 8] >> (7 - i % 8) & 1 ? Rgb{9, 8, 7} : kGrey)) << i;
  // width, height, mask bytes of 0xFF, pixels painted
  // 4 x 0xFF is longer than the image; 3 x 3's ninth pixel has no whole byte;
  // -1 bytes: a folder, which opens like a file but reads nothing.
  const int cases[][4] = {{8, 2, 1, 8}, {8, 2, 0, 0},  {8, 2, 4, 16}, {3, 3, 2, 8},
                          {2, 2, 1, 0}, {8, 8, -1, 0}, {0, 0, -1, 0}};
  for (const auto& [width, height, bytes, painted] : cases) {
    std::filesystem::remove(path);
    if (bytes < 0)
      std::filesystem::create_directories(path);
    else
      test::write_file(path, std::string(bytes, '\xFF'));
    Canvas small(width, height);
    overlay(path.c_str(), 0, 0, 0, small.image);
    Pixels prefix(static_cast<size_t>(painted));
    for (int i = 0; i < painted; ++i) prefix[i] = i;
    EXPECT_EQ(small.painted(), prefix) << width << "x" << height << " " << bytes;
  }
  EXPECT_EQ(recorder.messages, Messages(2, {"ERROR", "overlay(): can't read overlay"}));
}

// A grey 8 x 8 base map and a blue council map; 8-byte masks per test.
class MapFolder : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string data = dir.path("data");
  test::MessageRecorder recorder;

  void SetUp() override {
    std::filesystem::create_directories(data + "/maps");
    std::filesystem::create_directories(data + "/overlays");
    ASSERT_EQ(write_bmp((data + "/maps/basemap.bmp").c_str(), Canvas(8, 8).image), 1);
    ASSERT_EQ(write_bmp((data + "/maps/councilmap.bmp").c_str(), Canvas(8, 8, kBlue).image), 1);
  }
  void mask(int bit, const Pixels& pixels) {
    std::string bytes(8, '\0');
    for (int i : pixels) bytes[i / 8] = static_cast<char>(bytes[i / 8] | 0x80 >> (i % 8));
    test::write_file(data + "/overlays/" + kLayers[bit].first + ".ovl", bytes);
  }
  static GisSettings settings(uint16_t flags, uint8_t choice = 0) {
    GisSettings gis{flags, 0};
    set_selection_mode(gis, 5);
    set_map_choice(gis, choice);
    return gis;
  }
};

TEST_F(MapFolder, FlagsChooseTheOverlaysEachInItsColourOverTheChosenMap) {
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {bit});  // overlay n covers pixel n
  // None, the initial settings, all ten, bits above 9 that choose nothing,
  // and all ten over the council map.
  const std::pair<uint16_t, uint8_t> cases[] = {
      {0, 0}, {GisSettings{}.overlay_flags, 0}, {0x03FF, 0}, {0xFC05, 0}, {0x03FF, 1}};
  for (const auto& [flags, choice] : cases) {
    Canvas composed;
    ASSERT_EQ(compose_map(settings(flags, choice), data, composed.image), 1) << flags;
    ASSERT_EQ(std::pair(composed.image.width, composed.image.height), std::pair(8, 8));
    Pixels expected;
    for (int bit = 0; bit < kOverlayCount; ++bit) {
      if ((flags >> bit & 1) == 0) continue;
      expected.push_back(bit);
      EXPECT_EQ(composed.at(bit), kLayers[bit].second) << flags << " bit " << bit;
    }
    EXPECT_EQ(composed.painted(choice == 1 ? kBlue : kGrey), expected) << flags;
  }
  EXPECT_TRUE(recorder.messages.empty());

  // Later overlays paint over earlier ones; missing ones are named once each.
  mask(0, {20, 21});  // zip codes, yellow
  mask(2, {21, 22});  // major roads, black
  mask(4, {10, 11});  // highways, white
  mask(6, {11, 12});  // DUZ, yellow
  std::filesystem::remove(data + "/overlays/major_roads_labels.ovl");
  std::filesystem::remove(data + "/overlays/hospitals_labels.ovl");
  Canvas composed;
  ASSERT_EQ(compose_map(settings(1 << 0 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6 | 1 << 9), data,
                        composed.image),
            1);
  const Messages missing(2, {"ERROR", "overlay(): can't read overlay"});
  EXPECT_EQ(recorder.messages, missing);
  const std::vector<Rgb> colours = {composed.at(10), composed.at(11), composed.at(12),
                                    composed.at(20), composed.at(21), composed.at(22)};
  EXPECT_EQ(colours, (std::vector<Rgb>{kWhite, kYellow, kYellow, kYellow, kBlack, kBlack}));
  EXPECT_EQ(composed.painted().size(), 6u);
}

// Map choices above 1 open nothing at all; a base map that is missing, a
// folder, or has sides that are no powers of two is refused before any
// overlay is tried. The map is uploaded tightly packed under an unpack
// alignment of 4, so a power-of-two width below 4 (which would have the
// upload read past the pixels) is refused too; a map need not be square.
TEST_F(MapFolder, RefusedChoicesAndBaseMaps) {
  for (uint8_t choice = 2; choice < 8; ++choice) {
    Image nothing;
    EXPECT_EQ(compose_map(settings(0x03FF, choice), dir.path("nowhere"), nothing), 0);
    EXPECT_EQ(nothing.pixels, nullptr);
  }
  EXPECT_TRUE(recorder.messages.empty());
  const std::string path = data + "/maps/basemap.bmp";
  // width x height (0: no file, -1: a folder), composed
  const int cases[][3] = {{0, 0, 0}, {-1, -1, 0}, {6, 8, 0}, {8, 6, 0}, {12, 12, 0},
                          {1, 1, 0}, {1, 4, 0},   {2, 2, 0}, {2, 8, 0}, {16, 4, 1},
                          {4, 1, 1}, {4, 4, 1},   {8, 2, 1}};
  for (const auto& [width, height, composed] : cases) {
    std::filesystem::remove(path);
    if (width < 0) std::filesystem::create_directories(path);
    ASSERT_TRUE(width <= 0 || write_bmp(path.c_str(), Canvas(width, height).image) == 1);
    recorder.messages.clear();
    Canvas map;
    EXPECT_EQ(compose_map(settings(composed ? 0 : 0x03FF), data, map.image), composed)
        << width << "x" << height;
    EXPECT_EQ(std::tuple(map.image.width, map.image.height, !map.image.pixels, recorder.messages),
              composed
                  ? std::tuple(width, height, false, Messages{})
                  : std::tuple(0, 0, true, Messages(1, {"ERROR", "make_map(): can't read map"})))
        << width << "x" << height;
  }
}

TEST(Texcoords, InverseFindsTheGridPositionAndTheTableHoldsEachCellsCorners) {
  double worst = 0;
  for (float row = -1.0f; row <= 67.0f; row += 0.25f)
    for (float col = -1.0f; col <= 85.0f; col += 0.25f) {
      const TexCoord tc = grid_texcoord(row, col);
      double r = 0, c = 0;
      texcoord_grid(tc.s, tc.t, r, c);
      worst = std::max({worst, std::abs(r - row), std::abs(c - col)});
    }
  EXPECT_LT(worst, 1e-4);
  auto table = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*table);
  const uint32_t corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // (row, column) steps
  for (uint32_t i = 0; i < kCellCount; ++i)
    for (int k = 0; k < 4; ++k) {
      const TexCoord want =
          cell_corner_texcoord(i / kGridCols + corners[k][0], i % kGridCols + corners[k][1]);
      ASSERT_EQ(std::tuple(table->corners[i][k].s, table->corners[i][k].t),
                std::tuple(want.s, want.t))
          << i << " " << k;
    }
}

}  // namespace
}  // namespace valdrin
