// The panels' actions.
#include "app/panel_commands.h"

#include "app/file_dialogs.h"
#include "core/message.h"
#include "core/readout.h"
#include "view/picking.h"

namespace valdrin {

int save_info_text(Program& program) {
  std::string path;
  if (!choose_save_file(program, path, ".txt")) return 0;
  if (!write_info_text(program.info, path.c_str())) {
    show_message("Error", "Can't save text file!!");
    return 0;
  }
  show_message("Info", "Save complete");
  return 1;
}

std::string hover_text(const Program& program, int16_t x, int16_t y) {
  int16_t row = 0, col = 0;
  const AnalysisState& a = program.analysis;
  if (!pick_cell(program.view, a.counts, x, y, row, col)) return {};
  return cell_readout(a.cells, a.areas, a.counts, row, col) + analysis_readout(a, row * kGridCols + col);
}

}  // namespace valdrin
