// File commands and their messages.
#include "app/file_commands.h"

#include <string>

#include "app/file_dialogs.h"
#include "app/shell.h"
#include "core/csv.h"
#include "core/message.h"

namespace valdrin {

void load_data_command(Program& program) {
  std::string path;
  if (!choose_open_file(program.dialogs, path, ".vdr")) return;
  if (!read_records(path.c_str(), program.store, program.time)) {
    show_message("Error", "Can't load data file!!");
    return;
  }
  reset_timeline(program);
  rebuild(program);
  show_message("Info", "Load complete");
}

void save_data_command(Program& program) {
  std::string path;
  if (!choose_save_file(program.dialogs, path, ".vdr")) return;
  // "Save complete" belongs to a write that succeeded.
  if (write_records(path.c_str(), program.store))
    show_message("Info", "Save complete");
  else
    show_message("Error", "Can't save data file!!");
}

void import_csv_command(Program& program) {
  std::string path;
  if (!choose_open_file(program.dialogs, path, ".csv")) return;
  if (!import_csv(path.c_str(), program.store, program.time)) {
    show_message("Error", "Can't load csv file!!");
    return;
  }
  reset_timeline(program);
  show_message("Info", "Load complete");
}

void export_csv_command(Program& program) {
  std::string path;
  if (!choose_save_file(program.dialogs, path, ".csv")) return;
  if (export_csv(path.c_str(), program.store, program.time))
    show_message("Info", "Export complete");
  else
    show_message("Error", "Can't export csv file!!");
}

void generate_data_command(Program& program) {
  if (generate_events(kGenerateCount, program.cells, program.random, program.store, program.time))
    reset_timeline(program);
}

}  // namespace valdrin
