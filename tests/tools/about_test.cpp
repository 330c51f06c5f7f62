// The About picture: shrinking by area means, a median cut to 16 colours,
// the 4-bit BMP bytes, and the shipped picture's size and depth.
#include <set>

#include "tests/core/test_files.h"
#include "tools/about/picture.h"

namespace valdrin::about::picture_test {

TEST(AboutPicture, ShrinkQuantiseBmpBytesAndTheShippedPicture) {
  Image source;
  alloc_image(6, 2, 3, source);
  // Left half 0 and 31 (mean 15.5, rounded up), right half all 200; red only.
  const uint8_t reds[12] = {0, 31, 0, 200, 200, 200, 31, 0, 31, 200, 200, 200};
  for (int i = 0; i < 12; ++i) source.pixels[3 * i] = reds[i];
  Image small;
  ASSERT_EQ(shrink_image(source, 2, 1, small), 1);
  EXPECT_EQ(small.pixels[0] * 1000 + small.pixels[3], 16 * 1000 + 200);
  EXPECT_EQ(shrink_image(source, 0, 1, small), 0);
  free_image(small);
  Picture few = quantize(source);  // twelve pixels, three colours: exact
  for (int i = 0; i < 12; ++i) EXPECT_EQ(few.palette[few.indices[i]][0], reds[i]);

  // 256 greys become 16 entries; each pixel takes its nearest entry.
  Image ramp;
  alloc_image(256, 1, 3, ramp);
  for (int i = 0; i < 3 * 256; ++i) ramp.pixels[i] = static_cast<uint8_t>(i / 3);
  const Picture grey = quantize(ramp);
  EXPECT_EQ(std::set<int>(grey.indices.begin(), grey.indices.end()).size(), 16u);
  for (int i = 0; i < 256; ++i) {
    const int mine = grey.palette[grey.indices[i]][0];
    for (const auto& entry : grey.palette) EXPECT_LE(std::abs(mine - i), std::abs(entry[0] - i));
  }
  free_image(ramp);
  free_image(source);
  Picture p;  // red 0xAA and blue 0x11 at entry 1; bottom row first, rows pad to 4 bytes
  p.width = 3, p.height = 2, p.palette[1][0] = 0xAA, p.palette[1][2] = 0x11;
  p.indices = {1, 2, 3, 4, 5, 15};
  std::string want = test::hex_bytes(
      "42 4D 7E 0 0 0 0 0 0 0 76 0 0 0 28 0 0 0 3 0 0 0 2 0 0 0 1 0 4 0 0 0 0 0 8 0 0 0 "
      "13 0B 0 0 13 0B 0 0 10 0 0 0 0 0 0 0 0 0 0 0 11 0 AA 0");
  want.resize(118);
  want += test::hex_bytes("12 30 0 0 45 F0 0 0");
  EXPECT_EQ(bmp4_bytes(p), std::vector<uint8_t>(want.begin(), want.end()));

  const std::string shipped = test::read_file(VALDRIN_SOURCE_DIR "/resources/about.bmp");
  ASSERT_EQ(shipped.size(), 118u + 164u * 115u);
  EXPECT_EQ(shipped.substr(18, 12), std::string("\x42\x01\0\0\x73\0\0\0\x01\0\x04\0", 12));
}

}  // namespace valdrin::about::picture_test
