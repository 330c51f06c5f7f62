// The mouse handlers' rules.
#include "app/navigation.h"

#include <algorithm>

#include "app/change.h"
#include "core/selection.h"
#include "view/picking.h"

namespace valdrin {

namespace {

constexpr float kMinDistance = 5.0f;

void call(const std::function<void()>& hook) {
  if (hook) hook();
}

void remember(Program& program, int16_t x, int16_t y) {
  program.pointer.last_x = x;
  program.pointer.last_y = y;
}

}  // namespace

void on_mouse_move(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                   int16_t y) {
  const bool left = flags & kLeftButton, right = flags & kRightButton;
  if (!left && !right) return;
  const int16_t dx = static_cast<int16_t>(x - program.pointer.last_x);
  const int16_t dy = static_cast<int16_t>(y - program.pointer.last_y);
  remember(program, x, y);
  ViewState& view = program.view;
  if (right) {
    if (flags & kShiftKey) {
      view.distance = std::max(view.distance + dy, kMinDistance);
    } else {
      // Clamped, not wrapped: past a limit the value stays there, and
      // motion back moves it again at once.
      view.tilt = std::clamp(view.tilt - dy, -90.0f, 90.0f);
      view.heading = std::clamp(view.heading - dx, -180.0f, 180.0f);
    }
    call(hooks.redraw);
    return;
  }
  if (flags & (kShiftKey | kControlKey)) return;
  // One step per message, whatever the distance moved: only the sign counts.
  if (dx > 0) step_time_forward(window_end(program.analysis), program.playback.step_unit);
  if (dx < 0) step_time_back(window_end(program.analysis), program.playback.step_unit);
  apply_change(program, kWindowChanged);
  call(hooks.redraw);
}

void on_left_down(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                  int16_t y) {
  // The Last pointer position is left as it was: the first drag message
  // measures from the last release or right press.
  call(hooks.capture);
  if (flags & kControlKey) {
    AnalysisState& a = program.analysis;
    int16_t row = 0, col = 0;
    if (pick_cell(program.view, a.counts, x, y, row, col)) {
      select_area(a.cells, selection_mode(a.gis), row, col);
      // The report lands in the Info text; the Info Panel shows it, and
      // itself, even when the user had hidden it.
      info_append(program.info, compose_report(a.cells, a.areas, row, col, a.counts, a.time, a.query));
      apply_change(program, kSelectionChanged | kInfoTextChanged);
    } else {
      clear_selection(a.cells);
      apply_change(program, kSelectionChanged);
    }
  }
  call(hooks.redraw);
}

void on_right_down(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                   int16_t y) {
  call(hooks.capture);
  remember(program, x, y);
  int16_t row = 0, col = 0;
  if ((flags & kControlKey) && pick_cell(program.view, program.analysis.counts, x, y, row, col)) {
    program.view.look_at[0] = col + 0.5f;
    program.view.look_at[1] = row + 0.5f;
    program.view.look_at[2] = 0.0f;
  }
  call(hooks.redraw);
}

void on_left_up(Program& program, const NavigationHooks& hooks, int16_t x, int16_t y) {
  call(hooks.release);
  remember(program, x, y);
  call(hooks.redraw);
}

void on_right_up(Program& program, const NavigationHooks& hooks, int16_t x, int16_t y) {
  on_left_up(program, hooks, x, y);
}

void on_key_up(Program&, const NavigationHooks& hooks, int) { call(hooks.redraw); }

}  // namespace valdrin
