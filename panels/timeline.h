// The Timeline Panel's logic, without widgets: the playback state, the
// time-window reset, what the bar and the date label show, the panel's
// commands and the playback tick. The widgets (timeline_panel.h) only show
// timeline_display() and forward the user's clicks and choices here.
#pragma once

#include <cstdint>

#include "core/analysis.h"
#include "core/time_key.h"
#include "panels/notification.h"
#include "resources/templates.h"

namespace valdrin {

enum PlayState : uint8_t { kPlayBackward = 1, kPaused = 2, kPlayForward = 3 };

// Playback and the bar's range. The program holds one (Program::playback);
// the play state and the Step unit change only by the panel's buttons and
// list and survive hiding, loads, resets and "Default Time".
struct PlaybackState {
  uint8_t play_state = kPaused;
  uint8_t step_unit = kStepDay;         // also the unit of the left-button drag
  uint16_t range_min = kFirstValidKey;  // the First key at the last reset
  uint16_t range_max = kLastValidKey;   // the Last key at the last reset
};

// Bar colours as 0x00BBGGRR values.
constexpr uint32_t kBarBlue = 0x00C56A31;    // Window end after Window start
constexpr uint32_t kBarOrange = 0x004080FF;  // Window end at or before Window start

// Red, green and blue of a 0x00BBGGRR colour.
struct Rgb {
  uint8_t r, g, b;
  bool operator==(const Rgb&) const = default;
};
Rgb colour_rgb(uint32_t bbggrr);

// What the panel shows of the Time window. The bar's range runs from the
// lower to the higher of the two keys of the last reset, so that data whose
// First key lies above its Last key (a file not in time order) still gives
// a bar that fills as the Window end rises; the position is clamped into
// the range, so a Window end beyond it shows as an empty or a full bar. A
// range of a single key is widened by one key above it (below it at
// 0xFFFF): a bar with no range at all would show "busy" instead.
struct TimelineDisplay {
  int bar_min = 0;
  int bar_max = 0;
  int bar_position = 0;
  uint32_t bar_colour = kBarOrange;
  char date_label[kDateLabelSize] = {};
};
TimelineDisplay timeline_display(const TimeState& time, const Event& query,
                                 const PlaybackState& playback);

// The time-window reset after new data: Window end := First key, with the
// shift Day when it has none; the bar's range := First key .. Last key. The
// Window start, the play state and the Step unit stay. The caller reports
// the new data, which recounts and refreshes the panel.
void reset_timeline(AnalysisState& state, PlaybackState& playback);

// A notification `code` from control `id`; `selected` is the list's
// selected index for the Step unit list. Buttons act on a click, the list
// on a change of selection; a step button or "[ .. ]" adds kWindowChanged
// to `changed`. Nothing is drawn: the change shows at the next tick of
// timer 1. Returns 1 for the panel's buttons and list (whatever the code),
// 0 for any other id.
int on_timeline_command(AnalysisState& state, PlaybackState& playback, int id, int code,
                        int selected, unsigned& changed);

// A tick of timer `timer_id`. Timer 1 steps a playing Window end by the
// Step unit (back or forward) and returns kWindowChanged; paused, or any
// other timer, returns 0. Playback wraps at the ends of the year range as
// the stepping does and never stops by itself.
unsigned on_timer(AnalysisState& state, const PlaybackState& playback, int timer_id);

}  // namespace valdrin
