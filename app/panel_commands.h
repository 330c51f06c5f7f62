// The panels' actions over the program's state that reach beyond the
// state, with no widgets: the Info Panel's "Save", which asks for a file,
// and the read-out of the cell under a resting pointer.
#pragma once

#include <cstdint>
#include <string>

#include "app/program.h"

namespace valdrin {

// "Save": asks for a ".txt" file and writes the Info text with every CR as
// a space. Return 1 after "Save complete"; 0 when the user cancelled
// (nothing said) or the file could not be written ("Error" / "Can't save
// text file!!", and nothing was written).
int save_info_text(Program& program);

// The read-out of the cell that a Ctrl-click at (x, y) would pick, or ""
// when the pointer is beside the grid. Changes nothing.
std::string hover_text(const Program& program, int16_t x, int16_t y);

}  // namespace valdrin
