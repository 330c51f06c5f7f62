// The About picture's making: area means when shrinking, a median cut that
// keeps few colours exactly and maps many to their nearest of 16, the 4-bit
// BMP layout, and the shipped picture's size and depth.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "tests/core/test_files.h"
#include "tools/about/picture.h"

namespace valdrin::about {
namespace {

uint32_t le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

TEST(AboutPicture, ShrinksByAreaMeansAndQuantisesToTheNearestOfSixteen) {
  Image source;
  alloc_image(6, 2, 3, source);
  // Left half 0 and 30 (mean 15), right half all 200; red only.
  const uint8_t reds[12] = {0, 30, 0, 200, 200, 200, 30, 0, 30, 200, 200, 200};
  for (int i = 0; i < 12; ++i) source.pixels[3 * i] = reds[i];
  Image small;
  ASSERT_EQ(shrink_image(source, 2, 1, small), 1);
  EXPECT_EQ(small.pixels[0], 15);
  EXPECT_EQ(small.pixels[3], 200);
  EXPECT_EQ(shrink_image(source, 0, 1, small), 0);
  free_image(small);

  // Twelve colours stay exact.
  Picture few = quantize(source);
  for (int i = 0; i < 12; ++i) EXPECT_EQ(few.palette[few.indices[i]][0], reds[i]);

  // 256 greys become 16 entries; each pixel takes its nearest entry.
  Image ramp;
  alloc_image(256, 1, 3, ramp);
  for (int i = 0; i < 256; ++i)
    for (int c = 0; c < 3; ++c) ramp.pixels[3 * i + c] = static_cast<uint8_t>(i);
  const Picture grey = quantize(ramp);
  std::set<int> used(grey.indices.begin(), grey.indices.end());
  EXPECT_EQ(used.size(), 16u);
  for (int i = 0; i < 256; ++i) {
    const int mine = grey.palette[grey.indices[i]][0];
    for (const auto& entry : grey.palette) EXPECT_LE(std::abs(mine - i), std::abs(entry[0] - i));
  }
  free_image(ramp);
  free_image(source);
}

TEST(AboutPicture, FourBitBmpLayoutAndTheShippedPicture) {
  Picture p;
  p.width = 3;
  p.height = 2;
  p.palette[1][0] = 0xAA;           // red
  p.palette[1][2] = 0x11;           // blue
  p.indices = {1, 2, 3, 4, 5, 15};  // bottom row first
  const std::vector<uint8_t> bytes = bmp4_bytes(p);
  const std::string b(bytes.begin(), bytes.end());
  ASSERT_EQ(b.size(), 118u + 2 * 4);  // rows of 3 nibbles pad to 4 bytes
  EXPECT_EQ(b.substr(0, 2), "BM");
  EXPECT_EQ(le32(b, 2), b.size());
  EXPECT_EQ(le32(b, 10), 118u);
  EXPECT_EQ(le32(b, 28) & 0xFFFF, 4u);                                 // bits per pixel
  EXPECT_EQ(le32(b, 46), 16u);                                         // colours used
  EXPECT_EQ(b.substr(54 + 4, 4), std::string("\x11\x00\xAA\x00", 4));  // blue, green, red
  EXPECT_EQ(b.substr(118), std::string("\x12\x30\x00\x00\x45\xF0\x00\x00", 8));

  const std::string shipped =
      test::read_file(std::string(VALDRIN_SOURCE_DIR) + "/resources/about.bmp");
  ASSERT_GE(shipped.size(), 54u);
  EXPECT_EQ(le32(shipped, 18), 322u);
  EXPECT_EQ(le32(shipped, 22), 115u);
  EXPECT_EQ(le32(shipped, 28) & 0xFFFF, 4u);
  EXPECT_EQ(shipped.size(), 118u + 164u * 115u);
}

}  // namespace
}  // namespace valdrin::about
