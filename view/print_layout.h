// Where a captured view lands on a printed page: one uniform scale that fits
// the capture into the printable area with its aspect ratio kept, the
// offsets that centre it, and the texture size the capture is resampled to
// before it is drawn. Plain arithmetic, in the single precision the page is
// drawn with, so that tests check it without a printer.
#pragma once

#include <cstdint>

namespace valdrin {

// A capture under this many pixels in either direction can't be resampled
// for printing (the bilinear mapping needs two samples per direction).
constexpr int32_t kMinPrintSide = 2;

// The largest texture side a printout is drawn from.
constexpr int32_t kMaxPrintTextureSide = 1024;

struct PrintLayout {
  float scale = 0.0f;     // page pixels per capture pixel
  float offset_x = 0.0f;  // left edge of the picture, page pixels
  float offset_y = 0.0f;  // bottom edge of the picture, page pixels
  float width = 0.0f;     // capture width x scale
  float height = 0.0f;    // capture height x scale
  int32_t texture_width = 0;
  int32_t texture_height = 0;
};

// The smallest power of two at or above `side`, at most 1024.
int32_t print_texture_side(int32_t side);

// Fits a capture into a page of printable device pixels: scale = the smaller
// of page width / capture width and page height / capture height, offsets =
// (page - capture x scale) x 0.5. Offsets are measured from the bottom-left
// corner, as the capture's rows are; a painter counting rows from the top
// uses page height - offset_y - height, which is offset_y again because the
// picture is centred. Return 1 with the layout; 0 when the capture is under
// 2 x 2 or the page has no area, and then `layout` is left alone.
int layout_print(int32_t page_width, int32_t page_height, int32_t capture_width,
                 int32_t capture_height, PrintLayout& layout);

}  // namespace valdrin
