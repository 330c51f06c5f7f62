// How a column looks: the one place that decides, from a cell's count, its
// selected flag and the colouring in force, the colour its top is tinted
// with (the top always shows its piece of the map) and the colour of each of
// its four side faces (the faces always show the bands of the Side
// texture). The scene builds its quads from it, the partial redraw compares
// it between frames, and the renders of valdrin-cli go through the scene.
#pragma once

#include <cstdint>

#include "core/analysis.h"

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

ColumnLook column_look(uint32_t count, bool selected, uint8_t colouring);

}  // namespace valdrin
