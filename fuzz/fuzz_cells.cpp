// The cell table on any bytes, then an area selection and a Statistics
// report on any cell, in any mode, over counts that hold every slot. Cell
// words carry arbitrary district and zip codes, far past the counters.
// Layout: [mode][row low][row high][col low][col high][selection file].
#include <cstdlib>
#include <cstring>

#include "core/cell_table.h"
#include "core/query.h"
#include "core/selection.h"
#include "fuzz/fuzz_support.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silence_messages();
  if (size < 5) return 0;
  const uint8_t mode = data[0];
  const int16_t row = static_cast<int16_t>(data[1] | data[2] << 8);
  const int16_t col = static_cast<int16_t>(data[3] | data[4] << 8);
  static CellTable table;
  const std::string path = fuzz::stage_file("in.sel", data + 5, size - 5);
  if (!init_selection(path.c_str(), table)) std::abort();
  const bool inside = row >= 0 && row < kGridRows && col >= 0 && col < kGridCols;
  if (select_area(table, mode, row, col) != (inside ? 1 : 0)) std::abort();

  static CountTables counts;
  for (uint32_t i = 0; i < kCellCount; ++i) counts.cells[i] = i * 2654435761u;
  for (uint32_t i = 0; i <= kMaxCouncil; ++i) counts.council[i] = 0xFFFFFFFFu - i;
  for (uint32_t i = 0; i <= kMaxZipIndex; ++i) counts.zip[i] = i;
  counts.total = 0xFFFFFFFFu;
  TimeState time;
  Event query;
  default_query(query);
  reset_window_end(time, query);
  const std::string report = compose_report(table, AreaTable{}, row, col, counts, time, query);
  if (report.size() >= kReportSize) std::abort();
  return 0;
}
