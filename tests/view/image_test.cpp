// The Image record, the BMP reader and writer and the resampler: file
// layout byte for byte, round trips, the files the reader refuses, and the
// sampling positions and weights of the resampler.
#include "view/image.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tests/core/test_files.h"

namespace valdrin {
namespace {

using Fill = std::function<void(int32_t x, int32_t y, uint8_t* rgb)>;

// An owned image for a test; released at the end of the scope.
struct TestImage {
  Image image;
  TestImage() = default;
  TestImage(int32_t width, int32_t height, const Fill& fill) {
    alloc_image(width, height, 3, image);
    for (int32_t y = 0; y < height; ++y)
      for (int32_t x = 0; x < width; ++x)
        fill(x, y, image.pixels + (static_cast<size_t>(y) * width + x) * 3);
  }
  ~TestImage() { free_image(image); }
  TestImage(const TestImage&) = delete;
  TestImage& operator=(const TestImage&) = delete;
  const uint8_t* at(int32_t x, int32_t y) const {
    return image.pixels + (static_cast<size_t>(y) * image.width + x) * image.channels;
  }
  size_t bytes() const { return static_cast<size_t>(image.width) * image.height * image.channels; }
};

// Every pixel different from its neighbours in all three bytes.
void pattern(int32_t x, int32_t y, uint8_t* rgb) {
  rgb[0] = static_cast<uint8_t>(x * 7 + y * 3);
  rgb[1] = static_cast<uint8_t>(x * 11 + y * 5 + 1);
  rgb[2] = static_cast<uint8_t>(x * 13 + y * 17 + 2);
}

void put32(std::string& bytes, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>(value >> (8 * i));
}

void put16(std::string& bytes, size_t offset, uint16_t value) {
  bytes[offset] = static_cast<char>(value);
  bytes[offset + 1] = static_cast<char>(value >> 8);
}

uint32_t get32(const std::string& bytes, size_t offset) {
  uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[offset + i]);
  return value;
}

// A 24-bit file header for width x height followed by `row_bytes` * height
// pixel bytes of 0x5A, built by hand rather than by the writer.
std::string hand_made_bmp(int32_t width, int32_t height, size_t row_bytes) {
  std::string bytes(54, '\0');
  bytes[0] = 'B';
  bytes[1] = 'M';
  put32(bytes, 10, 54);
  put32(bytes, 14, 40);
  put32(bytes, 18, static_cast<uint32_t>(width));
  put32(bytes, 22, static_cast<uint32_t>(height));
  put16(bytes, 26, 1);
  put16(bytes, 28, 24);
  if (height > 0) bytes.append(row_bytes * static_cast<size_t>(height), '\x5A');
  return bytes;
}

TEST(ImageRecord, AllocZeroesAndFreeClearsTwice) {
  Image image;
  uint8_t* pixels = alloc_image(5, 3, 3, image);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(image.pixels, pixels);
  EXPECT_EQ(image.width, 5);
  EXPECT_EQ(image.height, 3);
  EXPECT_EQ(image.channels, 3);
  for (int i = 0; i < 45; ++i) EXPECT_EQ(pixels[i], 0) << i;
  free_image(image);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
  EXPECT_EQ(image.channels, 0);
  free_image(image);
  EXPECT_EQ(image.pixels, nullptr);
}

TEST(WriteBmp, OneRedPixelByteForByte) {
  test::ScratchDir dir;
  TestImage red(1, 1, [](int32_t, int32_t, uint8_t* rgb) { rgb[0] = 255; });
  ASSERT_EQ(write_bmp(dir.path("red.bmp").c_str(), red.image), 1);
  const auto expected = test::hex_bytes(
      "42 4D 3A 00 00 00 00 00 00 00 36 00 00 00 28 00 00 00 01 00 00 00 01 00 00 00 01 00 18 00 "
      "00 00 00 00 00 00 00 00 13 0B 00 00 13 0B 00 00 00 00 00 00 00 00 00 00 "
      "00 00 FF 00");
  EXPECT_EQ(test::read_file(dir.path("red.bmp")), std::string(expected.begin(), expected.end()));
}

TEST(WriteBmp, RowSizesAndPadBytes) {
  struct Case {
    int32_t width, height;
    size_t row_bytes;
  };
  const Case cases[] = {
      {1, 7, 4}, {2, 3, 8}, {3, 2, 12}, {4, 5, 12}, {5, 1, 16}, {6144, 1, 18432}, {6143, 2, 18432},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    // All pixel bytes 0xFF, so a pad byte that isn't zero stands out.
    TestImage image(c.width, c.height,
                    [](int32_t, int32_t, uint8_t* rgb) { std::memset(rgb, 0xFF, 3); });
    const std::string path = dir.path("rows.bmp");
    ASSERT_EQ(write_bmp(path.c_str(), image.image), 1);
    const std::string file = test::read_file(path);
    ASSERT_EQ(file.size(), 54 + c.row_bytes * c.height);
    EXPECT_EQ(get32(file, 2), file.size());
    EXPECT_EQ(get32(file, 18), static_cast<uint32_t>(c.width));
    EXPECT_EQ(get32(file, 22), static_cast<uint32_t>(c.height));
    for (int32_t y = 0; y < c.height; ++y) {
      const size_t row = 54 + y * c.row_bytes;
      for (size_t i = static_cast<size_t>(c.width) * 3; i < c.row_bytes; ++i)
        EXPECT_EQ(file[row + i], '\0') << "row " << y << " byte " << i;
    }
  }
}

TEST(WriteBmp, PixelBytesAreBlueGreenRedBottomRowFirst) {
  test::ScratchDir dir;
  TestImage image(2, 2, pattern);
  ASSERT_EQ(write_bmp(dir.path("p.bmp").c_str(), image.image), 1);
  const std::string file = test::read_file(dir.path("p.bmp"));
  ASSERT_EQ(file.size(), 54u + 2 * 8);
  for (int32_t y = 0; y < 2; ++y)
    for (int32_t x = 0; x < 2; ++x) {
      const size_t at = 54 + y * 8 + x * 3;
      EXPECT_EQ(static_cast<uint8_t>(file[at]), image.at(x, y)[2]);
      EXPECT_EQ(static_cast<uint8_t>(file[at + 1]), image.at(x, y)[1]);
      EXPECT_EQ(static_cast<uint8_t>(file[at + 2]), image.at(x, y)[0]);
    }
}

TEST(WriteBmp, RefusesWhatItCantWrite) {
  test::ScratchDir dir;
  TestImage good(4, 4, pattern);
  EXPECT_EQ(write_bmp(dir.path("no/folder/x.bmp").c_str(), good.image), 0);

  Image four_channels;
  alloc_image(2, 2, 4, four_channels);
  Image too_wide;
  alloc_image(6145, 1, 3, too_wide);
  Image empty;
  alloc_image(0, 0, 3, empty);
  for (const Image* image : {&four_channels, &too_wide, &empty}) {
    const std::string path = dir.path("refused.bmp");
    EXPECT_EQ(write_bmp(path.c_str(), *image), 0) << image->width;
    EXPECT_FALSE(std::filesystem::exists(path)) << image->width;
  }
  free_image(four_channels);
  free_image(too_wide);
  free_image(empty);
}

TEST(WriteBmp, ReplacesALongerFile) {
  test::ScratchDir dir;
  const std::string path = dir.path("old.bmp");
  test::write_file(path, std::string(1000, 'x'));
  TestImage image(1, 1, pattern);
  ASSERT_EQ(write_bmp(path.c_str(), image.image), 1);
  EXPECT_EQ(test::read_file(path).size(), 58u);
}

TEST(ReadBmp, RoundTrips) {
  struct Case {
    int32_t width, height;
    size_t file_size;
  };
  const Case cases[] = {
      {640, 480, 921654}, {6, 5, 54 + 20 * 5}, {1, 1, 58},       {1, 9, 54 + 4 * 9},
      {4, 3, 54 + 36},    {7, 2, 54 + 48},     {6144, 2, 36918},
  };
  test::ScratchDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    TestImage written(c.width, c.height, pattern);
    const std::string path = dir.path("round.bmp");
    ASSERT_EQ(write_bmp(path.c_str(), written.image), 1);
    EXPECT_EQ(test::read_file(path).size(), c.file_size);
    TestImage read;
    ASSERT_EQ(read_bmp(path.c_str(), read.image), 1);
    EXPECT_EQ(read.image.width, c.width);
    EXPECT_EQ(read.image.height, c.height);
    EXPECT_EQ(read.image.channels, 3);
    EXPECT_EQ(std::memcmp(read.image.pixels, written.image.pixels, written.bytes()), 0);
  }
}

TEST(ReadBmp, SkipsPadAndIgnoresTheOffsetField) {
  // 2 x 2, rows of 6 pixel bytes and 2 pad bytes 0xEE; the offset field
  // points elsewhere and the information header claims 124 bytes.
  std::string file = hand_made_bmp(2, 2, 8);
  put32(file, 10, 138);
  put32(file, 14, 124);
  const auto rows = test::hex_bytes(
      "01 02 03 04 05 06 EE EE "
      "07 08 09 0A 0B 0C EE EE");
  file.replace(54, rows.size(), std::string(rows.begin(), rows.end()));
  test::ScratchDir dir;
  test::write_file(dir.path("h.bmp"), file);
  TestImage image;
  ASSERT_EQ(read_bmp(dir.path("h.bmp").c_str(), image.image), 1);
  const std::vector<uint8_t> expected = {3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10};
  EXPECT_EQ(std::vector<uint8_t>(image.image.pixels, image.image.pixels + 12), expected);
}

TEST(ReadBmp, AcceptsTrailingBytes) {
  test::ScratchDir dir;
  test::write_file(dir.path("t.bmp"), hand_made_bmp(4, 2, 12) + "trailing");
  TestImage image;
  ASSERT_EQ(read_bmp(dir.path("t.bmp").c_str(), image.image), 1);
  EXPECT_EQ(image.image.pixels[23], 0x5A);
}

TEST(ReadBmp, RefusesOtherFilesAndAllocatesNothing) {
  struct Case {
    const char* name;
    std::string bytes;
  };
  std::vector<Case> cases;
  const std::string good = hand_made_bmp(3, 2, 12);
  auto with16 = [&](size_t offset, uint16_t value) {
    std::string b = good;
    put16(b, offset, value);
    return b;
  };
  auto with32 = [&](size_t offset, uint32_t value) {
    std::string b = good;
    put32(b, offset, value);
    return b;
  };
  cases.push_back({"8-bit palette", with16(28, 8)});
  cases.push_back({"16-bit", with16(28, 16)});
  cases.push_back({"32-bit", with16(28, 32)});
  cases.push_back({"run-length encoded", with32(30, 1)});
  cases.push_back({"bit fields", with32(30, 3)});
  cases.push_back({"signature BA", "BA" + good.substr(2)});
  cases.push_back({"signature MB", "MB" + good.substr(2)});
  cases.push_back({"zero width", with32(18, 0)});
  cases.push_back({"zero height", with32(22, 0)});
  cases.push_back({"negative width", with32(18, static_cast<uint32_t>(-3))});
  cases.push_back({"top-down", with32(22, static_cast<uint32_t>(-2))});
  cases.push_back({"row over the buffer", hand_made_bmp(6145, 1, 18436)});
  cases.push_back({"huge height", with32(22, 0x7FFFFFFF)});
  cases.push_back({"one byte short", good.substr(0, good.size() - 1)});
  cases.push_back({"header only", good.substr(0, 54)});
  cases.push_back({"short header", good.substr(0, 30)});
  cases.push_back({"empty", ""});

  test::ScratchDir dir;
  for (const Case& c : cases) {
    const std::string path = dir.path("bad.bmp");
    test::write_file(path, c.bytes);
    Image image;
    EXPECT_EQ(read_bmp(path.c_str(), image), 0) << c.name;
    EXPECT_EQ(image.pixels, nullptr) << c.name;
  }
  Image image;
  EXPECT_EQ(read_bmp(dir.path("missing.bmp").c_str(), image), 0);
  EXPECT_EQ(image.pixels, nullptr);

  // The same bytes with the fault taken out are read, so each case above
  // was refused for its own fault.
  test::write_file(dir.path("good.bmp"), good);
  TestImage accepted;
  EXPECT_EQ(read_bmp(dir.path("good.bmp").c_str(), accepted.image), 1);
}

TEST(Resample, DestinationSides) {
  struct Case {
    int32_t src_w, src_h, dst_w, dst_h;
  };
  const Case cases[] = {
      {640, 480, 1024, 512},
      {1500, 900, 1024, 1024},
      {1024, 1024, 1024, 1024},
      {1025, 513, 1024, 1024},
      {3, 3, 4, 4},
      {2, 2, 2, 2},
      {1, 1, 1, 1},
      {1, 5, 1, 8},
      {7, 1, 8, 1},
      {4000, 3, 1024, 4},
  };
  for (const Case& c : cases) {
    TestImage source(c.src_w, c.src_h, pattern);
    TestImage destination;
    resample_image(source.image, destination.image);
    EXPECT_EQ(destination.image.width, c.dst_w) << c.src_w << "x" << c.src_h;
    EXPECT_EQ(destination.image.height, c.dst_h) << c.src_w << "x" << c.src_h;
    EXPECT_EQ(destination.image.channels, 3);
  }
}

TEST(Resample, LastSourceColumnOnlyWeighs) {
  // Red 0, 90, 180 from left to right in every row.
  TestImage source(3, 3,
                   [](int32_t x, int32_t, uint8_t* rgb) { rgb[0] = static_cast<uint8_t>(90 * x); });
  TestImage destination;
  resample_image(source.image, destination.image);
  ASSERT_EQ(destination.image.width, 4);
  ASSERT_EQ(destination.image.height, 4);
  const uint8_t expected[4] = {0, 30, 60, 90};
  for (int32_t y = 0; y < 4; ++y)
    for (int32_t x = 0; x < 4; ++x) {
      EXPECT_EQ(destination.at(x, y)[0], expected[x]) << x << "," << y;
      EXPECT_EQ(destination.at(x, y)[1], 0);
      EXPECT_EQ(destination.at(x, y)[2], 0);
    }
}

TEST(Resample, TwoByTwoTakesTheFirstPixel) {
  TestImage source(2, 2, pattern);
  TestImage destination;
  resample_image(source.image, destination.image);
  ASSERT_EQ(destination.image.width, 2);
  ASSERT_EQ(destination.image.height, 2);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(std::memcmp(destination.image.pixels + 3 * i, source.image.pixels, 3), 0) << i;
}

TEST(Resample, ConstantImagesStayConstant) {
  // The weights sum to 1; a rounding that fell short of the value would
  // truncate to one less.
  struct Case {
    int32_t width, height;
  };
  const Case sizes[] = {{640, 480}, {1500, 900}, {3, 3}, {1023, 767}, {1, 6}};
  for (const Case& c : sizes)
    for (uint8_t value : {uint8_t{1}, uint8_t{128}, uint8_t{255}}) {
      TestImage source(c.width, c.height,
                       [value](int32_t, int32_t, uint8_t* rgb) { std::memset(rgb, value, 3); });
      TestImage destination;
      resample_image(source.image, destination.image);
      size_t off = 0;
      for (; off < destination.bytes(); ++off)
        if (destination.image.pixels[off] != value) break;
      EXPECT_EQ(off, destination.bytes())
          << c.width << "x" << c.height << " value " << int{value} << " byte " << off;
    }
}

TEST(Resample, RampsFollowTheSamplePositions) {
  // On linear ramps the bilinear value is the sample position itself, so
  // byte (x, y) is floor(254 x / 255) across and floor(254 y / 255) up.
  TestImage source(256, 256, [](int32_t x, int32_t y, uint8_t* rgb) {
    rgb[0] = static_cast<uint8_t>(x);
    rgb[1] = static_cast<uint8_t>(y);
    rgb[2] = static_cast<uint8_t>(255 - x);
  });
  TestImage destination;
  resample_image(source.image, destination.image);
  ASSERT_EQ(destination.image.width, 256);
  for (int32_t y = 0; y < 256; y += 5)
    for (int32_t x = 0; x < 256; ++x) {
      const int across = 254 * x / 255;
      const int blue = (x == 0 || x == 255) ? 255 - across : 254 - across;
      ASSERT_EQ(destination.at(x, y)[0], across) << x << "," << y;
      ASSERT_EQ(destination.at(x, y)[1], 254 * y / 255) << x << "," << y;
      ASSERT_EQ(destination.at(x, y)[2], blue) << x << "," << y;
    }
}

TEST(Resample, KeepsSizeAndMapsEndsOntoColumnsZeroAndSecondLast) {
  TestImage source(1024, 1024, pattern);
  TestImage destination;
  resample_image(source.image, destination.image);
  ASSERT_EQ(destination.image.width, 1024);
  ASSERT_EQ(destination.image.height, 1024);
  for (int32_t y : {0, 1023}) {
    const int32_t sy = y == 0 ? 0 : 1022;
    EXPECT_EQ(std::memcmp(destination.at(0, y), source.at(0, sy), 3), 0) << y;
    EXPECT_EQ(std::memcmp(destination.at(1023, y), source.at(1022, sy), 3), 0) << y;
  }
}

TEST(Resample, OnePixelAcrossOrUp) {
  // A source one pixel wide (or high) interpolates along its other side
  // only; the sanitizer build catches any read past its pixels.
  struct Case {
    int32_t width, height;
  };
  const Case cases[] = {{1, 5}, {5, 1}, {1, 2}, {2, 1}, {1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
    TestImage source(c.width, c.height, [](int32_t x, int32_t y, uint8_t* rgb) {
      rgb[0] = static_cast<uint8_t>(50 * (x + y));
      rgb[1] = 7;
      rgb[2] = 200;
    });
    TestImage destination;
    resample_image(source.image, destination.image);
    const int32_t long_side = c.width > 1 ? c.width : c.height;
    const int32_t dst_side = c.width > 1 ? destination.image.width : destination.image.height;
    for (int32_t i = 0; i < dst_side; ++i) {
      const uint8_t* pixel = c.width > 1 ? destination.at(i, 0) : destination.at(0, i);
      const int expected = dst_side == 1 ? 0 : 50 * (long_side - 2) * i / (dst_side - 1);
      EXPECT_EQ(pixel[0], expected) << i;
      EXPECT_EQ(pixel[1], 7) << i;
      EXPECT_EQ(pixel[2], 200) << i;
    }
  }
}

TEST(Resample, EmptySourceGivesBlackPixel) {
  Image empty;
  TestImage destination;
  resample_image(empty, destination.image);
  ASSERT_EQ(destination.image.width, 1);
  ASSERT_EQ(destination.image.height, 1);
  EXPECT_EQ(destination.image.pixels[0] | destination.image.pixels[1] | destination.image.pixels[2],
            0);
}

}  // namespace
}  // namespace valdrin
