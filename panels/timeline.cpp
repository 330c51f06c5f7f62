// The Timeline Panel's logic: reset, display, commands and the tick.
#include "panels/timeline.h"

#include <algorithm>

namespace valdrin {

namespace {

// The step buttons: id, direction, unit.
struct StepButton {
  uint16_t id;
  bool forward;
  uint8_t unit;
};
constexpr StepButton kStepButtons[] = {
    {kShiftForwardButton, true, kStepShift}, {kShiftBackButton, false, kStepShift},
    {kDayForwardButton, true, kStepDay},     {kDayBackButton, false, kStepDay},
    {kMonthForwardButton, true, kStepMonth}, {kMonthBackButton, false, kStepMonth},
    {kYearForwardButton, true, kStepYear},   {kYearBackButton, false, kStepYear},
};

}  // namespace

Rgb colour_rgb(uint32_t bbggrr) {
  return Rgb{static_cast<uint8_t>(bbggrr & 0xFF), static_cast<uint8_t>((bbggrr >> 8) & 0xFF),
             static_cast<uint8_t>((bbggrr >> 16) & 0xFF)};
}

TimelineDisplay timeline_display(const TimeState& time, const Event& query,
                                 const PlaybackState& playback) {
  TimelineDisplay display;
  int low = std::min(playback.range_min, playback.range_max);
  int high = std::max(playback.range_min, playback.range_max);
  display.bar_position = std::clamp<int>(query.key, low, high);
  if (low == high) {
    if (high < 0xFFFF)
      ++high;
    else
      --low;
  }
  display.bar_min = low;
  display.bar_max = high;
  display.bar_colour = query.key > time.window_start ? kBarBlue : kBarOrange;
  format_time_key(query.key, display.date_label);
  return display;
}

void reset_timeline(AnalysisState& state, PlaybackState& playback) {
  reset_window_end(state.time, state.query);
  playback.range_min = state.time.first_key;
  playback.range_max = state.time.last_key;
}

int on_timeline_command(AnalysisState& state, PlaybackState& playback, int id, int code,
                        int selected, unsigned& changed) {
  switch (id) {
    case kPlayBackwardButton:
      if (code == kNotifyClicked) playback.play_state = kPlayBackward;
      return 1;
    case kPauseButton:
      if (code == kNotifyClicked) playback.play_state = kPaused;
      return 1;
    case kPlayForwardButton:
      if (code == kNotifyClicked) playback.play_state = kPlayForward;
      return 1;
    case kStepUnitList:
      // Only the four items can be chosen; a list with nothing selected
      // leaves the unit as it was.
      if (code == kNotifySelectionChanged && selected >= kStepShift && selected <= kStepYear)
        playback.step_unit = static_cast<uint8_t>(selected);
      return 1;
    case kPinStartButton:
      if (code == kNotifyClicked) {
        window_start(state) = window_end(state);
        changed |= kWindowChanged;
      }
      return 1;
    default: break;
  }
  for (const StepButton& button : kStepButtons) {
    if (button.id != id) continue;
    if (code == kNotifyClicked) {
      // The wrap at the ends of the year range is no error here.
      if (button.forward)
        step_time_forward(window_end(state), button.unit);
      else
        step_time_back(window_end(state), button.unit);
      changed |= kWindowChanged;
    }
    return 1;
  }
  return 0;
}

unsigned on_timer(AnalysisState& state, const PlaybackState& playback, int timer_id) {
  if (timer_id != 1) return 0;
  if (playback.play_state == kPlayBackward) {
    step_time_back(window_end(state), playback.step_unit);
    return kWindowChanged;
  }
  if (playback.play_state == kPlayForward) {
    step_time_forward(window_end(state), playback.step_unit);
    return kWindowChanged;
  }
  return 0;
}

}  // namespace valdrin
