// The Image record, the system's one raster type: width, height, channels and
// owned pixel bytes, rows tightly packed, row 0 the bottom row, bytes red,
// green, blue. Map images, captures and printouts all pass through it. Also
// the one BMP variant the system reads and writes (24-bit, uncompressed,
// 40-byte information header) and the bilinear resampler used for printing.
#pragma once

#include <cstdint>

namespace valdrin {

struct Image {
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 0;
  uint8_t* pixels = nullptr;  // owned; width * height * channels bytes
};

// The BMP reader and writer move one row at a time through a buffer of this
// size, pad bytes included: 6144 pixels.
constexpr int32_t kMaxBmpRowBytes = 18432;

// Stores the sizes, allocates width * height * channels zero bytes and
// returns them (also held in image.pixels).
uint8_t* alloc_image(int32_t width, int32_t height, int32_t channels, Image& image);

// Releases the pixels, if any, and zeroes all four fields; harmless twice.
void free_image(Image& image);

// Reads a 24-bit uncompressed BMP, its pixel rows taken from byte 54 on
// whatever its offset field says. Return 1 with a newly allocated 3-channel
// image the caller releases; 0 when the file can't be opened or read, is not
// that variant (bits per pixel exactly 24, compression 0), has a width or
// height of 0 or less or rows over 18432 bytes, or is shorter than its pixel
// rows; then nothing is allocated.
int read_bmp(const char* path, Image& image);

// Writes a 3-channel image as a new BMP file (pad bytes zero), whole or not
// at all. Return 1, or 0 when the file can't be created or fully written or
// the image is not a 3-channel image whose rows fit the row buffer; an
// existing file at `path` is then left exactly as it was.
int write_bmp(const char* path, const Image& image);

// Allocates `destination` with sides the powers of two at or above the
// source's (at most 1024) and fills it by bilinear sampling over source
// columns 0..w-2 and rows 0..h-2. A source under 2 pixels in a direction is
// sampled at its index 0 in that direction. Nothing outside the source is
// read, also on sides past 2^24 pixels where the single-precision position
// can round beyond the last pair (the last pair is used).
void resample_image(const Image& source, Image& destination);

}  // namespace valdrin
