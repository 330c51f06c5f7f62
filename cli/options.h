// What every valdrin-cli command shares: the analysis state one command
// builds (core/analysis.h, fresh each run), the parsed command line, the usage
// error that ends a run with exit code 2, and the readers of option values
// (time keys, FIELD=VALUE clauses, cells, counts, numbers, map settings).
// A reader that refuses its text throws UsageError naming the option.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis.h"
#include "view/map_layers.h"

namespace valdrin::cli {

// Options given on the command line; an option given with an empty value
// is present (and then refused by its reader), unlike one not given at all.
struct Options {
  std::vector<std::string_view> positional;
  std::vector<std::string_view> where;
  std::string data;     // --data DIR; "" when not given: see data_folder
  std::string program;  // argv[0], for the installed data folder
  std::optional<std::string_view> from, to, cell, mode, count, repeat;
  std::optional<std::string_view> map, overlays, size, heading, tilt, distance, look_at;
  std::optional<std::string_view> step, frames, delay, frames_dir, frame_format;
  std::optional<std::string_view> colour_by, neighbourhood, per_band, format, base_from, base_to,
      by;
  std::optional<std::string_view> mapping, rejects;
  bool no_fdr = false;
};

// Where a command writes: results on `out`, messages on `err`.
struct Streams {
  std::FILE* out;
  std::FILE* err;
};

struct UsageError {
  std::string text;
};

// No data folder was named and none was found where one is looked for;
// the text names every place tried. It ends a run with exit code 1.
struct DataFolderError {
  std::string text;
};

// The data folder: --data as given, else the first of ./data and the
// folder installed beside the program that holds the cell table
// (core/data_folder.h). Looked for when a command first reads from it,
// after its command line has been checked; throws DataFolderError.
std::string data_folder(const Options& o);

// Reads argv[2..]: options and their values, the rest as file arguments.
// The command argv[1] takes the options that `usage` names; any other known
// option is a usage error naming both.
Options parse_options(int argc, const char* const* argv, std::string_view usage);

// Exactly `n` file arguments, or a usage error naming the command.
void expect_positional(const Options& o, size_t n, const char* command);

// A 16-bit number in decimal or 0x hex. Return true with the value.
bool parse_u16(std::string_view text, uint16_t& result);

// A Time key that names a date: a Date label or a raw key in decimal or 0x
// hex whose month is 1-12 and whose day lies in that month (the shift may
// be none). `option` names it in the error.
uint16_t parse_key(std::string_view text, const char* option);

// Reads the window and --where options without using them, so that a bad
// one is a usage error before any file is read.
void check_filter(const Options& o);

// Window (default: the whole loaded file) and --where masks as count,
// report and render take them.
void apply_filter(const Options& o, AnalysisState& s);

// The --where clause FIELD=VALUE into the query masks.
void apply_where(std::string_view clause, Event& query);

void parse_cell(std::string_view text, int16_t& row, int16_t& col);

uint32_t parse_count(std::string_view text, const char* option, uint32_t low, uint32_t high);

// A finite decimal number such as "30" or "-12.5".
float parse_real(std::string_view text, const char* option);

// --colour-by, --neighbourhood (or hotspots' --distance), --no-fdr and
// --per-band into the state's analysis settings. The band scale is left to
// the data unless given (choose_band_scale after a load).
void apply_analysis(const Options& o, AnalysisState& s);

// --map and --overlays over the initial GIS settings.
GisSettings parse_gis(const Options& o);

// The file arguments as C strings for the core.
std::string path_of(std::string_view view);

std::string selection_path(const Options& o);

// Loads the cell table and the data folder's Area table; on failure also
// names the file tried or the fault. Return 1/0.
int load_selection(const Options& o, AnalysisState& s, std::FILE* err);

// Loads the data folder's Area table for a command that can do without a
// data folder: with no --data and none found, the fixed zip rule stays.
// Return 1/0 as load_selection.
int load_areas(const Options& o, AnalysisState& s, std::FILE* err);

// Loads a .vdr file; on failure says so with its name. Return 1/0.
int load_store(std::string_view path, AnalysisState& s, std::FILE* err);

}  // namespace valdrin::cli
