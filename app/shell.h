// Shell operations over the program's state that need a current GL context
// but no window: the rebuild step and the time-window reset that follows
// every new data set.
#pragma once

#include "app/program.h"

namespace valdrin {

// The rebuild step over the program's state: the Timeline Panel's refresh,
// then the counting pass and the lists, with the view's context current.
void rebuild(Program& program);

// The timeline logic's view of the program: the rebuild step is
// rebuild(program), which refreshes the Timeline Panel first; no refresh
// or draw of its own.
TimelineSources timeline_sources(Program& program);

// Window end := First key (with the shift Day when it has none), the
// timeline's range := First key .. Last key, then the rebuild step (which
// refreshes the Timeline Panel first). The Window start, the
// play state and the Step unit are left alone.
void reset_timeline(Program& program);

// Shows every message of the core in a message box with an OK button; the
// owned ones over the main window.
void install_message_boxes();

// The GL surface every view gets: a depth buffer for the columns, the
// compatibility profile for the fixed-function calls, double buffering.
// Must run before the application object exists.
void set_default_surface_format();

}  // namespace valdrin
