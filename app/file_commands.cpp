// File commands and their messages.
#include "app/file_commands.h"

#include <string>

#include "app/change.h"
#include "app/file_dialogs.h"
#include "core/csv.h"
#include "core/message.h"

namespace valdrin {

namespace {

// A reader or writer of the store: read_records and import_csv, or
// write_records and export_csv, over the chosen path.
using StoreReader = int (*)(const char* path, EventStore& store, TimeState& time);
using StoreWriter = int (*)(const char* path, const EventStore& store, const TimeState& time);

int write_vdr(const char* path, const EventStore& store, const TimeState&) {
  return write_records(path, store);
}

// Loads `path` into the store; new data ends in the time-window reset,
// which counts it once.
void load_file(Program& program, const std::string& path, StoreReader read, const char* failure) {
  if (!read(path.c_str(), program.analysis.store, program.analysis.time)) {
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
  if (write(path.c_str(), program.analysis.store, program.analysis.time))
    show_message("Info", success);
  else
    show_message("Error", failure);
}

constexpr const char* kDataLoadFailure = "Can't load data file!!";

}  // namespace

void load_data_command(Program& program) {
  load_command(program, ".vdr", read_records, kDataLoadFailure);
}

void load_data_file(Program& program, const std::string& path) {
  load_file(program, path, read_records, kDataLoadFailure);
}

void save_data_command(Program& program) {
  save_command(program, ".vdr", write_vdr, "Save complete", "Can't save data file!!");
}

void import_csv_command(Program& program) {
  load_command(program, ".csv", import_csv, "Can't load csv file!!");
}

void export_csv_command(Program& program) {
  save_command(program, ".csv", export_csv, "Export complete", "Can't export csv file!!");
}

void generate_data_command(Program& program) {
  AnalysisState& a = program.analysis;
  if (generate_events(kGenerateCount, a.cells, a.random, a.store, a.time)) reset_timeline(program);
}

}  // namespace valdrin
