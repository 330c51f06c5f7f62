// The panels' actions over the program's state, with no widgets: a GIS
// Panel control's change and the map rebuild that follows it, the Info
// Panel's "Save", and the read-out of the cell under a resting pointer.
// The panel widgets call these and then only show the state.
#pragma once

#include <cstdint>
#include <string>

#include "app/program.h"

namespace valdrin {

// Stores a GIS Panel control's new value (see gis_command) and, for every
// acting control, rebuilds the Map texture with make_map in the view's
// context. Return 1 when the control acted, 0 for any other id.
int gis_change(Program& program, uint16_t id, int value);

// "Save": asks for a ".txt" file and writes the Info text with every CR as
// a space. Return 1 after "Save complete"; 0 when the user cancelled
// (nothing said) or the file could not be written ("Error" / "Can't save
// text file!!", and nothing was written).
int save_info_text(Program& program);

// The read-out of the cell that a Ctrl-click at (x, y) would pick, or ""
// when the pointer is beside the grid. Changes nothing.
std::string hover_text(const Program& program, int16_t x, int16_t y);

}  // namespace valdrin
