// Which columns can reach the screen at all: a column whose whole box lies
// beyond one face of the view frustum gives no fragment, so the frame need
// not submit its quads. Plain double math over the camera transform and the
// projection that a resize set, with a margin that keeps every doubtful
// column in; no GL context is needed.
#pragma once

#include <cstdint>

#include "core/query.h"
#include "view/camera.h"

namespace valdrin {

// Projection times model-view, as the frame loads them, in double and
// column-major: the frustum of the last resize (aspect view.last_aspect)
// and the camera transform of `view`.
void clip_matrix(const ViewState& view, double m[16]);

// Sets in_view[row * 84 + col] to 1 for every column whose box (the cell's
// square from the ground up to its count) may touch the view volume, and to
// 0 for the rest. Returns how many are in view.
int find_columns_in_view(const ViewState& view, const CountTables& counts,
                         uint8_t in_view[kCellCount]);

}  // namespace valdrin
