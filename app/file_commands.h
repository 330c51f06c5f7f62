// The shell's file commands: Load Data (menu), and Save Data, Import CSV and
// Export CSV, which no menu item leads to. Each chooses its file, runs the
// core operation and tells the user how it went; new data ends in the
// time-window reset, which reports it: the events are counted once.
#pragma once

#include <string>

#include "app/program.h"

namespace valdrin {

void load_data_command(Program& program);
// The load of "Load Data.." once its file is chosen, for a file named
// otherwise (the command line, a drop on the window): read_records, then
// on failure "Can't load data file!!", on success the time-window reset
// and "Load complete".
void load_data_file(Program& program, const std::string& path);
void save_data_command(Program& program);
void import_csv_command(Program& program);
void export_csv_command(Program& program);

// "Generate Data": 1200 synthetic events, then the time-window reset.
void generate_data_command(Program& program);

}  // namespace valdrin
