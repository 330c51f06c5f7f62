// Readers of valdrin-cli's command line. Every value is checked in full
// before any file is touched, so a mistyped option never leaves a half-made
// output behind; each refusal names the option and what it takes.
#include "cli/options.h"

#include <charconv>
#include <cmath>

#include "core/data_folder.h"
#include "core/text.h"
#include "core/time_key.h"

namespace valdrin::cli {

namespace {

// Options that take one value, and where each value goes.
struct ValueOption {
  const char* name;
  std::optional<std::string_view> Options::*member;
};

constexpr ValueOption kValueOptions[] = {
    {"--from", &Options::from},
    {"--to", &Options::to},
    {"--cell", &Options::cell},
    {"--mode", &Options::mode},
    {"--count", &Options::count},
    {"--repeat", &Options::repeat},
    {"--map", &Options::map},
    {"--overlays", &Options::overlays},
    {"--size", &Options::size},
    {"--heading", &Options::heading},
    {"--tilt", &Options::tilt},
    {"--distance", &Options::distance},
    {"--look-at", &Options::look_at},
    {"--step", &Options::step},
    {"--frames", &Options::frames},
    {"--delay", &Options::delay},
    {"--frames-dir", &Options::frames_dir},
    {"--frame-format", &Options::frame_format},
    {"--colour-by", &Options::colour_by},
    {"--neighbourhood", &Options::neighbourhood},
    {"--per-band", &Options::per_band},
    {"--format", &Options::format},
    {"--base-from", &Options::base_from},
    {"--base-to", &Options::base_to},
    {"--by", &Options::by},
    {"--mapping", &Options::mapping},
    {"--rejects", &Options::rejects},
};

// Whether `usage` names `option` whole: "[--frames N]" names --frames,
// "[--frames-dir DIR]" does not.
bool names_option(std::string_view usage, std::string_view option) {
  for (size_t at = usage.find(option); at != std::string_view::npos;
       at = usage.find(option, at + 1)) {
    const char next = at + option.size() < usage.size() ? usage[at + option.size()] : ' ';
    if (next != '-' && !(next >= 'a' && next <= 'z')) return true;
  }
  return false;
}

}  // namespace

Options parse_options(int argc, const char* const* argv, std::string_view usage) {
  Options o;
  o.program = argc > 0 && argv[0] != nullptr ? argv[0] : "";
  std::string_view foreign;  // the first option given that `usage` does not name
  bool data_given = false;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) throw UsageError{std::string(arg) + " needs a value"};
      return argv[++i];
    };
    if (foreign.empty() && arg.starts_with("--") && !names_option(usage, arg)) foreign = arg;
    bool known = false;
    for (const ValueOption& option : kValueOptions) {
      if (arg != option.name) continue;
      o.*option.member = value();
      known = true;
      break;
    }
    if (known) continue;
    if (arg == "--where")
      o.where.push_back(value());
    else if (arg == "--no-fdr")
      o.no_fdr = true;
    else if (arg == "--data")
      o.data = value(), data_given = true;
    else if (arg.size() > 1 && arg[0] == '-')
      throw UsageError{"unknown option " + std::string(arg)};
    else
      o.positional.push_back(arg);
  }
  if (data_given && o.data.empty()) throw UsageError{"--data needs a folder"};
  // Refused after the line's own faults (an unknown option, a missing
  // value), which say more, and still before the command reads any file.
  if (!foreign.empty())
    throw UsageError{std::string(argv[1]) + " takes no option " + std::string(foreign)};
  return o;
}

void expect_positional(const Options& o, size_t n, const char* command) {
  if (o.positional.size() != n)
    throw UsageError{std::string(command) + " takes " + std::to_string(n) + " file argument" +
                     (n == 1 ? "" : "s")};
}

bool parse_u16(std::string_view text, uint16_t& result) {
  uint32_t value = 0;
  bool ok;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    ok = text.size() <= 6;
    for (char c : text.substr(2)) {
      const int digit = (c >= '0' && c <= '9')   ? c - '0'
                        : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                        : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                                 : -1;
      if (digit < 0) ok = false;
      value = value * 16 + static_cast<uint32_t>(digit < 0 ? 0 : digit);
    }
  } else {
    ok = parse_unsigned(text, value) && value <= 0xFFFF;
  }
  if (ok) result = static_cast<uint16_t>(value);
  return ok;
}

uint16_t parse_key(std::string_view text, const char* option) {
  uint16_t key = 0;
  if (parse_time_label(text, key) || parse_u16(text, key)) {
    if (names_a_day(key)) return key;
    throw UsageError{"bad time key \"" + std::string(text) + "\" for " + option +
                     ": it names no date"};
  }
  throw UsageError{"bad time key \"" + std::string(text) + "\" for " + option};
}

void apply_where(std::string_view clause, Event& query) {
  const size_t eq = clause.find('=');
  if (eq == std::string_view::npos) throw UsageError{"--where needs FIELD=VALUE"};
  const std::string_view name = clause.substr(0, eq);
  const std::string_view text = clause.substr(eq + 1);
  if (name.empty()) throw UsageError{"--where needs a field name before '='"};
  if (text.empty()) throw UsageError{"--where " + std::string(name) + "= needs a value"};
  QueryFieldId field;
  if (!find_query_field(name, field)) throw UsageError{"unknown field " + std::string(name)};
  const QueryField& f = kQueryFields[field];
  const std::string range = " (codes 0 to " + std::to_string((1u << f.width) - 1) + ")";
  const bool digits = text.find_first_not_of("0123456789") == std::string_view::npos;
  uint32_t value = 0;
  if (digits) {
    if (!parse_unsigned(text, value) || value >= (1u << f.width))
      throw UsageError{"code " + std::string(text) + " is too wide for " + std::string(name) +
                       range};
  } else {
    int item = -1;
    for (int i = 0; i < f.item_count; ++i)
      if (equals_ignore_case(text, f.items[i])) item = i;
    if (item < 0)
      throw UsageError{"unknown value \"" + std::string(text) + "\" for " + std::string(name)};
    value = query_item_value(field, static_cast<uint32_t>(item));
  }
  set_query_field(query, field, value);
}

void check_filter(const Options& o) {
  if (o.to) parse_key(*o.to, "--to");
  if (o.from) parse_key(*o.from, "--from");
  Event scratch = initial_query();
  for (std::string_view clause : o.where) apply_where(clause, scratch);
}

void apply_filter(const Options& o, AnalysisState& s) {
  // Both are read before either is set, so a refusal changes nothing.
  const uint16_t end = o.to ? parse_key(*o.to, "--to") : s.time.last_key;
  const uint16_t start = o.from ? parse_key(*o.from, "--from") : s.time.first_key;
  s.query.key = end;
  s.time.window_start = start;
  for (std::string_view clause : o.where) apply_where(clause, s.query);
}

void apply_analysis(const Options& o, AnalysisState& s) {
  if (o.colour_by) {
    constexpr const char* kNames[kColouringCount] = {"events", "hotspots", "change"};
    int found = -1;
    for (int i = 0; i < kColouringCount; ++i)
      if (equals_ignore_case(*o.colour_by, kNames[i])) found = i;
    if (found < 0) throw UsageError{"--colour-by is events, hotspots or change"};
    s.colouring = static_cast<uint8_t>(found);
  }
  if (o.neighbourhood)
    s.neighbourhood = static_cast<uint8_t>(
        parse_count(*o.neighbourhood, "--neighbourhood", 1, kMaxNeighbourhood));
  s.fdr = !o.no_fdr;
  if (o.per_band && !equals_ignore_case(*o.per_band, "auto"))
    s.band_scale = static_cast<uint16_t>(parse_count(*o.per_band, "--per-band", 1, 50000));
}

void parse_cell(std::string_view text, int16_t& row, int16_t& col) {
  const size_t comma = text.find(',');
  uint32_t r = 0;
  uint32_t c = 0;
  if (comma == std::string_view::npos || !parse_unsigned(text.substr(0, comma), r) ||
      !parse_unsigned(text.substr(comma + 1), c) || r >= kGridRows || c >= kGridCols)
    throw UsageError{"--cell needs ROW,COL inside the 66 x 84 grid"};
  row = static_cast<int16_t>(r);
  col = static_cast<int16_t>(c);
}

uint32_t parse_count(std::string_view text, const char* option, uint32_t low, uint32_t high) {
  uint32_t value = 0;
  if (!parse_unsigned(text, value) || value < low || value > high)
    throw UsageError{std::string(option) + " takes a number from " + std::to_string(low) + " to " +
                     std::to_string(high)};
  return value;
}

float parse_real(std::string_view text, const char* option) {
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    throw UsageError{std::string(option) + " takes a number"};
  return value;
}

GisSettings parse_gis(const Options& o) {
  GisSettings gis;
  if (o.map) {
    if (*o.map != "0" && *o.map != "1") throw UsageError{"--map is 0 or 1"};
    set_map_choice(gis, static_cast<uint8_t>((*o.map)[0] - '0'));
  }
  if (o.overlays && !parse_u16(*o.overlays, gis.overlay_flags))
    throw UsageError{"--overlays takes a mask from 0 to 0xFFFF"};
  return gis;
}

std::string path_of(std::string_view view) { return std::string(view); }

std::string selection_path(const Options& o) { return data_folder(o) + "/selections/default.sel"; }

namespace {

int read_areas(const std::string& folder, AnalysisState& s, std::FILE* err) {
  std::string error;
  if (read_area_table(folder + "/" + kAreaTableFile, s.areas, error)) return 1;
  std::fprintf(err, "Error: %s\n", error.c_str());
  return 0;
}

}  // namespace

int load_selection(const Options& o, AnalysisState& s, std::FILE* err) {
  const std::string path = selection_path(o);
  if (!init_selection(path.c_str(), s.cells)) {
    std::fprintf(err, "Error: can't read the cell table %s\n", path.c_str());
    return 0;
  }
  return read_areas(data_folder(o), s, err);
}

int load_areas(const Options& o, AnalysisState& s, std::FILE* err) {
  const DataFolderSearch search =
      find_data_folder(o.data, data_folder_candidates(executable_path(o.program.c_str())));
  return search.folder.empty() ? 1 : read_areas(search.folder, s, err);
}

int load_store(std::string_view path, AnalysisState& s, std::FILE* err) {
  if (read_records(path_of(path).c_str(), s.store, s.time)) return 1;
  std::fprintf(err, "Error: can't load data file %.*s\n", static_cast<int>(path.size()),
               path.data());
  return 0;
}

std::string data_folder(const Options& o) {
  const DataFolderSearch search =
      find_data_folder(o.data, data_folder_candidates(executable_path(o.program.c_str())));
  if (search.folder.empty()) throw DataFolderError{data_folder_error(search)};
  return search.folder;
}

}  // namespace valdrin::cli
