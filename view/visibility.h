// Which columns can reach the screen at all: a column whose whole box lies
// beyond one face of the view frustum gives no fragment, so the frame need
// not submit its quads. Plain double math over the camera's clip transform
// (camera.h), with a margin that keeps every doubtful column in; no GL
// context is needed.
#pragma once

#include <cstdint>

#include "core/query.h"
#include "view/camera.h"

namespace valdrin {

// The clip coordinates under m of one corner of the box of cell (row, col)
// with `height`: corner bit 0 is the next column, bit 1 the next row, bit 2
// the top.
void corner_clip(const double m[16], int row, int col, double height, int corner, double clip[4]);

// The bits of a column's entry in the view table. The renderer draws a
// batch of quads one way when every vertex lies inside the view volume and
// another way, rounding a little differently, when any lies beyond it; so
// the frame batches the quads that reach beyond apart from the rest, and a
// quad comes out the same whatever else is drawn with it.
constexpr uint8_t kInView = 1;      // the box may touch the view volume
constexpr uint8_t kTopBeyond = 2;   // the top quad reaches beyond the volume
constexpr uint8_t kFaceBeyond = 4;  // side face f: kFaceBeyond << f
// A corner lies on the volume's boundary within rounding: which side the
// renderer finds it on is not known, so each quad of the column is drawn
// alone.
constexpr uint8_t kNearBoundary = 64;

// Sets in_view[row * 84 + col] for every column: 0 when its box (the cell's
// square from the ground up to its count) lies wholly beyond one face of the
// view volume, else kInView with the bits above. Returns how many are in
// view.
int find_columns_in_view(const ViewState& view, const CountTables& counts,
                         uint8_t in_view[kCellCount]);

}  // namespace valdrin
