// The About box's contents beyond its template's texts: the picture (made
// from the shipped city by scripts/about_picture.sh and built into the
// program) and the "OK" button, which hides the box as Enter, Esc and the
// close box do.
#pragma once

#include "panels/panel.h"

namespace valdrin {

// Puts the picture in place and makes "OK" hide the box.
void init_about_box(Panel& about);

}  // namespace valdrin
