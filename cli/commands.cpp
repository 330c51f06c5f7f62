// valdrin-cli: count, report, select, generate, import-csv, export-csv and
// map over the core and the view layer, for batch users and scripted checks.
// Every command builds fresh state, runs the same operations as the viewer
// and prints its result on `out`; messages of the core go to `err` as
// "CAPTION: text".
#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/csv.h"
#include "core/generator.h"
#include "core/message.h"
#include "core/query.h"
#include "core/selection.h"
#include "core/store.h"
#include "core/text.h"
#include "core/time_key.h"
#include "view/headless.h"
#include "view/image.h"
#include "view/map_layers.h"
#include "view/scene.h"

namespace valdrin {

namespace {

constexpr const char* kUsage =
    "usage: valdrin-cli COMMAND ...\n"
    "  count IN.vdr [--from KEY] [--to KEY] [--where FIELD=VALUE]...\n"
    "  report IN.vdr --cell ROW,COL [--from KEY] [--to KEY] [--where FIELD=VALUE]... [--data DIR]\n"
    "  select --cell ROW,COL --mode keymap|council|zip [--data DIR]\n"
    "  generate OUT.vdr [--count N] [--repeat K] [--data DIR]\n"
    "  import-csv IN.csv OUT.vdr\n"
    "  export-csv IN.vdr OUT.csv\n"
    "  map OUT.bmp [--map 0|1] [--overlays MASK] [--data DIR]\n"
    "  render OUT.bmp [IN.vdr] [--size WxH] [--from KEY] [--to KEY] [--where FIELD=VALUE]...\n"
    "         [--heading DEG] [--tilt DEG] [--distance D] [--look-at X,Y] [--map 0|1]\n"
    "         [--overlays MASK] [--data DIR]\n"
    "KEY is a date label such as \"Day,January,1,2000\" or a raw key (decimal or 0x hex).\n"
    "FIELD is a filterable CSV column (SHIFT, DIVISION, ..., REASON); VALUE a code or a list "
    "item.\n"
    "MASK is the overlay flags, bit n painting overlay n (decimal or 0x hex, default 0x0034);\n"
    "--map 0 is the base map, 1 the city council map.\n"
    "DIR is the data folder (default ./data).\n";

// All state of one command, as the viewer holds it for its whole run.
struct Session {
  EventStore store;
  TimeState time;
  Event query = initial_query();
  CountTables counts;
  CellTable cells = {};
  RandomState random;
};

struct Options {
  std::vector<std::string_view> positional;
  std::string_view from, to, cell, mode, data = "data", count, repeat;
  std::optional<std::string_view> map, overlays;  // given at all, even empty
  std::optional<std::string_view> size, heading, tilt, distance, look_at;
  std::vector<std::string_view> where;
};

struct UsageError {
  std::string text;
};

void print_message(void* context, const char* caption, const char* text) {
  std::fprintf(static_cast<std::FILE*>(context), "%s: %s\n", caption, text);
}

Options parse_options(int argc, const char* const* argv) {
  Options o;
  for (int i = 2; i < argc; ++i) {
    const std::string_view arg = argv[i];
    auto value = [&]() -> std::string_view {
      if (i + 1 >= argc) throw UsageError{std::string(arg) + " needs a value"};
      return argv[++i];
    };
    if (arg == "--from")
      o.from = value();
    else if (arg == "--to")
      o.to = value();
    else if (arg == "--where")
      o.where.push_back(value());
    else if (arg == "--cell")
      o.cell = value();
    else if (arg == "--mode")
      o.mode = value();
    else if (arg == "--data")
      o.data = value();
    else if (arg == "--count")
      o.count = value();
    else if (arg == "--repeat")
      o.repeat = value();
    else if (arg == "--map")
      o.map = value();
    else if (arg == "--overlays")
      o.overlays = value();
    else if (arg == "--size")
      o.size = value();
    else if (arg == "--heading")
      o.heading = value();
    else if (arg == "--tilt")
      o.tilt = value();
    else if (arg == "--distance")
      o.distance = value();
    else if (arg == "--look-at")
      o.look_at = value();
    else if (arg.size() > 1 && arg[0] == '-')
      throw UsageError{"unknown option " + std::string(arg)};
    else
      o.positional.push_back(arg);
  }
  return o;
}

void expect_positional(const Options& o, size_t n, const char* command) {
  if (o.positional.size() != n)
    throw UsageError{std::string(command) + " takes " + std::to_string(n) + " file argument" +
                     (n == 1 ? "" : "s")};
}

// A 16-bit number in decimal or 0x hex. Return true with the value.
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

// A Date label, or a raw 16-bit key in decimal or 0x hex.
uint16_t parse_key(std::string_view text) {
  uint16_t key = 0;
  if (parse_time_label(text, key) || parse_u16(text, key)) return key;
  throw UsageError{"bad time key \"" + std::string(text) + "\""};
}

// FIELD=VALUE: VALUE all digits is the code itself, else a list item's text.
void apply_where(std::string_view clause, Event& query) {
  const size_t eq = clause.find('=');
  if (eq == std::string_view::npos) throw UsageError{"--where needs FIELD=VALUE"};
  const std::string_view name = clause.substr(0, eq);
  const std::string_view text = clause.substr(eq + 1);
  QueryFieldId field;
  if (!find_query_field(name, field)) throw UsageError{"unknown field " + std::string(name)};
  const QueryField& f = kQueryFields[field];
  uint32_t value = 0;
  if (parse_unsigned(text, value)) {
    if (value >= (1u << f.width))
      throw UsageError{"code " + std::string(text) + " is too wide for " + std::string(name)};
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

// Window and masks as the count and report commands take them; the window
// defaults to the whole loaded file.
void apply_filter(const Options& o, Session& s) {
  s.query.key = o.to.empty() ? s.time.last_key : parse_key(o.to);
  s.time.window_start = o.from.empty() ? s.time.first_key : parse_key(o.from);
  for (std::string_view clause : o.where) apply_where(clause, s.query);
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

std::string selection_path(const Options& o) {
  return std::string(o.data) + "/selections/default.sel";
}

// The path as a C string for the core.
std::string path_of(std::string_view view) { return std::string(view); }

int load_store(std::string_view path, Session& s, std::FILE* err) {
  if (read_records(path_of(path).c_str(), s.store, s.time)) return 1;
  std::fprintf(err, "Error: can't load data file %.*s\n", static_cast<int>(path.size()),
               path.data());
  return 0;
}

int command_count(const Options& o, Session& s, std::FILE* out, std::FILE* err) {
  expect_positional(o, 1, "count");
  if (!load_store(o.positional[0], s, err)) return kExitFile;
  apply_filter(o, s);
  count_events(s.store, s.query, s.time, s.counts);
  std::fprintf(out, "{\"total\": %u, \"cells\": [", s.counts.total);
  const char* sep = "";
  for (int i = 0; i < kCellCount; ++i) {
    if (s.counts.cells[i] == 0) continue;
    std::fprintf(out, "%s[%d,%d,%u]", sep, i / kGridCols, i % kGridCols, s.counts.cells[i]);
    sep = ",";
  }
  std::fprintf(out, "], \"zip\": [");
  sep = "";
  for (uint32_t i = 0; i <= kMaxZipIndex; ++i) {
    if (s.counts.zip[i] == 0) continue;
    std::fprintf(out, "%s[%u,%u]", sep, i, s.counts.zip[i]);
    sep = ",";
  }
  std::fprintf(out, "], \"council\": [");
  sep = "";
  for (uint32_t i = 0; i <= kMaxCouncil; ++i) {
    if (s.counts.council[i] == 0) continue;
    std::fprintf(out, "%s[%u,%u]", sep, i, s.counts.council[i]);
    sep = ",";
  }
  std::fprintf(out, "]}\n");
  return kExitOk;
}

int command_report(const Options& o, Session& s, std::FILE* out, std::FILE* err) {
  expect_positional(o, 1, "report");
  if (o.cell.empty()) throw UsageError{"report needs --cell ROW,COL"};
  int16_t row;
  int16_t col;
  parse_cell(o.cell, row, col);
  if (!load_store(o.positional[0], s, err)) return kExitFile;
  apply_filter(o, s);
  if (!init_selection(selection_path(o).c_str(), s.cells)) return kExitFile;
  count_events(s.store, s.query, s.time, s.counts);
  const std::string report = compose_report(s.cells, row, col, s.counts, s.time, s.query);
  std::fwrite(report.data(), 1, report.size(), out);
  return kExitOk;
}

int command_select(const Options& o, Session& s, std::FILE* out) {
  expect_positional(o, 0, "select");
  if (o.cell.empty() || o.mode.empty()) throw UsageError{"select needs --cell and --mode"};
  int16_t row;
  int16_t col;
  parse_cell(o.cell, row, col);
  uint8_t mode;
  if (o.mode == "keymap")
    mode = kSelectKeymap;
  else if (o.mode == "council")
    mode = kSelectCouncil;
  else if (o.mode == "zip")
    mode = kSelectZip;
  else
    throw UsageError{"--mode is keymap, council or zip"};
  if (!init_selection(selection_path(o).c_str(), s.cells)) return kExitFile;
  select_area(s.cells, mode, row, col);
  std::fprintf(out, "[");
  const char* sep = "";
  for (int i = 0; i < kCellCount; ++i) {
    if ((s.cells.words[i][0] & kSelectedBit) == 0) continue;
    std::fprintf(out, "%s[%d,%d]", sep, i / kGridCols, i % kGridCols);
    sep = ",";
  }
  std::fprintf(out, "]\n");
  return kExitOk;
}

int command_generate(const Options& o, Session& s, std::FILE* err) {
  expect_positional(o, 1, "generate");
  const uint32_t n =
      o.count.empty() ? kGenerateCount : parse_count(o.count, "--count", 0, kStoreCapacity);
  const uint32_t repeat = o.repeat.empty() ? 1 : parse_count(o.repeat, "--repeat", 1, 1000000);
  if (!init_selection(selection_path(o).c_str(), s.cells)) return kExitFile;
  for (uint32_t i = 0; i < repeat; ++i)
    if (!generate_events(n, s.cells, s.random, s.store, s.time)) return kExitFile;
  if (!write_records(path_of(o.positional[0]).c_str(), s.store)) {
    std::fprintf(err, "Error: can't write %s\n", path_of(o.positional[0]).c_str());
    return kExitFile;
  }
  return kExitOk;
}

int command_import(const Options& o, Session& s, std::FILE* err) {
  expect_positional(o, 2, "import-csv");
  if (!import_csv(path_of(o.positional[0]).c_str(), s.store, s.time)) {
    std::fprintf(err, "Error: Can't load csv file!! (%s)\n", path_of(o.positional[0]).c_str());
    return kExitFile;
  }
  if (!write_records(path_of(o.positional[1]).c_str(), s.store)) {
    std::fprintf(err, "Error: can't write %s\n", path_of(o.positional[1]).c_str());
    return kExitFile;
  }
  return kExitOk;
}

int command_export(const Options& o, Session& s, std::FILE* err) {
  expect_positional(o, 2, "export-csv");
  if (!load_store(o.positional[0], s, err)) return kExitFile;
  if (!export_csv(path_of(o.positional[1]).c_str(), s.store, s.time)) {
    std::fprintf(err, "Error: can't write %s\n", path_of(o.positional[1]).c_str());
    return kExitFile;
  }
  return kExitOk;
}

// The map image as the Map texture would hold it, written as a BMP file.
// --map and --overlays over the initial GIS settings.
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

// Writes and releases an image made by a command; its exit code.
int write_image(std::string_view path, Image& image, std::FILE* err) {
  const std::string out = path_of(path);
  const int written = write_bmp(out.c_str(), image);
  free_image(image);
  if (!written) {
    std::fprintf(err, "Error: can't write %s\n", out.c_str());
    return kExitFile;
  }
  return kExitOk;
}

int command_map(const Options& o, std::FILE* err) {
  expect_positional(o, 1, "map");
  const GisSettings gis = parse_gis(o);
  Image image;
  if (!compose_map(gis, std::string(o.data), image)) return kExitFile;
  return write_image(o.positional[0], image, err);
}

// A finite decimal number such as "30" or "-12.5".
float parse_real(std::string_view text, const char* option) {
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    throw UsageError{std::string(option) + " takes a number"};
  return value;
}

void parse_pair(std::string_view text, char separator, const char* option, std::string_view& first,
                std::string_view& second) {
  const size_t at = text.find(separator);
  if (at == std::string_view::npos)
    throw UsageError{std::string(option) + " takes two values joined by '" + separator + "'"};
  first = text.substr(0, at);
  second = text.substr(at + 1);
}

// Draws one frame of the scene without any window system and writes it out.
int command_render(const Options& o, Session& s, std::FILE* err) {
  if (o.positional.empty() || o.positional.size() > 2)
    throw UsageError{"render takes OUT.bmp and an optional IN.vdr"};
  int width = 1024;
  int height = 768;
  if (o.size) {
    std::string_view w, h;
    parse_pair(*o.size, 'x', "--size", w, h);
    uint32_t wv = 0, hv = 0;
    if (!parse_unsigned(w, wv) || !parse_unsigned(h, hv) || wv < 1 || hv < 1 || wv > 8192 ||
        hv > 8192)
      throw UsageError{"--size takes WxH, each from 1 to 8192"};
    width = static_cast<int>(wv);
    height = static_cast<int>(hv);
  }
  ViewState view;
  if (o.heading) view.heading = std::clamp(parse_real(*o.heading, "--heading"), -180.0f, 180.0f);
  if (o.tilt) view.tilt = std::clamp(parse_real(*o.tilt, "--tilt"), -90.0f, 90.0f);
  if (o.distance) view.distance = std::max(parse_real(*o.distance, "--distance"), 5.0f);
  if (o.look_at) {
    std::string_view x, y;
    parse_pair(*o.look_at, ',', "--look-at", x, y);
    view.look_at[0] = parse_real(x, "--look-at");
    view.look_at[1] = parse_real(y, "--look-at");
  }
  const GisSettings gis = parse_gis(o);
  if (o.positional.size() == 2 && !load_store(o.positional[1], s, err)) return kExitFile;
  apply_filter(o, s);

  HeadlessGl gl;
  if (!open_headless_gl(width, height, gl)) return kExitFile;
  auto scene = std::make_unique<Scene>();
  SceneSources sources{s.store, s.query, s.time, s.counts, s.cells};
  init_scene(*scene, sources, gis, std::string(o.data));
  resize_view(view, static_cast<int16_t>(width), static_cast<int16_t>(height));
  draw_frame(*scene, view);
  Image frame;
  read_frame(width, height, frame);
  free_scene();
  close_headless_gl(gl);
  return write_image(o.positional[0], frame, err);
}

}  // namespace

int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const MessageSink previous = set_message_sink(MessageSink{print_message, err});
  int code = kExitUsage;
  try {
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h" || command == "help") {
      std::fputs(kUsage, out);
      code = kExitOk;
    } else {
      const Options options = parse_options(argc, argv);
      auto session = std::make_unique<Session>();
      if (command == "count")
        code = command_count(options, *session, out, err);
      else if (command == "report")
        code = command_report(options, *session, out, err);
      else if (command == "select")
        code = command_select(options, *session, out);
      else if (command == "generate")
        code = command_generate(options, *session, err);
      else if (command == "import-csv")
        code = command_import(options, *session, err);
      else if (command == "export-csv")
        code = command_export(options, *session, err);
      else if (command == "map")
        code = command_map(options, err);
      else if (command == "render")
        code = command_render(options, *session, err);
      else
        throw UsageError{command.empty() ? "no command given"
                                         : "unknown command " + std::string(command)};
    }
  } catch (const UsageError& e) {
    std::fprintf(err, "valdrin-cli: %s (try --help)\n", e.text.c_str());
    code = kExitUsage;
  }
  set_message_sink(previous);
  return code;
}

}  // namespace valdrin
