// The shell's ties to the platform that come before any window: the GL
// surface format, the check that OpenGL is there at all, and the message
// boxes.
#pragma once

#include <string>

namespace valdrin {

// Shows every message of the core in a message box with an OK button; the
// owned ones over the main window. An "Info" box (a completion) leaves the
// program usable while it is open; an "Error" box waits for its OK.
void install_message_boxes();

// The GL surface every view gets: a depth buffer for the columns, the
// compatibility profile for the fixed-function calls, double buffering.
// Must run before the application object exists.
void set_default_surface_format();

// Makes a GL context of the default surface format on the platform, as the
// view will, and drops it. "" when one could be made; else what to tell the
// user: that OpenGL is not available, on which platform and with what
// format asked for. Without it a shown view would crash inside Qt.
// Needs the application object.
std::string opengl_unavailable();

// Prints every message of the core on stderr as "Caption: text", instead
// of showing a box (scripted runs).
void install_message_printer();

}  // namespace valdrin
