// The rest of start-up.
#include "app/start_up.h"

#include "app/change.h"
#include "app/file_commands.h"
#include "core/time_key.h"

namespace valdrin {

void finish_start_up(Program& program, const StartOptions& options, const ViewerSettings& saved) {
  apply_saved_panels(program, saved);
  if (!options.file.empty()) load_data_file(program, options.file);
  if (options.window_end) {
    window_end(program.analysis) = *options.window_end;
    apply_change(program, kWindowChanged);
  }
}

std::string start_summary(const Program& program) {
  char start[kDateLabelSize];
  char end[kDateLabelSize];
  format_time_key(window_start(program.analysis), start);
  format_time_key(window_end(program.analysis), end);
  return std::to_string(program.analysis.store.count) + " events, " + start + " to " + end;
}

}  // namespace valdrin
