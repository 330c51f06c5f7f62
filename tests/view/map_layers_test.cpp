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

constexpr uint8_t kGrey[3] = {0x40, 0x50, 0x60};

// An image of one colour, released at the end of the scope.
struct Canvas {
  Image image;
  Canvas() = default;
  Canvas(int32_t width, int32_t height) {
    alloc_image(width, height, 3, image);
    for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i)
      std::memcpy(image.pixels + 3 * i, kGrey, 3);
  }
  ~Canvas() { free_image(image); }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  std::vector<uint8_t> at(int32_t x, int32_t y) const {
    const uint8_t* p = image.pixels + (static_cast<size_t>(y) * image.width + x) * 3;
    return {p[0], p[1], p[2]};
  }
  // Pixels, as (x, y), that are no longer grey.
  std::vector<std::pair<int32_t, int32_t>> painted() const {
    std::vector<std::pair<int32_t, int32_t>> result;
    for (int32_t y = 0; y < image.height; ++y)
      for (int32_t x = 0; x < image.width; ++x)
        if (at(x, y) != std::vector<uint8_t>(kGrey, kGrey + 3)) result.emplace_back(x, y);
    return result;
  }
};

const std::vector<uint8_t> kYellow = {255, 255, 0};
const std::vector<uint8_t> kBlack = {0, 0, 0};
const std::vector<uint8_t> kWhite = {255, 255, 255};
const std::vector<uint8_t> kGreyPixel(kGrey, kGrey + 3);

std::string bytes_of(const std::vector<uint8_t>& v) { return std::string(v.begin(), v.end()); }

// A data folder with a grey 8 x 8 base map (pixel count 64, masks of 8
// bytes) and a blue council map; overlays are added per test.
class MapFolder : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  std::string data = dir.path("data");

  void SetUp() override {
    std::filesystem::create_directories(data + "/maps");
    std::filesystem::create_directories(data + "/overlays");
    Canvas base(8, 8);
    ASSERT_EQ(write_bmp((data + "/maps/basemap.bmp").c_str(), base.image), 1);
    Image council;
    alloc_image(8, 8, 3, council);
    for (int i = 0; i < 64; ++i) council.pixels[3 * i + 2] = 255;
    ASSERT_EQ(write_bmp((data + "/maps/councilmap.bmp").c_str(), council), 1);
    free_image(council);
  }

  // Overlay `bit` covering the pixels whose indices are listed.
  void mask(int bit, const std::vector<int>& pixels) {
    std::string bytes(8, '\0');
    for (int i : pixels) bytes[i / 8] = static_cast<char>(bytes[i / 8] | 0x80 >> (i % 8));
    test::write_file(data + "/" + kOverlays[bit].file, bytes);
  }

  static GisSettings settings(uint16_t flags, uint8_t choice = 0) {
    GisSettings gis;
    gis.overlay_flags = flags;
    set_map_choice(gis, choice);
    return gis;
  }
};

TEST(GisSettings, StartsWithRoadsAndHighwaysOnTheBasemap) {
  const GisSettings gis;
  EXPECT_EQ(gis.overlay_flags, 0x0034);
  EXPECT_EQ(map_choice(gis), 0);
  EXPECT_EQ(selection_mode(gis), 0);
}

TEST(GisSettings, FieldsLeaveEveryOtherBit) {
  struct Case {
    uint8_t before;
    bool choice;  // which field is written
    uint8_t value;
    uint8_t after;
  };
  const Case cases[] = {
      {0x00, true, 1, 0x01},  {0xFF, true, 0, 0xF8},  {0xFF, true, 2, 0xFA},
      {0x28, true, 5, 0x2D},  {0x00, true, 9, 0x01},  // 9 is 3 bits wide: 1
      {0x00, false, 2, 0x10}, {0xFF, false, 0, 0xC7}, {0xC5, false, 7, 0xFD},
      {0x07, false, 8, 0x07},  // only the low 3 bits of a mode land
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
  struct Case {
    std::vector<uint8_t> mask;
    std::vector<std::pair<int32_t, int32_t>> painted;
  };
  const Case cases[] = {
      {{0x81, 0x00}, {{0, 0}, {7, 0}}},
      {{0x80, 0x00}, {{0, 0}}},
      {{0x00, 0x01}, {{7, 1}}},
      {{0x40, 0x20}, {{1, 0}, {2, 1}}},
      {{0x00, 0x00}, {}},
      {{0xFF, 0xFF},
       {{0, 0},
        {1, 0},
        {2, 0},
        {3, 0},
        {4, 0},
        {5, 0},
        {6, 0},
        {7, 0},
        {0, 1},
        {1, 1},
        {2, 1},
        {3, 1},
        {4, 1},
        {5, 1},
        {6, 1},
        {7, 1}}},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    test::write_file(dir.path("m.ovl"), c.mask);
    Canvas canvas(8, 2);
    overlay(dir.path("m.ovl").c_str(), 1, 2, 3, canvas.image);
    EXPECT_EQ(canvas.painted(), c.painted) << int{c.mask[0]} << " " << int{c.mask[1]};
    for (const auto& [x, y] : c.painted)
      EXPECT_EQ(canvas.at(x, y), (std::vector<uint8_t>{1, 2, 3}));
  }
}

TEST(Overlay, EveryBitOfALargerMask) {
  // 64 x 32 pixels, 256 mask bytes of every value once, so every bit
  // pattern of a byte lands somewhere.
  std::vector<uint8_t> mask(256);
  for (int k = 0; k < 256; ++k) mask[k] = static_cast<uint8_t>(k * 167 + 13);
  test::ScratchDir dir;
  test::write_file(dir.path("m.ovl"), mask);
  Canvas canvas(64, 32);
  overlay(dir.path("m.ovl").c_str(), 9, 8, 7, canvas.image);
  for (int i = 0; i < 64 * 32; ++i) {
    const bool set = mask[i / 8] >> (7 - i % 8) & 1;
    const std::vector<uint8_t> expected = set ? std::vector<uint8_t>{9, 8, 7} : kGreyPixel;
    ASSERT_EQ(canvas.at(i % 64, i / 64), expected) << "pixel " << i;
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

TEST(Overlay, MissingFileSaysSoAndLeavesTheImage) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  Canvas canvas(8, 2);
  overlay(dir.path("missing.ovl").c_str(), 0, 0, 0, canvas.image);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "ERROR");
  EXPECT_EQ(recorder.messages[0].second, "overlay(): can't read overlay");
  EXPECT_TRUE(canvas.painted().empty());
}

TEST_F(MapFolder, NoFlagsGiveTheBareBaseMap) {
  test::MessageRecorder recorder;
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {0, 1, 2, 3});
  Canvas composed;
  ASSERT_EQ(compose_map(settings(0), data, composed.image), 1);
  EXPECT_TRUE(recorder.messages.empty());
  ASSERT_EQ(composed.image.width, 8);
  ASSERT_EQ(composed.image.height, 8);
  EXPECT_TRUE(composed.painted().empty());
}

TEST_F(MapFolder, EachBitPaintsItsOwnFileInItsColour) {
  // Overlay n covers pixel n only.
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {bit});
  test::MessageRecorder recorder;
  Canvas composed;
  ASSERT_EQ(compose_map(settings(0x03FF), data, composed.image), 1);
  EXPECT_TRUE(recorder.messages.empty());
  const std::vector<uint8_t> colours[kOverlayCount] = {
      kYellow, kYellow, kBlack, kBlack, kWhite, kWhite, kYellow, kYellow, kYellow, kYellow,
  };
  for (int bit = 0; bit < kOverlayCount; ++bit)
    EXPECT_EQ(composed.at(bit % 8, bit / 8), colours[bit]) << "bit " << bit;
  EXPECT_EQ(composed.painted().size(), 10u);
}

TEST_F(MapFolder, FlagsChooseTheOverlays) {
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {bit});
  // The initial settings: major roads black, then highways and their labels white.
  Canvas composed;
  ASSERT_EQ(compose_map(GisSettings{}, data, composed.image), 1);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{2, 0}, {4, 0}, {5, 0}};
  EXPECT_EQ(composed.painted(), expected);
  EXPECT_EQ(composed.at(2, 0), kBlack);
  EXPECT_EQ(composed.at(4, 0), kWhite);
  EXPECT_EQ(composed.at(5, 0), kWhite);
}

TEST_F(MapFolder, LaterOverlaysPaintOverEarlierOnes) {
  mask(4, {10, 11});  // highways, white
  mask(6, {11, 12});  // police stations, yellow
  mask(0, {20, 21});  // zip codes, yellow
  mask(2, {21, 22});  // major roads, black
  Canvas composed;
  ASSERT_EQ(compose_map(settings(1 << 0 | 1 << 2 | 1 << 4 | 1 << 6), data, composed.image), 1);
  EXPECT_EQ(composed.at(2, 1), kWhite);
  EXPECT_EQ(composed.at(3, 1), kYellow);
  EXPECT_EQ(composed.at(4, 1), kYellow);
  EXPECT_EQ(composed.at(4, 2), kYellow);
  EXPECT_EQ(composed.at(5, 2), kBlack);
  EXPECT_EQ(composed.at(6, 2), kBlack);
}

TEST_F(MapFolder, MissingOverlaysAreNamedOnceEachAndTheRestPainted) {
  mask(0, {0});
  mask(4, {1});
  // Bits 2 and 9 are chosen but have no file.
  test::MessageRecorder recorder;
  Canvas composed;
  ASSERT_EQ(compose_map(settings(1 << 0 | 1 << 2 | 1 << 4 | 1 << 9), data, composed.image), 1);
  const std::pair<std::string, std::string> message = {"ERROR", "overlay(): can't read overlay"};
  EXPECT_EQ(recorder.messages, (std::vector{message, message}));
  EXPECT_EQ(composed.at(0, 0), kYellow);
  EXPECT_EQ(composed.at(1, 0), kWhite);
  EXPECT_EQ(composed.painted().size(), 2u);
}

TEST_F(MapFolder, MapChoiceOnePaintsTheCouncilMap) {
  mask(2, {0});
  Canvas composed;
  GisSettings gis = settings(1 << 2, 1);
  set_selection_mode(gis, 5);
  ASSERT_EQ(compose_map(gis, data, composed.image), 1);
  EXPECT_EQ(composed.at(0, 0), kBlack);
  EXPECT_EQ(composed.at(1, 0), (std::vector<uint8_t>{0, 0, 255}));
  EXPECT_EQ(composed.at(7, 7), (std::vector<uint8_t>{0, 0, 255}));
}

TEST_F(MapFolder, OtherMapChoicesDoNothing) {
  test::MessageRecorder recorder;
  for (uint8_t choice = 2; choice < 8; ++choice) {
    Image composed;
    // Not even a missing folder is noticed: nothing is opened.
    EXPECT_EQ(compose_map(settings(0x03FF, choice), dir.path("nowhere"), composed), 0);
    EXPECT_EQ(composed.pixels, nullptr);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(MapFolder, UnreadableBaseMapsAreRefusedBeforeAnyOverlay) {
  struct Case {
    const char* name;
    std::string bytes;  // empty: no file
  };
  auto bmp_of = [&](int32_t width, int32_t height) {
    Canvas canvas(width, height);
    const std::string path = dir.path("tmp.bmp");
    write_bmp(path.c_str(), canvas.image);
    return test::read_file(path);
  };
  std::string eight_bit = bmp_of(8, 8);
  eight_bit[28] = 8;
  const Case cases[] = {
      {"missing", ""},         {"not BM", "XX" + bmp_of(8, 8).substr(2)},
      {"8-bit", eight_bit},    {"6 x 8", bmp_of(6, 8)},
      {"8 x 6", bmp_of(8, 6)}, {"12 x 12", bmp_of(12, 12)},
  };
  for (int bit = 0; bit < kOverlayCount; ++bit)
    std::filesystem::remove(data + "/" + kOverlays[bit].file);
  for (const Case& c : cases) {
    const std::string path = data + "/maps/basemap.bmp";
    std::filesystem::remove(path);
    if (!c.bytes.empty()) test::write_file(path, c.bytes);
    test::MessageRecorder recorder;
    Image composed;
    // Every overlay is chosen and missing: a message for one would show.
    EXPECT_EQ(compose_map(settings(0x03FF), data, composed), 0) << c.name;
    EXPECT_EQ(composed.pixels, nullptr) << c.name;
    const std::pair<std::string, std::string> message = {"ERROR", "make_map(): can't read map"};
    EXPECT_EQ(recorder.messages, std::vector{message}) << c.name;
  }
}

TEST_F(MapFolder, PowerOfTwoSidesNeedNotBeSquare) {
  Canvas wide(16, 4);
  ASSERT_EQ(write_bmp((data + "/maps/basemap.bmp").c_str(), wide.image), 1);
  test::write_file(data + "/overlays/highways.ovl", bytes_of({0, 0, 0, 0, 0, 0, 0, 0x01}));
  Canvas composed;
  ASSERT_EQ(compose_map(settings(1 << 4), data, composed.image), 1);
  EXPECT_EQ(composed.image.width, 16);
  EXPECT_EQ(composed.image.height, 4);
  const std::vector<std::pair<int32_t, int32_t>> expected = {{15, 3}};
  EXPECT_EQ(composed.painted(), expected);
}

}  // namespace
}  // namespace valdrin
