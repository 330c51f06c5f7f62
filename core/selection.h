// Area selection around a Ctrl-clicked cell (the cell alone, its council
// districts or its zip areas) and the Statistics report on that cell.
// Rebuilding the view afterwards is the caller's business.
#pragma once

#include <cstdint>
#include <string>

#include "core/area_table.h"
#include "core/cell_table.h"
#include "core/query.h"

namespace valdrin {

// Selection modes, in the order of the GIS Panel's "Selection" list; 3-7 select
// nothing.
enum SelectionMode : uint8_t { kSelectKeymap = 0, kSelectCouncil = 1, kSelectZip = 2 };

constexpr size_t kReportSize = 256;  // the report text, its terminator included

// Rewrites every cell's selected flag for a click on (row, col) in `mode`. A
// row or column outside the grid changes nothing and returns 0; else 1.
int select_area(CellTable& table, uint8_t mode, int16_t row, int16_t col);

// Clears every cell's selected flag.
void clear_selection(CellTable& table);

// The Statistics report on cell (row, col) from the last counting pass, with
// CR LF line ends, zip codes as `areas` names them. A zip index above 1000
// has no counter and prints a count of 0; the text is cut to 255 characters.
std::string compose_report(const CellTable& table, const AreaTable& areas, int16_t row, int16_t col,
                           const CountTables& counts, const TimeState& time, const Event& query);

}  // namespace valdrin
