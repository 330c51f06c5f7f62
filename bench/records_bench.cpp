// Speed of the records import: a 1,000,000-row response-to-resistance
// export (the sample city's rows, their incident numbers renewed each time
// round, so about 376,000 incidents of 1-25 rows) read, dated, projected
// from longitude/latitude, coded, grouped, sorted and written with its
// rejects, through the shipped sample's mapping. The target is 2 s.
// bench/import_peers.sh runs it beside two tools an analyst might reach for,
// timed merely parsing the same file: `records_bench --write-export PATH`
// writes the file, and $VALDRIN_BENCH_EXPORT names it to the benchmark.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "records/import.h"

namespace valdrin {
namespace {

const std::string kRoot = VALDRIN_SOURCE_DIR;

// Writes the export of `rows` data rows at `path`; return the path.
std::string make_export(const std::string& path, size_t rows) {
  // Rows end in CRLF; a quoted field may hold a bare line feed.
  std::ifstream in(kRoot + "/examples/sample-city-resistance.csv", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  const std::string all = text.str();
  std::string header;
  std::vector<std::string> body;
  for (size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2) {
    const std::string line = all.substr(at, end - at);
    if (at == 0) header = line;
    if (line.starts_with("R2R-20")) body.push_back(line.substr(3));  // "-2024-00001,..."
  }
  std::ofstream out(path, std::ios::binary);
  out << header << "\r\n";
  for (size_t n = 0, round = 0; n < rows; ++round)
    for (size_t i = 0; i < body.size() && n < rows; ++i, ++n)
      out << 'R' << round << body[i] << "\r\n";
  return path;
}

void import_1m_rows(benchmark::State& state) {
  const auto root = std::filesystem::temp_directory_path() / "valdrin-records-bench";
  std::filesystem::create_directories(root);
  records::ImportRequest request;
  const char* given = std::getenv("VALDRIN_BENCH_EXPORT");
  request.csv_path = given ? given : make_export((root / "export.csv").string(), 1000000);
  request.out_path = (root / "out.vdr").string();
  request.rejects_path = (root / "rejects.csv").string();
  request.mapping_path = kRoot + "/examples/sample-city-resistance.toml";
  request.data_folder = kRoot + "/data";
  auto store = std::make_unique<EventStore>();
  request.store = store.get();
  for (auto _ : state) {
    records::ImportSummary summary;
    std::string error;
    if (!records::import_records(request, summary, error)) state.SkipWithError(error.c_str());
    state.counters["events"] = static_cast<double>(summary.events);
  }
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}
BENCHMARK(import_1m_rows)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace valdrin

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-export") {
    valdrin::make_export(argv[2], 1000000);
    return 0;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
