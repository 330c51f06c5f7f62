// The read-out of one cell, shown when the pointer rests over the 3-D view:
// where the cell is, how many events it counts now, and which keymap page,
// zip areas and council districts it lies in. Reads only; changes nothing.
#pragma once

#include <cstdint>
#include <string>

#include "core/area_table.h"
#include "core/cell_table.h"
#include "core/query.h"

namespace valdrin {

// Lines separated by LF, no final line break:
//   "Row r, Column c", "Events: n" (its count in the last counting pass),
//   "Keymap 0493" (or "Keymap (r, c)" when the cell has no keymap code),
//   "Zip Code 77002" for its first zip area and again for a second one (the
//   code `areas` gives it),
//   "Council District I" for its first district and again for a second one.
// A second area is shown when its present bit is set and its code is not 0.
// "" for a row or column outside the grid.
std::string cell_readout(const CellTable& table, const AreaTable& areas, const CountTables& counts,
                         int16_t row, int16_t col);

}  // namespace valdrin
