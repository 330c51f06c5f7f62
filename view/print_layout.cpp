// The page geometry of a printout.
#include "view/print_layout.h"

#include <algorithm>

namespace valdrin {

int32_t print_texture_side(int32_t side) {
  int32_t result = 1;
  while (result < side && result < kMaxPrintTextureSide) result *= 2;
  return result;
}

int layout_print(int32_t page_width, int32_t page_height, int32_t capture_width,
                 int32_t capture_height, PrintLayout& layout) {
  if (capture_width < kMinPrintSide || capture_height < kMinPrintSide) return 0;
  if (page_width <= 0 || page_height <= 0) return 0;
  const float page_w = static_cast<float>(page_width);
  const float page_h = static_cast<float>(page_height);
  const float capture_w = static_cast<float>(capture_width);
  const float capture_h = static_cast<float>(capture_height);
  PrintLayout result;
  result.scale = std::min(page_w / capture_w, page_h / capture_h);
  result.width = capture_w * result.scale;
  result.height = capture_h * result.scale;
  result.offset_x = (page_w - result.width) * 0.5f;
  result.offset_y = (page_h - result.height) * 0.5f;
  result.texture_width = print_texture_side(capture_width);
  result.texture_height = print_texture_side(capture_height);
  layout = result;
  return 1;
}

}  // namespace valdrin
