// File commands and their messages.
#include "app/file_commands.h"

#include <string>

#include "app/change.h"
#include "app/file_dialogs.h"
#include "core/csv.h"
#include "core/message.h"

namespace valdrin {

void load_data_command(Program& program) {
  std::string path;
  if (!choose_open_file(program, path, ".vdr")) return;
  AnalysisState& a = program.analysis;
  if (!read_records(path.c_str(), a.store, a.time)) {
    show_message("Error", "Can't load data file!!");
    return;
  }
  reset_timeline(program);
  show_message("Info", "Load complete");
}

void save_data_command(Program& program) {
  std::string path;
  if (!choose_save_file(program, path, ".vdr")) return;
  // "Save complete" belongs to a write that succeeded.
  if (write_records(path.c_str(), program.analysis.store))
    show_message("Info", "Save complete");
  else
    show_message("Error", "Can't save data file!!");
}

void import_csv_command(Program& program) {
  std::string path;
  if (!choose_open_file(program, path, ".csv")) return;
  if (!import_csv(path.c_str(), program.analysis.store, program.analysis.time)) {
    show_message("Error", "Can't load csv file!!");
    return;
  }
  reset_timeline(program);
  show_message("Info", "Load complete");
}

void export_csv_command(Program& program) {
  std::string path;
  if (!choose_save_file(program, path, ".csv")) return;
  if (export_csv(path.c_str(), program.analysis.store, program.analysis.time))
    show_message("Info", "Export complete");
  else
    show_message("Error", "Can't export csv file!!");
}

void generate_data_command(Program& program) {
  AnalysisState& a = program.analysis;
  if (generate_events(kGenerateCount, a.cells, a.random, a.store, a.time)) reset_timeline(program);
}

}  // namespace valdrin
