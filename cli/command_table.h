// valdrin-cli's commands by family, and the one table that both the
// dispatcher and --help read: each command's name, usage line and handler.
// A handler returns its exit code (kExitOk, kExitFile) and throws
// UsageError for a bad command line.
#pragma once

#include "cli/commands.h"
#include "cli/options.h"

namespace valdrin::cli {

using Handler = int (*)(const Options&, AnalysisState&, const Streams&);

struct Command {
  const char* name;
  // The arguments after the name, continuation lines indented. The options
  // it names are all the command takes.
  const char* usage;
  Handler run;
};

// Counting and reports (report_commands.cpp).
int command_count(const Options& o, AnalysisState& s, const Streams& io);
int command_report(const Options& o, AnalysisState& s, const Streams& io);
int command_select(const Options& o, AnalysisState& s, const Streams& io);

// Data in and out (data_commands.cpp).
int command_generate(const Options& o, AnalysisState& s, const Streams& io);
int command_import(const Options& o, AnalysisState& s, const Streams& io);
int command_export(const Options& o, AnalysisState& s, const Streams& io);
int command_import_records(const Options& o, AnalysisState& s, const Streams& io);

// Hot spots and change (analysis_commands.cpp).
int command_hotspots(const Options& o, AnalysisState& s, const Streams& io);
int command_compare(const Options& o, AnalysisState& s, const Streams& io);

// Images (image_commands.cpp).
int command_map(const Options& o, AnalysisState& s, const Streams& io);
int command_render(const Options& o, AnalysisState& s, const Streams& io);
int command_animate(const Options& o, AnalysisState& s, const Streams& io);

}  // namespace valdrin::cli
