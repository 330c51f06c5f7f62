// The GIS settings' bit fields, overlay masks and map composition over
// small data folders made per test: bit order, painting order, missing and
// short files, and the base maps that are refused.
#include "view/map_layers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "tests/core/test_files.h"

namespace valdrin {
namespace {

using Rgb = std::vector<uint8_t>;
const Rgb kGrey = {0x40, 0x50, 0x60};
const Rgb kYellow = {255, 255, 0};
const Rgb kBlack = {0, 0, 0};
const Rgb kWhite = {255, 255, 255};
const Rgb kBlue = {0, 0, 255};
const std::pair<std::string, std::string> kOverlayMessage = {"ERROR",
                                                             "overlay(): can't read overlay"};
const std::pair<std::string, std::string> kMapMessage = {"ERROR", "make_map(): can't read map"};

// Overlay bit n: its file under overlays/ and its colour.
const std::pair<const char*, Rgb> kLayers[kOverlayCount] = {
    {"zipcodes", kYellow},   {"zipcodes_labels", kYellow},
    {"major_roads", kBlack}, {"major_roads_labels", kBlack},
    {"highways", kWhite},    {"highways_labels", kWhite},
    {"duz", kYellow},        {"duz_labels", kYellow},
    {"hospitals", kYellow},  {"hospitals_labels", kYellow},
};

// An image of one colour, released at the end of the scope.
struct Canvas {
  Image image;
  Canvas() = default;
  Canvas(int32_t width, int32_t height, const Rgb& colour = kGrey) {
    alloc_image(width, height, 3, image);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
      std::memcpy(image.pixels + 3 * i, colour.data(), 3);
  }
  ~Canvas() { free_image(image); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  Rgb at(int32_t x, int32_t y) const {
    const uint8_t* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * 3;
    return {p[0], p[1], p[2]};
  }
  // Pixels, as (x, y), that no longer have the base colour.
  std::vector<std::pair<int32_t, int32_t>> painted(const Rgb& base = kGrey) const {
    std::vector<std::pair<int32_t, int32_t>> result;
    for (int32_t y = 0; y < image.height; ++y)
      for (int32_t x = 0; x < image.width; ++x)
        if (at(x, y) != base) result.emplace_back(x, y);
    return result;
  }
};

// A data folder with a grey 8 x 8 base map (pixel count 64, masks of 8
// bytes) and a blue council map; overlays are added per test.
class MapFolder : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string data = dir.path("data");

  void SetUp() override {
    std::filesystem::create_directories(data + "/maps");
    std::filesystem::create_directories(data + "/overlays");
    Canvas base(8, 8), council(8, 8, kBlue);
    ASSERT_EQ(write_bmp((data + "/maps/basemap.bmp").c_str(), base.image), 1);
    ASSERT_EQ(write_bmp((data + "/maps/councilmap.bmp").c_str(), council.image), 1);
  }

  // Overlay `bit` covering the pixels whose indices are listed.
  void mask(int bit, const std::vector<int>& pixels) {
    std::string bytes(8, '\0');
    for (int i : pixels) bytes[i / 8] = static_cast<char>(bytes[i / 8] | 0x80 >> (i % 8));
    test::write_file(data + "/overlays/" + kLayers[bit].first + ".ovl", bytes);
  }

  static GisSettings settings(uint16_t flags, uint8_t choice = 0) {
    GisSettings gis;
    gis.overlay_flags = flags;
    set_map_choice(gis, choice);
    return gis;
  }
};

TEST(GisSettings, FieldsLeaveEveryOtherBit) {
  struct Case {
    uint8_t before;
    bool choice;  // which field is written
    uint8_t value, after;
  };
  const Case cases[] = {
      {0x00, true, 1, 0x01},  {0xFF, true, 0, 0xF8},
      {0x28, true, 5, 0x2D},  {0x00, true, 9, 0x01},  // 9 is 3 bits wide: 1
      {0x00, false, 2, 0x10}, {0xFF, false, 0, 0xC7},
      {0xC5, false, 7, 0xFD}, {0x07, false, 8, 0x07},  // only the low 3 bits of a mode land
  };
  for (const Case& c : cases) {
    GisSettings gis;
    gis.overlay_flags = 0x1234;
    gis.map_and_mode = c.before;
    if (c.choice)
      set_map_choice(gis, c.value);
    else
      set_selection_mode(gis, c.value);
    EXPECT_EQ(gis.map_and_mode, c.after) << int{c.before} << " " << int{c.value};
    EXPECT_EQ(gis.overlay_flags, 0x1234);
    EXPECT_EQ(map_choice(gis), c.after & 7);
    EXPECT_EQ(selection_mode(gis), (c.after >> 3) & 7);
  }
}

TEST(Overlay, BitsRunMostSignificantFirstFromTheBottomLeft) {
  test::ScratchDir dir;
  test::write_file(dir.path("m.ovl"), std::vector<uint8_t>{0x81, 0x00});
  Canvas small(8, 2);
  overlay(dir.path("m.ovl").c_str(), 1, 2, 3, small.image);
  EXPECT_EQ(small.painted(), (std::vector<std::pair<int32_t, int32_t>>{{0, 0}, {7, 0}}));
  EXPECT_EQ(small.at(7, 0), (Rgb{1, 2, 3}));

  // 64 x 32 pixels and 256 mask bytes, each value once: every byte value
  // is blended as a whole run and must agree with the rule bit by bit.
  std::vector<uint8_t> mask(256);
  for (int k = 0; k < 256; ++k) mask[k] = static_cast<uint8_t>(k * 167 + 13);
  test::write_file(dir.path("m.ovl"), mask);
  Canvas canvas(64, 32);
  overlay(dir.path("m.ovl").c_str(), 9, 8, 7, canvas.image);
  for (int i = 0; i < 64 * 32; ++i) {
    const bool set = mask[i / 8] >> (7 - i % 8) & 1;
    ASSERT_EQ(canvas.at(i % 64, i / 64), (set ? Rgb{9, 8, 7} : kGrey)) << "pixel " << i;
  }
}

TEST(Overlay, ShortLongAndUnevenMasks) {
  struct Case {
    const char* name;
    int32_t width, height;
    std::string file;
    size_t painted;
  };
  const Case cases[] = {
      {"one byte of two", 8, 2, "\xFF", 8},
      {"empty file", 8, 2, "", 0},
      {"longer than the image", 8, 2, "\xFF\xFF\xFF\xFF", 16},
      {"nine pixels: the last has no whole byte", 3, 3, "\xFF\xFF", 8},
      {"under eight pixels", 2, 2, "\xFF", 0},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    test::write_file(dir.path("m.ovl"), c.file);
    Canvas canvas(c.width, c.height);
    overlay(dir.path("m.ovl").c_str(), 0, 0, 0, canvas.image);
    const auto painted = canvas.painted();
    EXPECT_EQ(painted.size(), c.painted) << c.name;
    // Painting follows the pixel index, so what is painted is a prefix.
    for (size_t i = 0; i < painted.size(); ++i)
      EXPECT_EQ(painted[i].second * c.width + painted[i].first, static_cast<int32_t>(i)) << c.name;
  }
}

TEST_F(MapFolder, FlagsChooseTheOverlaysEachInItsColourOverTheChosenMap) {
  // Overlay n covers pixel n only.
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {bit});
  // None (the bare base map), the initial settings (major roads, highways
  // and highway labels), all ten, bits above 9 that choose nothing, and all
  // ten over the council map with a selection mode beside the map choice.
  const std::pair<uint16_t, uint8_t> cases[] = {
      {0, 0}, {GisSettings{}.overlay_flags, 0}, {0x03FF, 0}, {0xFC05, 0}, {0x03FF, 1}};
  for (const auto& [flags, choice] : cases) {
    test::MessageRecorder recorder;
    GisSettings gis = settings(flags, choice);
    set_selection_mode(gis, 5);
    Canvas composed;
    ASSERT_EQ(compose_map(gis, data, composed.image), 1) << flags;
    EXPECT_TRUE(recorder.messages.empty()) << flags;
    ASSERT_EQ(composed.image.width, 8);
    ASSERT_EQ(composed.image.height, 8);
    std::vector<std::pair<int32_t, int32_t>> expected;
    for (int bit = 0; bit < kOverlayCount; ++bit) {
      if ((flags >> bit & 1) == 0) continue;
      expected.emplace_back(bit % 8, bit / 8);
      EXPECT_EQ(composed.at(bit % 8, bit / 8), kLayers[bit].second) << flags << " bit " << bit;
    }
    EXPECT_EQ(composed.painted(choice == 1 ? kBlue : kGrey), expected) << flags;
  }
}

TEST_F(MapFolder, LaterOverlaysPaintOverEarlierOnesAndMissingOnesAreNamedOnceEach) {
  mask(0, {20, 21});  // zip codes, yellow
  mask(2, {21, 22});  // major roads, black
  mask(4, {10, 11});  // highways, white
  mask(6, {11, 12});  // DUZ, yellow
  // Bits 3 and 9 are chosen but have no file.
  test::MessageRecorder recorder;
  Canvas composed;
  const uint16_t flags = 1 << 0 | 1 << 2 | 1 << 3 | 1 << 4 | 1 << 6 | 1 << 9;
  ASSERT_EQ(compose_map(settings(flags), data, composed.image), 1);
  EXPECT_EQ(recorder.messages, (std::vector{kOverlayMessage, kOverlayMessage}));
  const std::vector<Rgb> row1 = {composed.at(2, 1), composed.at(3, 1), composed.at(4, 1)};
  const std::vector<Rgb> row2 = {composed.at(4, 2), composed.at(5, 2), composed.at(6, 2)};
  EXPECT_EQ(row1, (std::vector<Rgb>{kWhite, kYellow, kYellow}));
  EXPECT_EQ(row2, (std::vector<Rgb>{kYellow, kBlack, kBlack}));
  EXPECT_EQ(composed.painted().size(), 6u);
}

TEST_F(MapFolder, OtherMapChoicesReadNothingAndSayNothing) {
  test::MessageRecorder recorder;
  for (uint8_t choice = 2; choice < 8; ++choice) {
    Image nothing;
    // Not even a missing folder is noticed: nothing is opened.
    EXPECT_EQ(compose_map(settings(0x03FF, choice), dir.path("nowhere"), nothing), 0);
    EXPECT_EQ(nothing.pixels, nullptr);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MapFolder, BaseMapsMissingOrNotPowerOfTwoAreRefusedBeforeAnyOverlay) {
  const std::string path = data + "/maps/basemap.bmp";
  // 0 x 0 stands for no file at all.
  for (const auto& [width, height] : {std::pair{0, 0}, {6, 8}, {8, 6}, {12, 12}}) {
    const std::string name = std::to_string(width) + "x" + std::to_string(height);
    std::filesystem::remove(path);
    ASSERT_TRUE(width == 0 || write_bmp(path.c_str(), Canvas(width, height).image) == 1);
    test::MessageRecorder recorder;
    Image composed;
    // Every overlay is chosen and missing: a message for one would show.
    EXPECT_EQ(compose_map(settings(0x03FF), data, composed), 0) << name;
    EXPECT_EQ(composed.pixels, nullptr) << name;
    EXPECT_EQ(recorder.messages, std::vector{kMapMessage}) << name;
  }
  // Powers of two need not be square.
  ASSERT_EQ(write_bmp(path.c_str(), Canvas(16, 4).image), 1);
  Canvas wide;
  ASSERT_EQ(compose_map(settings(0), data, wide.image), 1);
  EXPECT_EQ(wide.image.width, 16);
  EXPECT_EQ(wide.image.height, 4);
}

}  // namespace
}  // namespace valdrin
