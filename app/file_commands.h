// The shell's file commands: Load Data (menu), and Save Data, Import CSV and
// Export CSV, which no menu item leads to. Each chooses its file, runs the
// core operation and tells the user how it went; new data ends in the
// time-window reset, which reports it: the events are counted once.
#pragma once

#include "app/program.h"

namespace valdrin {

void load_data_command(Program& program);
void save_data_command(Program& program);
void import_csv_command(Program& program);
void export_csv_command(Program& program);

// "Generate Data": 1200 synthetic events, then the time-window reset.
void generate_data_command(Program& program);

}  // namespace valdrin
