// The About picture: a render of the shipped city reduced to the About
// box's 322 x 115 pixels and 16 colours, written as a 4-bit BMP. Plain
// code over the Image record so that tests check it without a display.
#pragma once

#include <cstdint>
#include <vector>

#include "view/image.h"

namespace valdrin::about {

constexpr int32_t kPictureWidth = 322;
constexpr int32_t kPictureHeight = 115;
constexpr int kPaletteSize = 16;

// A picture of at most 16 colours: one palette index per pixel, rows
// bottom first as in the Image record.
struct Picture {
  int32_t width = 0;
  int32_t height = 0;
  uint8_t palette[kPaletteSize][3] = {};  // red, green, blue
  std::vector<uint8_t> indices;
};

// Fills `destination` (allocated here, 3 channels) with `source` reduced to
// width x height, each pixel the mean of the source area it covers. Return
// 1, or 0 when a size is not positive or the source is not a 3-channel
// image; then nothing is allocated.
int shrink_image(const Image& source, int32_t width, int32_t height, Image& destination);

// Splits the colours of a 3-channel image into 16 boxes by median cut (the
// box with the widest channel range split first, at its median) and maps
// each pixel to the nearest box mean. An image of 16 colours or fewer keeps
// them exactly.
Picture quantize(const Image& image);

// The picture as a 4-bit uncompressed BMP with a 16-entry colour table.
std::vector<uint8_t> bmp4_bytes(const Picture& picture);

}  // namespace valdrin::about
