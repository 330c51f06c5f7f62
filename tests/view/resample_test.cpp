// The resampler against the straightforward per-pixel loop it replaced,
// kept here as the oracle: every byte must agree on window-sized captures,
// shrinking sources and the odd small sides. And the one source that loop
// was never made for, a side longer than 2^24 pixels, must not be read
// past its end.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <tuple>

#include "view/image.h"

namespace valdrin {
namespace {

struct Owned {
  Image image;
  ~Owned() { free_image(image); }
};

int32_t oracle_side(int32_t side) {
  int32_t result = 1;
  while (result < side && result < 1024) result *= 2;
  return result;
}

float oracle_position(int32_t source_side, int32_t i, int32_t destination_side) {
  if (destination_side < 2) return 0.0f;
  const int64_t product = static_cast<int64_t>(source_side - 2) * i;
  return static_cast<float>(static_cast<double>(product) / (destination_side - 1));
}

// The per-pixel bilinear loop, one source position and four reads per
// destination pixel; correct for every side up to 2^24 pixels.
void oracle_resample(const Image& source, Image& destination) {
  const int32_t src_w = source.width;
  const int32_t src_h = source.height;
  const int32_t dst_w = oracle_side(src_w);
  const int32_t dst_h = oracle_side(src_h);
  alloc_image(dst_w, dst_h, 3, destination);
  const size_t channels = static_cast<size_t>(source.channels);
  const size_t right = src_w >= 2 ? channels : 0;
  const size_t up = src_h >= 2 ? static_cast<size_t>(src_w) * channels : 0;
  uint8_t* out = destination.pixels;
  for (int32_t y = 0; y < dst_h; ++y) {
    const float sy = oracle_position(src_h, y, dst_h);
    const int32_t iy = static_cast<int32_t>(sy);
    const double fy = sy - static_cast<float>(iy);
    for (int32_t x = 0; x < dst_w; ++x, out += 3) {
      const float sx = oracle_position(src_w, x, dst_w);
      const int32_t ix = static_cast<int32_t>(sx);
      const double fx = sx - static_cast<float>(ix);
      const uint8_t* l0 =
          source.pixels + (static_cast<size_t>(iy) * static_cast<size_t>(src_w) + ix) * channels;
      const uint8_t* r0 = l0 + right;
      const uint8_t* l1 = l0 + up;
      const uint8_t* r1 = l1 + right;
      for (int c = 0; c < 3; ++c) {
        const float row0 = static_cast<float>((1.0 - fx) * l0[c] + fx * r0[c]);
        const float row1 = static_cast<float>((1.0 - fx) * l1[c] + fx * r1[c]);
        out[c] = static_cast<uint8_t>(
            static_cast<int>(static_cast<float>((1.0 - fy) * row0 + fy * row1)));
      }
    }
  }
}

TEST(Resample, SameBytesAsThePerPixelLoop) {
  struct Case {
    int32_t width, height, channels;
  };
  // Window captures, exact powers of two, shrinking past 1024, one- and
  // two-pixel sides, and a four-channel source (only three bytes used).
  const Case cases[] = {{1008, 729, 3}, {1001, 600, 3}, {1024, 1024, 3}, {1500, 900, 3},
                        {2100, 3, 3},   {3, 3, 3},      {2, 2, 3},       {1, 1, 3},
                        {1, 7, 3},      {9, 1, 3},      {1, 2000, 3},    {17, 33, 4}};
  for (const Case& c : cases) {
    Owned source;
    alloc_image(c.width, c.height, c.channels, source.image);
    const size_t bytes = static_cast<size_t>(c.width) * c.height * c.channels;
    uint32_t seed = static_cast<uint32_t>(c.width * 131 + c.height);
    // Noise over smooth ramps: every weight and every neighbour matters.
    for (size_t i = 0; i < bytes; ++i) {
      seed = seed * 1103515245u + 12345u;
      source.image.pixels[i] = static_cast<uint8_t>(i % 251 + (seed >> 28));
    }
    Owned fast, slow;
    resample_image(source.image, fast.image);
    oracle_resample(source.image, slow.image);
    ASSERT_EQ(std::tuple(fast.image.width, fast.image.height, fast.image.channels),
              std::tuple(slow.image.width, slow.image.height, 3))
        << c.width << "x" << c.height;
    EXPECT_EQ(std::memcmp(fast.image.pixels, slow.image.pixels,
                          static_cast<size_t>(slow.image.width) * slow.image.height * 3),
              0)
        << c.width << "x" << c.height;
  }
}

// 2^24 + 5 rows: (rows - 2) rounds up to a float past the last row pair.
// The top destination row must come from the top source row, read in range
// (the sanitizer build checks the reads). An empty source gives one black
// pixel.
TEST(Resample, TallestAndEmptySourcesStayInsideTheirRows) {
  const int32_t height = (1 << 24) + 5;
  Owned source, destination, empty, black;
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

}  // namespace
}  // namespace valdrin
