// The hot-spot and change family of valdrin-cli: hotspots (Gi* of every
// cell inside the city over the window's counts) and compare (the window
// against a base window, per cell, council district or zip area). They read
// files and print results as JSON or CSV; they write no file.
#include <cmath>
#include <string>

#include "cli/command_table.h"
#include "core/hotspots.h"
#include "core/text.h"
#include "core/time_key.h"

namespace valdrin::cli {

namespace {

bool csv_format(const Options& o) {
  if (!o.format || equals_ignore_case(*o.format, "json")) return false;
  if (equals_ignore_case(*o.format, "csv")) return true;
  throw UsageError{"--format is json or csv"};
}

// Numbers are written with a point and fixed decimals in every locale.
std::string fixed(double value, int digits) { return FixedText(value, digits).text; }

}  // namespace

int command_hotspots(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 1, "hotspots");
  check_filter(o);
  const bool csv = csv_format(o);
  const int distance =
      o.distance ? static_cast<int>(parse_count(*o.distance, "--distance", 1, kMaxNeighbourhood))
                 : 1;
  if (!load_selection(o, s, io.err) || !load_store(o.positional[0], s, io.err)) return kExitFile;
  apply_filter(o, s);
  count_state(s);
  compute_hot_spots(s.counts.cells, s.cells, distance, !o.no_fdr, s.hot);
  std::fputs(csv ? "row,column,count,z,p,class\n" : "{\"distance\": ", io.out);
  if (!csv)
    std::fprintf(io.out, "%d, \"fdr\": %s, \"study_cells\": %d, \"cells\": [", distance,
                 o.no_fdr ? "false" : "true", s.hot.study_cells);
  const char* sep = "";
  for (int i = 0; i < kCellCount; ++i) {
    if (!s.hot.study[i]) continue;
    const std::string z = fixed(s.hot.z[i], 4), p = fixed(s.hot.p[i], 6);
    const int row = i / kGridCols, col = i % kGridCols, bin = s.hot.bin[i];
    if (csv)
      std::fprintf(io.out, "%d,%d,%u,%s,%s,%d\n", row, col, s.counts.cells[i], z.c_str(), p.c_str(),
                   bin);
    else
      std::fprintf(io.out,
                   "%s\n  {\"row\": %d, \"column\": %d, \"count\": %u, \"z\": %s, \"p\": %s, "
                   "\"class\": %d}",
                   sep, row, col, s.counts.cells[i], z.c_str(), p.c_str(), bin);
    sep = ",";
  }
  if (!csv) std::fputs("\n]}\n", io.out);
  return kExitOk;
}

int command_compare(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 1, "compare");
  check_filter(o);
  const bool csv = csv_format(o);
  if (o.base_from.has_value() != o.base_to.has_value())
    throw UsageError{"--base-from and --base-to go together"};
  std::string_view by = o.by ? *o.by : "cell";
  if (!equals_ignore_case(by, "cell") && !equals_ignore_case(by, "district") &&
      !equals_ignore_case(by, "zip"))
    throw UsageError{"--by is cell, district or zip"};
  uint16_t base_start = 0, base_end = 0;
  if (o.base_from) {
    base_start = parse_key(*o.base_from, "--base-from");
    base_end = parse_key(*o.base_to, "--base-to");
    if (base_start > base_end) throw UsageError{"--base-from must not come after --base-to"};
  }
  if (!load_store(o.positional[0], s, io.err) || !load_areas(o, s, io.err)) return kExitFile;
  apply_filter(o, s);
  if (!o.base_from && !base_window(s.time.window_start, s.query.key, base_start, base_end))
    throw UsageError{"no base window before Day,January,1,2000: give --base-from and --base-to"};
  count_state(s);
  s.base_start = base_start, s.base_end = base_end;
  count_base_window(s);

  char labels[4][kDateLabelSize];
  format_time_key(s.time.window_start, labels[0]), format_time_key(s.query.key, labels[1]);
  format_time_key(base_start, labels[2]), format_time_key(base_end, labels[3]);
  const bool cells = equals_ignore_case(by, "cell"), zips = equals_ignore_case(by, "zip");
  if (csv)
    std::fprintf(io.out, "%s,now,before,difference,z,flag\n",
                 cells  ? "row,column"
                 : zips ? "zip"
                        : "district");
  else
    std::fprintf(io.out,
                 "{\"from\": \"%s\", \"to\": \"%s\", \"base_from\": \"%s\", \"base_to\": \"%s\", "
                 "\"now\": %u, \"before\": %u, \"z\": %s, \"by\": \"%s\", \"areas\": [",
                 labels[0], labels[1], labels[2], labels[3], s.counts.total, s.before.total,
                 fixed(change_z(s.counts.total, s.before.total), 4).c_str(),
                 cells  ? "cell"
                 : zips ? "zip"
                        : "district");
  const uint32_t slots = cells ? kCellCount : zips ? kMaxZipIndex + 1 : kMaxCouncil + 1;
  const uint32_t* now = cells ? s.counts.cells : zips ? s.counts.zip : s.counts.council;
  const uint32_t* before = cells ? s.before.cells : zips ? s.before.zip : s.before.council;
  const char* sep = "";
  // Slot 0 of the zip and district tables holds the events with none.
  for (uint32_t i = cells ? 0 : 1; i < slots; ++i) {
    if (now[i] == 0 && before[i] == 0) continue;
    char area[32];
    if (cells)
      std::snprintf(area, sizeof area, csv ? "%u,%u" : "\"%u,%u\"", i / kGridCols, i % kGridCols);
    else if (zips)
      std::snprintf(area, sizeof area, "%u", zip_code(s.areas, i));
    else
      std::snprintf(area, sizeof area, csv ? "%c" : "\"%c\"", static_cast<char>(64 + i));
    const double z = change_z(now[i], before[i]);
    const long long difference = static_cast<long long>(now[i]) - before[i];
    if (csv)
      std::fprintf(io.out, "%s,%u,%u,%lld,%s,%d\n", area, now[i], before[i], difference,
                   fixed(z, 4).c_str(), change_class(z));
    else
      std::fprintf(io.out,
                   "%s\n  {\"area\": %s, \"now\": %u, \"before\": %u, \"difference\": %lld, "
                   "\"z\": %s, \"flag\": %d}",
                   sep, area, now[i], before[i], difference, fixed(z, 4).c_str(), change_class(z));
    sep = ",";
  }
  if (!csv) std::fputs("\n]}\n", io.out);
  return kExitOk;
}

}  // namespace valdrin::cli
