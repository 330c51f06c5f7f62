// Speed of the passes that run on every step of the time window (counting)
// and of the CSV interchange over a full store.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "core/analysis.h"
#include "core/csv.h"
#include "core/generator.h"
#include "core/query.h"

namespace valdrin {
namespace {

// A full store drawn by the generator over a table where every cell has a
// zip area and a district, with the window over all of it.
std::unique_ptr<AnalysisState> full_store() {
  auto data = std::make_unique<AnalysisState>();
  for (int i = 0; i < kCellCount; ++i)
    data->cells.words[i][0] = make_cell_word(1 + i % 9, 0, false, 1 + i % 80, 0, false);
  generate_events(kStoreCapacity, data->cells, data->random, data->store, data->time);
  window_end(*data) = data->time.last_key;
  return data;
}

std::string scratch(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

void count_all(benchmark::State& state) {
  const auto data = full_store();
  for (auto _ : state) {
    count_state(*data);
    benchmark::DoNotOptimize(data->counts.total);
  }
  state.SetItemsProcessed(state.iterations() * kStoreCapacity);
}
BENCHMARK(count_all);

// The counting pass written the plain way, one mask sub-field after another
// with the generic field readers, over the same store and query as count_all:
// the yardstick for what the folded mask test buys.
void count_naive_pass(const EventStore& store, const Event& query, const TimeState& time,
                      CountTables& counts) {
  clear_counts(counts);
  for (uint32_t i = 0; i < store.count; ++i) {
    const Event& e = store.records[i];
    if (e.key > query.key) break;
    if (e.key < time.window_start) continue;
    bool pass = true;
    for (uint8_t f = 0; f < kQueryFieldCount && pass; ++f) {
      const QueryFieldId id = static_cast<QueryFieldId>(f);
      const uint32_t want = get_query_field(query, id);
      const uint32_t have =
          id == kQueryShift ? (e.key & 3u) : get_field(e, kQueryFields[id].event_field);
      if (want != 0 && want != have) pass = false;
    }
    if (!pass) continue;
    const uint32_t row = get_field(e, kRow), col = get_field(e, kCol);
    if (row < kNoRow && col < kNoCol) ++counts.cells[row * kGridCols + col];
    const uint32_t zip = get_field(e, kZip), council = get_field(e, kCouncil);
    ++counts.zip[zip <= kMaxZipIndex ? zip : 0];
    ++counts.council[council <= kMaxCouncil ? council : 0];
    ++counts.total;
  }
}

void count_naive(benchmark::State& state) {
  const auto data = full_store();
  for (auto _ : state) {
    count_naive_pass(data->store, data->query, data->time, data->counts);
    benchmark::DoNotOptimize(data->counts.total);
  }
  state.SetItemsProcessed(state.iterations() * kStoreCapacity);
}
BENCHMARK(count_naive);

void count_three_filters(benchmark::State& state) {
  const auto data = full_store();
  set_query_field(data->query, kQueryShift, 2);
  set_query_field(data->query, kQueryOrace, 3);
  set_query_field(data->query, kQuerySage, 4);
  for (auto _ : state) {
    count_state(*data);
    benchmark::DoNotOptimize(data->counts.total);
  }
  state.SetItemsProcessed(state.iterations() * kStoreCapacity);
}
BENCHMARK(count_three_filters);

void import_6000_lines(benchmark::State& state) {
  const std::string path = scratch("valdrin-bench-import.csv");
  {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fputs("YEAR,MONTH,DAY,...\n", file);
    for (int i = 0; i < 6000; ++i)
      std::fprintf(file, "%d,%d,%d,%c,x,%d,%d,%d,SOUTHEAST,Y,1,2,W,M,1,1,B,M,%d,1,%d\n",
                   2000 + i % 32, 1 + i % 12, 1 + i % 28, 'A' + i % 9, i % 66, i % 84, i % 4,
                   10 + i % 70, 77001 + i % 80);
    std::fclose(file);
  }
  auto store = std::make_unique<EventStore>();
  TimeState time;
  for (auto _ : state) {
    import_csv(path.c_str(), *store, time);
    benchmark::DoNotOptimize(store->count);
  }
  std::filesystem::remove(path);
}
BENCHMARK(import_6000_lines)->Unit(benchmark::kMillisecond);

void export_6000_records(benchmark::State& state) {
  const auto data = full_store();
  const std::string path = scratch("valdrin-bench-export.csv");
  for (auto _ : state) benchmark::DoNotOptimize(export_csv(path.c_str(), data->store, data->time));
  std::filesystem::remove(path);
}
BENCHMARK(export_6000_records)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
