// The frame memory and the redraw planner.
#include "view/frame_update.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "view/visibility.h"

namespace valdrin {

namespace {

// Pixels added round every projected box: far above the float rounding of
// the GL transform, so that no fragment of the column falls outside.
constexpr int kRectMargin = 2;
// How far beyond the viewport a corner may project, in viewport half-sizes,
// and how near the near plane it may come, before the renderer might clip
// its quads; both are well inside what it draws unclipped.
constexpr double kOffScreenLimit = 64.0;
constexpr double kNearMargin = 1e-3;
// Changes over more than this share of the view are drawn as a whole frame.
constexpr double kMaxRedrawShare = 0.5;

bool same_camera(const ViewState& a, const ViewState& b) {
  return a.look_at[0] == b.look_at[0] && a.look_at[1] == b.look_at[1] &&
         a.look_at[2] == b.look_at[2] && a.distance == b.distance && a.heading == b.heading &&
         a.tilt == b.tilt && a.viewport_width == b.viewport_width &&
         a.viewport_height == b.viewport_height && a.last_aspect == b.last_aspect &&
         a.events_per_band == b.events_per_band;
}

long long area(const PixelRect& r) {
  return r.x1 <= r.x0 || r.y1 <= r.y0 ? 0 : static_cast<long long>(r.x1 - r.x0) * (r.y1 - r.y0);
}

PixelRect bounds(const PixelRect& a, const PixelRect& b) {
  return PixelRect{std::min(a.x0, b.x0), std::min(a.y0, b.y0), std::max(a.x1, b.x1),
                   std::max(a.y1, b.y1)};
}

// Adds `rect` to the plan; when the plan is full, it joins the rectangle
// that grows least by taking it in.
void add_rect(RedrawPlan& plan, const PixelRect& rect) {
  if (area(rect) == 0) return;
  if (plan.rect_count < kMaxRedrawRects) {
    plan.rects[plan.rect_count++] = rect;
    return;
  }
  int best = 0;
  long long best_growth = -1;
  for (int i = 0; i < plan.rect_count; ++i) {
    const long long growth = area(bounds(plan.rects[i], rect)) - area(plan.rects[i]);
    if (best_growth < 0 || growth < best_growth) best = i, best_growth = growth;
  }
  plan.rects[best] = bounds(plan.rects[best], rect);
}

}  // namespace

void forget_frame(FrameMemory& memory) { memory.valid = 0; }

void remember_frame(FrameMemory& memory, const ViewState& view, const uint32_t heights[kCellCount],
                    const ColumnLook looks[kCellCount]) {
  memory.view = view;
  std::memcpy(memory.heights, heights, sizeof memory.heights);
  std::copy(looks, looks + kCellCount, memory.looks);
  memory.valid = 1;
}

int column_rect(const double m[16], const ViewState& view, int cell, uint32_t height,
                PixelRect& rect) {
  const double w_half = view.viewport_width * 0.5, h_half = view.viewport_height * 0.5;
  double x_min = HUGE_VAL, x_max = -HUGE_VAL, y_min = HUGE_VAL, y_max = -HUGE_VAL;
  for (int corner = 0; corner < 8; ++corner) {
    double clip[4];
    corner_clip(m, cell / kGridCols, cell % kGridCols, height, corner, clip);
    const double w = clip[3];
    if (!(w > 0) || clip[2] < -w * (1 - kNearMargin) || clip[2] > w ||
        std::fabs(clip[0]) > kOffScreenLimit * w || std::fabs(clip[1]) > kOffScreenLimit * w)
      return 0;
    const double sx = (clip[0] / w + 1) * w_half, sy = (clip[1] / w + 1) * h_half;
    x_min = std::min(x_min, sx), x_max = std::max(x_max, sx);
    y_min = std::min(y_min, sy), y_max = std::max(y_max, sy);
  }
  rect.x0 = std::max(0, static_cast<int>(std::floor(x_min)) - kRectMargin);
  rect.y0 = std::max(0, static_cast<int>(std::floor(y_min)) - kRectMargin);
  rect.x1 = std::min<int>(view.viewport_width, static_cast<int>(std::ceil(x_max)) + kRectMargin);
  rect.y1 = std::min<int>(view.viewport_height, static_cast<int>(std::ceil(y_max)) + kRectMargin);
  return 1;
}

int plan_redraw(const FrameMemory& memory, const ViewState& view,
                const uint32_t heights[kCellCount], const ColumnLook looks[kCellCount],
                const uint8_t in_view[kCellCount], PixelRect cell_rects[kCellCount],
                RedrawPlan& plan) {
  plan.rect_count = 0;
  if (!memory.valid || !same_camera(memory.view, view)) return 0;
  const Camera camera = make_camera(view);
  const double* m = camera.clip;
  for (int i = 0; i < kCellCount; ++i)
    if (in_view[i] && !column_rect(m, view, i, heights[i], cell_rects[i])) return 0;
  for (int i = 0; i < kCellCount; ++i) {
    if (heights[i] == memory.heights[i] && looks[i] == memory.looks[i]) continue;
    // The taller box holds the shorter one: its rectangle covers the
    // column as it was and as it is now.
    PixelRect rect;
    if (!column_rect(m, view, i, std::max(heights[i], memory.heights[i]), rect)) return 0;
    add_rect(plan, rect);
  }
  long long total = 0;
  for (int i = 0; i < plan.rect_count; ++i) total += area(plan.rects[i]);
  return total <= kMaxRedrawShare * view.viewport_width * view.viewport_height;
}

void columns_meeting(const PixelRect cell_rects[kCellCount], const uint8_t in_view[kCellCount],
                     const PixelRect& rect, uint8_t mask[kCellCount]) {
  for (int i = 0; i < kCellCount; ++i) {
    const PixelRect& c = cell_rects[i];
    const bool meets = c.x0 < rect.x1 && rect.x0 < c.x1 && c.y0 < rect.y1 && rect.y0 < c.y1;
    mask[i] = meets ? in_view[i] : 0;
  }
}

}  // namespace valdrin
