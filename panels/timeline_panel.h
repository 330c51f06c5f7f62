// The Timeline Panel's widgets (template 106): they show what
// timeline_display() says and forward clicks and choices to the timeline
// logic (timeline.h).
#pragma once

#include <functional>

#include "panels/panel.h"
#include "panels/timeline.h"

namespace valdrin {

// Runs once, right after the panel is built: fills the Step unit list and
// selects the current unit, checks the button of the current play state,
// and wires the controls to on_timeline_command, handing what each changed
// to `report`. A play button acts however it is pressed: a click, the
// keyboard, or an accessibility client's Toggle or Press. `state` and
// `playback` must outlive the panel.
void init_timeline_panel(Panel& panel, AnalysisState& state, PlaybackState& playback,
                         std::function<void(unsigned changed)> report);

// Shows the Time window on the panel: the bar's range, clamped position
// and colour, and the Date label of the Window end.
void show_timeline(Panel& panel, const AnalysisState& state, const PlaybackState& playback);

}  // namespace valdrin
