// File commands and their messages.
#include "app/file_commands.h"

#include <string>

#include "app/change.h"
#include "app/file_dialogs.h"
#include "core/csv.h"
#include "core/message.h"

namespace valdrin {

namespace {

// A reader or writer of the store (.vdr or CSV) over the chosen path.
using StoreReader = int (*)(const char* path, AnalysisState& a);
using StoreWriter = int (*)(const char* path, const AnalysisState& a);

int read_vdr(const char* path, AnalysisState& a) { return read_records(path, a.store, a.time); }
int write_vdr(const char* path, const AnalysisState& a) { return write_records(path, a.store); }
int read_csv(const char* path, AnalysisState& a) {
  return import_csv(path, a.store, a.time, a.areas);
}
int write_csv(const char* path, const AnalysisState& a) {
  return export_csv(path, a.store, a.time, a.areas);
}

// Loads `path` into the store; new data ends in the time-window reset,
// which counts it once.
void load_file(Program& program, const std::string& path, StoreReader read, const char* failure) {
  if (!read(path.c_str(), program.analysis)) {
    show_message("Error", failure);
    return;
  }
  reset_timeline(program);
  show_message("Info", "Load complete");
}

// Loads a file the user chooses.
void load_command(Program& program, const char* extension, StoreReader read, const char* failure) {
  std::string path;
  if (choose_open_file(program, path, extension)) load_file(program, path, read, failure);
}

// Writes the store to a file the user chooses; success is said only for a
// write that went through whole.
void save_command(Program& program, const char* extension, StoreWriter write, const char* success,
                  const char* failure) {
  std::string path;
  if (!choose_save_file(program, path, extension)) return;
  if (write(path.c_str(), program.analysis))
    show_message("Info", success);
  else
    show_message("Error", failure);
}

constexpr const char* kDataLoadFailure = "Can't load data file!!";

}  // namespace

void load_data_command(Program& program) {
  load_command(program, ".vdr", read_vdr, kDataLoadFailure);
}

void load_data_file(Program& program, const std::string& path) {
  load_file(program, path, read_vdr, kDataLoadFailure);
}

void save_data_command(Program& program) {
  save_command(program, ".vdr", write_vdr, "Save complete", "Can't save data file!!");
}

void import_csv_command(Program& program) {
  load_command(program, ".csv", read_csv, "Can't load csv file!!");
}

void export_csv_command(Program& program) {
  save_command(program, ".csv", write_csv, "Export complete", "Can't export csv file!!");
}

void generate_data_command(Program& program) {
  AnalysisState& a = program.analysis;
  if (generate_events(kGenerateCount, a.cells, a.random, a.store, a.time)) reset_timeline(program);
}

}  // namespace valdrin
