// How a column looks: the one place that decides, from a cell's count, its
// selected flag, the colouring in force and the cell's class under it, the
// colour its top is tinted with (the top always shows its piece of the map)
// and the colour of each of its four side faces (the faces always show the
// bands of the Side texture); and the legend that says what the colours
// mean. The scene builds its quads from it, the partial redraw compares it
// between frames, and the renders of valdrin-cli go through the scene.
#pragma once

#include <cstdint>

#include "core/analysis.h"
#include "view/image.h"

namespace valdrin {

struct ColumnLook {
  float top[3];       // modulates the map texture
  float sides[4][3];  // modulates the bands, faces in the order they run round the cell
  bool operator==(const ColumnLook&) const = default;
};

// Events: tops at full brightness, half bright when selected; the faces in
// four light greys so that neighbouring faces of one column stand apart.
constexpr float kSelectedGrey = 0.5f;
constexpr float kSideGreys[4] = {0.9f, 0.93f, 0.96f, 0.99f};

// `cell_class` is the cell's class under the colouring: -3..3 for hot
// spots (cold to hot, 0 not significant), -2..2 for change (fewer to more);
// events colouring ignores it. Hot spots and change tint the top and the
// faces in a diverging palette that readers with a colour vision deficiency
// can tell apart: blue, grey, red.
ColumnLook column_look(uint32_t count, bool selected, uint8_t colouring, int cell_class);

// The legend of the colouring and band scale, RGB with the bottom row
// first: a title, then a swatch and a line per class, then "1 BAND = K
// EVENTS" when a band stands for more than one event. Return 1 with a new
// image the caller releases; 0 and nothing allocated when there is nothing
// to say (events colouring, one event per band).
int make_legend(uint8_t colouring, uint16_t events_per_band, Image& legend);

}  // namespace valdrin
