// The data in/out family of valdrin-cli: generate (synthetic events as a
// .vdr), import-csv (an import listing to a .vdr) and export-csv (a .vdr to
// the export listing) and import-records (an analyst's own export, through
// a mapping, to a .vdr). Each reads everything before it writes, and writes
// through the core's own writers, which report a failed save as 0.
#include "cli/command_table.h"
#include "core/csv.h"
#include "records/import.h"

namespace valdrin::cli {

namespace {

int cant_write(std::string_view path, std::FILE* err) {
  std::fprintf(err, "Error: can't write %.*s\n", static_cast<int>(path.size()), path.data());
  return kExitFile;
}

}  // namespace

int command_generate(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 1, "generate");
  const uint32_t n =
      o.count ? parse_count(*o.count, "--count", 0, kGenerateCapacity) : kGenerateCount;
  const uint32_t repeat = o.repeat ? parse_count(*o.repeat, "--repeat", 1, 1000000) : 1;
  if (!load_selection(o, s, io.err)) return kExitFile;
  for (uint32_t i = 0; i < repeat; ++i)
    if (!generate_events(n, s.cells, s.random, s.store, s.time)) return kExitFile;
  if (!write_records(path_of(o.positional[0]).c_str(), s.store))
    return cant_write(o.positional[0], io.err);
  return kExitOk;
}

int command_import(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 2, "import-csv");
  if (!load_areas(o, s, io.err)) return kExitFile;
  if (!import_csv(path_of(o.positional[0]).c_str(), s.store, s.time, s.areas)) {
    std::fprintf(io.err, "Error: Can't load csv file!! (%s)\n", path_of(o.positional[0]).c_str());
    return kExitFile;
  }
  if (!write_records(path_of(o.positional[1]).c_str(), s.store))
    return cant_write(o.positional[1], io.err);
  return kExitOk;
}

int command_export(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 2, "export-csv");
  if (!load_store(o.positional[0], s, io.err) || !load_areas(o, s, io.err)) return kExitFile;
  if (!export_csv(path_of(o.positional[1]).c_str(), s.store, s.time, s.areas))
    return cant_write(o.positional[1], io.err);
  return kExitOk;
}

int command_import_records(const Options& o, AnalysisState& s, const Streams& io) {
  expect_positional(o, 2, "import-records");
  if (!o.mapping) throw UsageError{"import-records needs --mapping MAP.toml"};
  if (o.mapping->empty()) throw UsageError{"--mapping needs a file"};
  if (o.rejects && o.rejects->empty()) throw UsageError{"--rejects needs a file"};
  records::ImportRequest request;
  request.csv_path = path_of(o.positional[0]);
  request.out_path = path_of(o.positional[1]);
  request.mapping_path = path_of(*o.mapping);
  request.rejects_path = o.rejects ? path_of(*o.rejects) : "";
  request.data_folder = data_folder(o);
  request.store = &s.store;
  records::ImportSummary summary;
  std::string error;
  const int ok = records::import_records(request, summary, error);
  if (!ok) {
    std::fprintf(io.err, "Error: %s\n", error.c_str());
    return summary.bad_mapping ? kExitUsage : kExitFile;
  }
  std::fputs(records::summary_text(summary).c_str(), io.out);
  say_left_out("import-records", "rows ", summary.left_out);
  return kExitOk;
}

}  // namespace valdrin::cli
