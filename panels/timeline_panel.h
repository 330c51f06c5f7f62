// The Timeline Panel's widgets (template 106): they show what
// timeline_display() says and forward clicks and choices to the timeline
// logic (timeline.h).
#pragma once

#include "panels/panel.h"
#include "panels/timeline.h"

namespace valdrin {

// Runs once, right after the panel is built: sets sources.refresh to show
// the Time window on this panel, fills the Step unit list and selects the
// current unit, checks the button of the current play state, wires the
// controls to on_timeline_command, then runs the time-window reset.
// `sources` must outlive the panel.
//
// The program's rebuild step runs sources.refresh before it makes the GL
// context current: a progress bar repaints at once when its value changes,
// and painting a window that holds a GL view switches GL contexts.
void init_timeline_panel(Panel& panel, TimelineSources& sources);

// Shows the Time window on the panel: the bar's range, clamped position
// and colour, and the Date label of the Window end.
void update_timeline_display(Panel& panel, const TimeState& time, const Event& query,
                             const PlaybackState& playback);

}  // namespace valdrin
