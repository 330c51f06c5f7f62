// The shell's ties to the platform that come before any window: the GL
// surface format and the message boxes.
#pragma once

namespace valdrin {

// Shows every message of the core in a message box with an OK button; the
// owned ones over the main window. An "Info" box (a completion) leaves the
// program usable while it is open; an "Error" box waits for its OK.
void install_message_boxes();

// The GL surface every view gets: a depth buffer for the columns, the
// compatibility profile for the fixed-function calls, double buffering.
// Must run before the application object exists.
void set_default_surface_format();

}  // namespace valdrin
