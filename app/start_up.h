// Start-up beyond the window: what the command line and the saved settings
// ask of it once the panels stand. In this order: the panels' places and
// the dialogs' folder as saved, then the file named on the command line,
// loaded as "Load Data.." loads the file it chooses (its messages
// included), then the time window's end moved to --to.
#pragma once

#include <string>

#include "app/command_line.h"
#include "app/program.h"
#include "app/settings.h"

namespace valdrin {

void finish_start_up(Program& program, const StartOptions& options, const ViewerSettings& saved);

// What a run with --quit-after-start prints once started: the events held
// and the time window, as "6000 events, Day,January,1,2024 to
// Night,January,31,2024".
std::string start_summary(const Program& program);

}  // namespace valdrin
