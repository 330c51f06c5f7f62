// BMP bytes, round trips and refusals; resampling; print placement; overlays, maps, texcoords.
#include "view/image.h"

#include <bit>
#include <cmath>
#include <numeric>

#include "tests/core/test_files.h"
#include "view/map_layers.h"
#include "view/print_layout.h"
#include "view/texcoords.h"

namespace valdrin::image_test {

using Rgb = std::vector<uint8_t>;
using Pixels = std::vector<int>;  // indices, row by row from the bottom left
const std::string kNoOverlay = "ERROR: overlay(): can't read overlay\n";
const Rgb kGrey = {0x40, 0x50, 0x60}, kBlue = {0, 0, 255};
const Rgb kYellow = {255, 255, 0}, kBlack = {0, 0, 0}, kWhite = {255, 255, 255};

// An owned image: one colour, or each pixel unlike its neighbours in all bytes.
struct TestImage {
  Image image;
  TestImage() = default;
  TestImage(int32_t width, int32_t height) {
    alloc_image(width, height, 3, image);
    for (int32_t i = 0; i < width * height * 3; ++i)
      image.pixels[i] = static_cast<uint8_t>(i % 3 * 40 + i / 3 % width * (7 + i % 3 * 4) +
                                             i / 3 / width * (3 + i % 3 * 7));
  }
  TestImage(int32_t width, int32_t height, const Rgb& colour) {
    alloc_image(width, height, 3, image);
    for (int32_t i = 0; i < width * height; ++i)
      std::memcpy(image.pixels + 3 * i, colour.data(), 3);
  }
  ~TestImage() { free_image(image); }
  TestImage(const TestImage&) = delete;
  Rgb at(int i) const { return {image.pixels + 3 * i, image.pixels + 3 * i + 3}; }
  Pixels painted(const Rgb& base = kGrey) const {
    Pixels result;
    for (int i = 0; i < image.width * image.height; ++i)
      if (at(i) != base) result.push_back(i);
    return result;
  }
};

const std::string kRedPixel = test::hex_bytes(
    "42 4D 3A 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 01 00 00 00 01 00 00 00 01 00 18 00 "
    "00 00 00 00 00 00 00 00 13 0B 00 00 13 0B 00 00 00 00 00 00 00 00 00 00 00 00 FF 00");

// `bytes` with the `size`-byte little-endian field at `offset` set to `value`.
std::string with_field(std::string bytes, size_t offset, uint32_t value, size_t size = 4) {
  const char le[4] = {static_cast<char>(value), static_cast<char>(value >> 8),
                      static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
  return bytes.replace(offset, size, le, size);
}

// The red pixel's header for width x height, then `row_bytes` * height of 0x5A.
std::string hand_made_bmp(int32_t width, int32_t height, size_t row_bytes) {
  return with_field(with_field(kRedPixel.substr(0, 54), 18, static_cast<uint32_t>(width)), 22,
                    static_cast<uint32_t>(height)) +
         std::string(row_bytes * static_cast<size_t>(height), '\x5A');
}

TEST(Bmp, RedPixelBytesWholeSavesRefusalsPaddedRoundTripsAndFilesReadOrRefused) {
  test::ScratchDir dir;
  TestImage red(1, 1, {0xFF, 0, 0}), padded(33, 20);  // rows of 99 bytes and 1 pad byte
  ASSERT_EQ(write_bmp(dir.path("red.bmp").c_str(), red.image), 1);
  EXPECT_EQ(test::read_file(dir.path("red.bmp")), kRedPixel);
  EXPECT_EQ(write_bmp(dir.path("no/folder/x.bmp").c_str(), red.image), 0);
  test::check_whole_or_nothing("BMP", 54 + 100 * 20,
                               [&](const char* path) { return write_bmp(path, padded.image); });
  // Four channels, one pixel over the row buffer, nothing at all.
  for (const auto& [width, height, channels] : {std::tuple{2, 2, 4}, {6145, 1, 3}, {0, 0, 3}}) {
    TestImage image;
    alloc_image(width, height, channels, image.image);
    EXPECT_EQ(write_bmp(dir.path("refused.bmp").c_str(), image.image), 0) << width;
    EXPECT_FALSE(std::filesystem::exists(dir.path("refused.bmp"))) << width;
  }
  // Rows padded with zeros to whole words; largest first, so a writer that didn't truncate fails.
  const std::string path = dir.path("round.bmp");
  for (const auto& [width, height] :
       {std::pair{640, 480}, {6144, 2}, {6143, 2}, {6, 5}, {7, 2}, {2, 3}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    TestImage written(width, height), read;
    ASSERT_EQ(write_bmp(path.c_str(), written.image), 1);
    const std::string file = test::read_file(path);
    const size_t row_bytes = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(file.size(), 54 + row_bytes * height);
    for (size_t i = 54; i < file.size(); ++i)
      ASSERT_TRUE((i - 54) % row_bytes < static_cast<size_t>(width) * 3 || file[i] == '\0') << i;
    ASSERT_EQ(read_bmp(path.c_str(), read.image), 1);
    EXPECT_EQ(std::tuple(read.image.width, read.image.height, read.image.channels),
              std::tuple(width, height, 3));
    EXPECT_EQ(std::memcmp(read.image.pixels, written.image.pixels, width * height * 3u), 0);
  }
  // Rows are read bottom up, blue first, after the 54 header bytes whatever the header says.
  std::string file = with_field(with_field(hand_made_bmp(2, 2, 8), 10, 138), 14, 124);
  file.replace(54, 16, test::hex_bytes("01 02 03 04 05 06 EE EE 07 08 09 0A 0B 0C EE EE"));
  test::write_file(dir.path("h.bmp"), file + "trailing");
  TestImage two;
  ASSERT_EQ(read_bmp(dir.path("h.bmp").c_str(), two.image), 1);
  EXPECT_EQ(std::vector<uint8_t>(two.image.pixels, two.image.pixels + 12),
            (std::vector<uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10}));
  const std::string good = hand_made_bmp(3, 2, 12);
  // Refused before allocating: bad fields (offset, value, size), signatures, sizes; last read.
  const uint32_t fields[][3] = {{28, 8, 2}, {28, 32, 2},  {28, 16, 2},  {28, 25, 2},
                                {28, 0, 2}, {28, 280, 2}, {30, 1, 4},   {18, 0, 4},
                                {22, 0, 4}, {18, -3u, 4}, {22, -2u, 4}, {22, 0x7FFFFFFF, 4}};
  std::vector<std::string> cases = {
      "BA" + good.substr(2),           "MM" + good.substr(2), hand_made_bmp(6145, 1, 18436),
      good.substr(0, good.size() - 1), good.substr(0, 30),    ""};
  for (const auto& [offset, value, size] : fields)
    cases.push_back(with_field(good, offset, value, size));
  cases.push_back(good);
  for (size_t i = 0; i <= cases.size(); ++i) {
    const std::string path = dir.path(std::to_string(i));  // past the end: no file at all
    if (i < cases.size()) test::write_file(path, cases[i]);
    TestImage image;
    const int good_file = i + 1 == cases.size();
    EXPECT_EQ(read_bmp(path.c_str(), image.image), good_file) << i;
    EXPECT_EQ(image.image.pixels != nullptr, good_file == 1) << i;
  }
}

// FNV-1a hashes of the pixels, checked against the plain per-pixel bilinear loop when taken.
TEST(Resample, SameBytesAsThePerPixelLoop) {
  const std::tuple<int32_t, int32_t, int32_t, uint32_t> cases[] = {
      {1008, 729, 3, 0x782CB987}, {1001, 600, 3, 0xCC1AA613}, {1024, 1024, 3, 0xB84151B3},
      {1500, 900, 3, 0x613B1EB8}, {2100, 3, 3, 0x4A3C3984},   {3, 3, 3, 0xBBCF8A7D},
      {2, 2, 3, 0x1572E3C5},      {1, 1, 3, 0xDA1B8CB2},      {1, 7, 3, 0x2A42F45E},
      {9, 1, 3, 0x58F8E2FA},      {1, 2000, 3, 0x7771BB79},   {17, 33, 4, 0xB3A4C156}};
  for (const auto& [width, height, channels, golden] : cases) {
    TestImage source, fast;
    alloc_image(width, height, channels, source.image);
    uint32_t seed = static_cast<uint32_t>(width * 131 + height);
    // Noise over smooth ramps: every weight and every neighbour matters.
    for (size_t i = 0; i < static_cast<size_t>(width) * height * channels; ++i) {
      seed = seed * 1103515245u + 12345u;
      source.image.pixels[i] = static_cast<uint8_t>(i % 251 + (seed >> 28));
    }
    resample_image(source.image, fast.image);
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < static_cast<size_t>(fast.image.width) * fast.image.height * 3; ++i)
      hash = (hash ^ fast.image.pixels[i]) * 16777619u;
    const auto side = [](int32_t n) {  // the next power of two, at most 1024
      return std::min<int32_t>(std::bit_ceil(static_cast<uint32_t>(n)), 1024);
    };
    EXPECT_EQ(std::tuple(fast.image.width, fast.image.height, fast.image.channels, hash),
              std::tuple(side(width), side(height), 3, golden))
        << width << "x" << height;
  }
  // 2^24 + 5 rows: (rows - 2) as a float rounds past the last pair; an empty source gives black.
  const int32_t height = (1 << 24) + 5;
  TestImage source, destination, empty, black;
  alloc_image(1, height, 3, source.image);
  std::memcpy(source.image.pixels + static_cast<size_t>(height - 1) * 3, "\xC8\x64\x32", 3);
  resample_image(source.image, destination.image);
  ASSERT_EQ(std::tuple(destination.image.width, destination.image.height), std::tuple(1, 1024));
  EXPECT_EQ(std::memcmp(destination.image.pixels + 1023 * 3, "\xC8\x64\x32", 3), 0);
  EXPECT_EQ(destination.image.pixels[0], 0);
  resample_image(empty.image, black.image);
  ASSERT_EQ(std::tuple(black.image.width, black.image.height), std::tuple(1, 1));
  EXPECT_EQ(std::memcmp(black.image.pixels, "\0\0\0", 3), 0);
}

// Capture w, h, page w, h -> "scale wxh+x+y texture wxh"; refusals leave the layout alone.
TEST(PrintLayout, ScaleRectangleOffsetAndTexture) {
  // clang-format off
  const std::tuple<int32_t, int32_t, int32_t, int32_t, std::string> cases[] = {
      {800, 600, 4800, 6600, "6 4800x3600+0+1500 1024x1024"},
      {1000, 500, 5000, 5000, "5 5000x2500+0+1250 1024x512"},
      {600, 800, 4800, 4800, "6 3600x4800+600+0 1024x1024"},
      {1500, 900, 3000, 3000, "2 3000x1800+0+600 1024x1024"},
      {2, 2, 10, 6, "3 6x6+2+0 2x2"}, {640, 480, 640, 480, "1 640x480+0+0 1024x512"},
      {1, 600, 4800, 6600, "refused"}, {800, 1, 4800, 6600, "refused"},
      {0, 0, 4800, 6600, "refused"}, {800, 600, 0, 6600, "refused"},
      {800, 600, 4800, -1, "refused"}, {800, 600, 4800, 0, "refused"}};
  // clang-format on
  for (const auto& [capture_w, capture_h, page_w, page_h, golden] : cases) {
    PrintLayout l{.scale = 42.0f};
    const int laid = layout_print(page_w, page_h, capture_w, capture_h, l);
    char text[80] = "refused";
    if (laid)
      std::snprintf(text, sizeof text, "%g %gx%g+%g+%g %dx%d", l.scale, l.width, l.height,
                    l.offset_x, l.offset_y, l.texture_width, l.texture_height);
    EXPECT_EQ(laid || l.scale == 42.0f ? text : "changed", golden);
  }
}

// Overlay bit n: its file under overlays/ and its colour.
const std::pair<const char*, Rgb> kLayers[kOverlayCount] = {
    {"zipcodes", kYellow},   {"zipcodes_labels", kYellow},
    {"major_roads", kBlack}, {"major_roads_labels", kBlack},
    {"highways", kWhite},    {"highways_labels", kWhite},
    {"duz", kYellow},        {"duz_labels", kYellow},
    {"hospitals", kYellow},  {"hospitals_labels", kYellow}};

// Mask bits run most significant first; flags choose overlays, each in its colour over the map.
TEST(Overlay, MasksPaintTheirBitsAndFlagsChooseOverlaysOverTheChosenMap) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  const std::string path = dir.path("m.ovl");
  // Every mask byte value once, each blended as a run: all must follow the bits.
  std::string bits(256, '\0');
  for (int k = 0; k < 256; ++k) bits[k] = static_cast<char>(k * 167 + 13);
  test::write_file(path, bits);
  TestImage canvas(64, 32, kGrey);
  overlay(path.c_str(), 9, 8, 7, canvas.image);
  for (int i = 0; i < 64 * 32; ++i)
    ASSERT_EQ(canvas.at(i), (bits[i / 8] >> (7 - i % 8) & 1 ? Rgb{9, 8, 7} : kGrey)) << i;
  // width, height, mask bytes of 0xFF (-1: a folder, which reads nothing), painted
  const int cases[][4] = {{8, 2, 1, 8}, {8, 2, 0, 0},  {8, 2, 4, 16}, {3, 3, 2, 8},
                          {2, 2, 1, 0}, {8, 8, -1, 0}, {0, 0, -1, 0}};
  for (const auto& [width, height, bytes, painted] : cases) {
    std::filesystem::remove(path);
    bytes < 0 ? void(std::filesystem::create_directories(path))
              : test::write_file(path, std::string(bytes, '\xFF'));
    TestImage small(width, height, kGrey);
    overlay(path.c_str(), 0, 0, 0, small.image);
    Pixels prefix(static_cast<size_t>(painted));
    std::iota(prefix.begin(), prefix.end(), 0);
    EXPECT_EQ(small.painted(), prefix) << width << "x" << height << " " << bytes;
  }
  EXPECT_EQ(recorder.log, kNoOverlay + kNoOverlay);
  // A grey 8 x 8 base map and a blue council map; overlay n covers pixel n.
  const std::string data = dir.path("data"), base = data + "/maps/basemap.bmp";
  for (const char* folder : {"/maps", "/overlays"})
    std::filesystem::create_directories(data + folder);
  ASSERT_EQ(write_bmp(base.c_str(), TestImage(8, 8, kGrey).image), 1);
  ASSERT_EQ(write_bmp((data + "/maps/councilmap.bmp").c_str(), TestImage(8, 8, kBlue).image), 1);
  const auto mask = [&](int bit, const Pixels& pixels) {
    std::string bytes(8, '\0');
    for (int i : pixels) bytes[i / 8] = static_cast<char>(bytes[i / 8] | 0x80 >> (i % 8));
    test::write_file(data + "/overlays/" + kLayers[bit].first + ".ovl", bytes);
  };
  const auto settings = [](uint16_t flags, int choice = 0) {  // selection mode 5 must not matter
    return GisSettings{flags, static_cast<uint8_t>(5 << 3 | choice)};
  };
  for (int bit = 0; bit < kOverlayCount; ++bit) mask(bit, {bit});
  recorder.log.clear();
  // None, the initial settings, all ten, bits above 9, all over the council map.
  const std::pair<uint16_t, uint8_t> flags_and_maps[] = {
      {0, 0}, {GisSettings{}.overlay_flags, 0}, {0x03FF, 0}, {0xFC05, 0}, {0x03FF, 1}};
  for (const auto& [flags, choice] : flags_and_maps) {
    TestImage composed;
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
  EXPECT_EQ(recorder.log, "");
  // Later overlays paint over earlier ones; missing ones are named once each.
  for (const auto& [bit, first] : {std::pair{0, 20}, {2, 21}, {4, 10}, {6, 11}})
    mask(bit, {first, first + 1});
  for (int bit : {3, 9}) std::filesystem::remove(data + "/overlays/" + kLayers[bit].first + ".ovl");
  TestImage composed;
  ASSERT_EQ(compose_map(settings(0x025D), data, composed.image), 1);  // bits 0, 2-4, 6, 9
  EXPECT_EQ(recorder.log, kNoOverlay + kNoOverlay);
  EXPECT_EQ((std::vector<Rgb>{composed.at(10), composed.at(11), composed.at(12), composed.at(20),
                              composed.at(21), composed.at(22)}),
            (std::vector<Rgb>{kWhite, kYellow, kYellow, kYellow, kBlack, kBlack}));
  EXPECT_EQ(composed.painted().size(), 6u);
  // Refused: map choices above 1, base maps missing, not powers of two, or under 4 wide.
  recorder.log.clear();
  for (uint8_t choice = 2; choice < 8; ++choice) {
    Image nothing;
    EXPECT_EQ(compose_map(settings(0x03FF, choice), dir.path("nowhere"), nothing), 0);
    EXPECT_EQ(nothing.pixels, nullptr);
  }
  EXPECT_EQ(recorder.log, "");
  // width x height (0: no file, -1: a folder), composed
  const int maps[][3] = {{0, 0, 0}, {-1, -1, 0}, {6, 8, 0}, {8, 6, 0}, {12, 12, 0},
                         {1, 1, 0}, {1, 4, 0},   {2, 2, 0}, {2, 8, 0}, {16, 4, 1},
                         {4, 1, 1}, {4, 4, 1},   {8, 2, 1}};
  for (const auto& [width, height, composed] : maps) {
    std::filesystem::remove(base);
    if (width < 0) std::filesystem::create_directories(base);
    ASSERT_TRUE(width <= 0 || write_bmp(base.c_str(), TestImage(width, height, kGrey).image) == 1);
    recorder.log.clear();
    TestImage map;
    EXPECT_EQ(compose_map(settings(composed ? 0 : 0x03FF), data, map.image), composed)
        << width << "x" << height;
    EXPECT_EQ(std::tuple(map.image.width, map.image.height, !map.image.pixels, recorder.log),
              composed ? std::tuple(width, height, false, "")
                       : std::tuple(0, 0, true, "ERROR: make_map(): can't read map\n"))
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

}  // namespace valdrin::image_test
