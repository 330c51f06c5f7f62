// The panels' actions.
#include "app/panel_commands.h"

#include "app/file_dialogs.h"
#include "core/message.h"
#include "core/readout.h"
#include "view/gis_commands.h"
#include "view/picking.h"
#include "view/scene.h"

namespace valdrin {

int gis_change(Program& program, uint16_t id, int value) {
  if (!gis_command(program.gis, id, value)) return 0;
  // One rebuild per user change; make_map reports a missing map or overlay
  // itself. The new map shows at the next frame, drawn whole: every top
  // shows the texture.
  auto work = [&program] {
    make_map(program.gis, program.data_dir);
    forget_frame(program.scene.frame);
  };
  if (program.with_gl)
    program.with_gl(work);
  else
    work();
  return 1;
}

int save_info_text(Program& program) {
  std::string path;
  if (!choose_save_file(program.dialogs, path, ".txt")) return 0;
  if (!write_info_text(program.info, path.c_str())) {
    show_message("Error", "Can't save text file!!");
    return 0;
  }
  show_message("Info", "Save complete");
  return 1;
}

std::string hover_text(const Program& program, int16_t x, int16_t y) {
  int16_t row = 0, col = 0;
  if (!pick_cell(program.view, program.counts, x, y, row, col)) return {};
  return cell_readout(program.cells, program.counts, row, col);
}

}  // namespace valdrin
