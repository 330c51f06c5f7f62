// A small 5 x 7 bitmap font carried by the program, so that the atlas's map
// labels and the animation's date labels come out the same on every
// machine: no system font is ever read.
#pragma once

#include <cstdint>
#include <string_view>

namespace valdrin {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;  // one blank column between letters

// Rows of a glyph, top row first; bit 4 is the leftmost column. The font has
// capitals, digits and - . / ' , % = < > ( ) * only; other characters come
// out blank.
const uint8_t* glyph_rows(char c);

// Width in pixels of `text` with font pixels scale_x wide.
int text_width(std::string_view text, int scale_x);

// Calls plot(x, y) for every set pixel of `text`, each font pixel drawn as
// scale_x by scale_y pixels, with (left, top) its top-left corner in picture
// coordinates (y grows downward here; the caller turns it into image rows).
template <typename Plot>
void draw_text(std::string_view text, int left, int top, int scale_x, int scale_y, Plot&& plot) {
  int x0 = left;
  for (char c : text) {
    const uint8_t* rows = glyph_rows(c);
    for (int gy = 0; gy < kGlyphHeight; ++gy)
      for (int gx = 0; gx < kGlyphWidth; ++gx)
        if (rows[gy] & (0x10 >> gx))
          for (int sy = 0; sy < scale_y; ++sy)
            for (int sx = 0; sx < scale_x; ++sx)
              plot(x0 + gx * scale_x + sx, top + gy * scale_y + sy);
    x0 += kGlyphAdvance * scale_x;
  }
}

}  // namespace valdrin
