// What the framebuffer holds after the last frame, and which of its pixels
// a change of the columns can touch. A step of the time window changes a
// handful of columns; redrawing only the screen rectangles around them,
// old shape and new, gives the same pixels as a whole frame at a fraction
// of its cost, since every pixel outside them gets the very same fragments
// as before. Plain double math over the frame's own transform; no GL.
#pragma once

#include <cstdint>

#include "core/query.h"
#include "view/camera.h"
#include "view/column_style.h"

namespace valdrin {

// Window pixels x0 <= x < x1, y0 <= y < y1, counted from the bottom-left
// as glScissor counts them.
struct PixelRect {
  int x0, y0, x1, y1;
};

// The frame the framebuffer holds: the camera and viewport it was drawn
// with and, per cell, the column height and look. `valid` is 0 until a
// whole frame has been drawn, and again whenever the framebuffer or the Map
// texture may have changed behind the frame's back (a resize, a new map).
struct FrameMemory {
  int valid = 0;
  ViewState view;
  uint32_t heights[kCellCount] = {};
  ColumnLook looks[kCellCount] = {};
};

// At most this many rectangles are redrawn one by one; more are merged.
constexpr int kMaxRedrawRects = 16;

// The rectangles a redraw clears and draws again, one pass each.
struct RedrawPlan {
  int rect_count = 0;
  PixelRect rects[kMaxRedrawRects];
};

// Forgets what the framebuffer holds: the next frame is drawn whole.
void forget_frame(FrameMemory& memory);

// Records a frame drawn whole with `view` from these heights and looks.
void remember_frame(FrameMemory& memory, const ViewState& view, const uint32_t heights[kCellCount],
                    const ColumnLook looks[kCellCount]);

// The pixel rectangle that the column of `cell` with `height` can cover
// under the clip transform m (Camera::clip) in the viewport of
// `view`, widened by a margin of whole pixels and clipped to the viewport;
// x1 <= x0 when it covers nothing there. Returns 0 when a corner of the box
// lies too near the camera plane or so far off-screen that the projection
// can't be trusted to the pixel.
int column_rect(const double m[16], const ViewState& view, int cell, uint32_t height,
                PixelRect& rect);

// Plans the redraw that brings the framebuffer from `memory` to the frame
// of `view` with these heights and looks. Returns 1 with the rectangles to
// redraw (none when nothing changed), or 0 when the frame must be drawn
// whole: nothing remembered, another camera or viewport, a column in view
// near the camera plane, or changes spread over so much of the view that a
// whole frame costs less. On a 1 result cell_rects holds the rectangle of
// every column in view, for columns_meeting.
int plan_redraw(const FrameMemory& memory, const ViewState& view,
                const uint32_t heights[kCellCount], const ColumnLook looks[kCellCount],
                const uint8_t in_view[kCellCount], PixelRect cell_rects[kCellCount],
                RedrawPlan& plan);

// Copies into `mask` the view-table entries of the columns whose rectangle
// meets `rect`, the only ones that can put a fragment inside it; the rest
// get 0.
void columns_meeting(const PixelRect cell_rects[kCellCount], const uint8_t in_view[kCellCount],
                     const PixelRect& rect, uint8_t mask[kCellCount]);

}  // namespace valdrin
