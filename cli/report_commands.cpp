// The counting and report family of valdrin-cli: count (JSON counts of the
// window), report (the Info Panel's statistics text for a cell) and select
// (the cells an area selection marks). They read files and print results;
// they write no file.
#include <string>

#include "cli/command_table.h"
#include "core/selection.h"
#include "core/text.h"

namespace valdrin::cli {

namespace {

// The slots of a count table that hold a count, as a JSON list of [slot, count].
void print_slots(std::FILE* out, const uint32_t* counts, uint32_t slots) {
  const char* sep = "";
  std::fputc('[', out);
  for (uint32_t i = 0; i < slots; ++i) {
    if (counts[i] == 0) continue;
    std::fprintf(out, "%s[%u,%u]", sep, i, counts[i]);
    sep = ",";
  }
  std::fputc(']', out);
}

}  // namespace

int command_count(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 1, "count");
  check_filter(o);
  if (!load_store(o.positional[0], s, io.err)) return kExitFile;
  apply_filter(o, s);
  count_state(s);
  std::fprintf(io.out, "{\"total\": %u, \"cells\": [", s.counts.total);
  const char* sep = "";
  for (int i = 0; i < kCellCount; ++i) {
    if (s.counts.cells[i] == 0) continue;
    std::fprintf(io.out, "%s[%d,%d,%u]", sep, i / kGridCols, i % kGridCols, s.counts.cells[i]);
    sep = ",";
  }
  std::fprintf(io.out, "], \"zip\": ");
  print_slots(io.out, s.counts.zip, kMaxZipIndex + 1);
  std::fprintf(io.out, ", \"council\": ");
  print_slots(io.out, s.counts.council, kMaxCouncil + 1);
  std::fprintf(io.out, "}\n");
  return kExitOk;
}

int command_report(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 1, "report");
  if (!o.cell) throw UsageError{"report needs --cell ROW,COL"};
  int16_t row;
  int16_t col;
  parse_cell(*o.cell, row, col);
  check_filter(o);
  if (!load_store(o.positional[0], s, io.err)) return kExitFile;
  apply_filter(o, s);
  if (!load_selection(o, s, io.err)) return kExitFile;
  count_state(s);
  const std::string report = compose_report(s.cells, s.areas, row, col, s.counts, s.time, s.query);
  std::fwrite(report.data(), 1, report.size(), io.out);
  return kExitOk;
}

int command_select(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 0, "select");
  if (!o.cell || !o.mode) throw UsageError{"select needs --cell and --mode"};
  int16_t row;
  int16_t col;
  parse_cell(*o.cell, row, col);
  struct Mode {
    const char* name;
    uint8_t mode;
  };
  constexpr Mode kModes[] = {
      {"keymap", kSelectKeymap}, {"council", kSelectCouncil}, {"zip", kSelectZip}};
  const Mode* mode = nullptr;
  for (const Mode& m : kModes)
    if (equals_ignore_case(*o.mode, m.name)) mode = &m;
  if (mode == nullptr) throw UsageError{"--mode is keymap, council or zip"};
  if (!load_selection(o, s, io.err)) return kExitFile;
  select_area(s.cells, mode->mode, row, col);
  std::fprintf(io.out, "[");
  const char* sep = "";
  for (int i = 0; i < kCellCount; ++i) {
    if ((s.cells.words[i][0] & kSelectedBit) == 0) continue;
    std::fprintf(io.out, "%s[%d,%d]", sep, i / kGridCols, i % kGridCols);
    sep = ",";
  }
  std::fprintf(io.out, "]\n");
  return kExitOk;
}

}  // namespace valdrin::cli
