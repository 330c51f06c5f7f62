// Speed of the passes that run on every step of the time window (counting)
// and of the CSV interchange over a full store.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/analysis.h"
#include "core/csv.h"
#include "core/generator.h"
#include "core/hotspots.h"
#include "core/query.h"
#include "core/time_key.h"

namespace valdrin {
namespace {

// A store of `n` records drawn by the generator over a table where every
// cell has a zip area and a district, with the window over all of it. Past
// the generator's 6000 the drawn keys are stretched over the store, each
// n / 6000 times in a row, so it stays in key order, and each record takes
// its place and attributes from a drawn record far from the last one's, so
// the cells take turns as in real data.
std::unique_ptr<AnalysisState> full_store(uint32_t n = kGenerateCapacity) {
  auto data = std::make_unique<AnalysisState>();
  for (int i = 0; i < kCellCount; ++i)
    data->cells.words[i][0] = make_cell_word(1 + i % 9, 0, false, 1 + i % 80, 0, false);
  generate_events(kGenerateCapacity, data->cells, data->random, data->store, data->time);
  if (n > kGenerateCapacity) {
    const std::vector<Event> drawn(data->store.records, data->store.records + kGenerateCapacity);
    for (uint32_t i = 0; i < n; ++i)
      data->store.records[i] = drawn[uint64_t{i} * 7919 % kGenerateCapacity],
      data->store.records[i].key = drawn[uint64_t{i} * kGenerateCapacity / n].key;
    data->store.count = n;
  }
  window_end(*data) = data->time.last_key;
  return data;
}

constexpr uint32_t kDepartment = kStoreCapacity;  // a large department's years: 1,048,576

std::string scratch(const char* name) {
  return (std::filesystem::temp_directory_path() / name).string();
}

// The window over the whole store; Arg: the store's size.
void count_all(benchmark::State& state) {
  const auto data = full_store(static_cast<uint32_t>(state.range(0)));
  for (auto _ : state) {
    count_state(*data);
    benchmark::DoNotOptimize(data->counts.total);
  }
  state.SetItemsProcessed(state.iterations() * data->store.count);
}
BENCHMARK(count_all)->Arg(kGenerateCapacity)->Arg(kDepartment)->Unit(benchmark::kMicrosecond);

// Loading a .vdr file of a full store (16 MB), from the page cache.
void load_vdr_full_store(benchmark::State& state) {
  const auto data = full_store(kDepartment);
  const std::string path = scratch("valdrin_bench_full.vdr");
  write_records(path.c_str(), data->store);
  auto store = std::make_unique<EventStore>();
  TimeState time;
  for (auto _ : state) benchmark::DoNotOptimize(read_records(path.c_str(), *store, time));
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * kDepartment);
}
BENCHMARK(load_vdr_full_store)->Unit(benchmark::kMillisecond);

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
  state.SetItemsProcessed(state.iterations() * data->store.count);
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
  state.SetItemsProcessed(state.iterations() * data->store.count);
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
    import_csv(path.c_str(), *store, time, AreaTable{});
    benchmark::DoNotOptimize(store->count);
  }
  std::filesystem::remove(path);
}
BENCHMARK(import_6000_lines)->Unit(benchmark::kMillisecond);

void export_6000_records(benchmark::State& state) {
  const auto data = full_store();
  const std::string path = scratch("valdrin-bench-export.csv");
  for (auto _ : state)
    benchmark::DoNotOptimize(export_csv(path.c_str(), data->store, data->time, AreaTable{}));
  std::filesystem::remove(path);
}
BENCHMARK(export_6000_records)->Unit(benchmark::kMillisecond);

// Gi* of every cell of the full store's year, by summed-area tables, and the
// same written the plain way (a loop over each cell's neighbours), in one run
// so that the ratio reads off the two lines.
std::unique_ptr<AnalysisState> counted_city() {
  auto data = full_store();
  count_state(*data);
  return data;
}

void hot_spots_summed_area(benchmark::State& state) {
  const auto data = counted_city();
  auto hot = std::make_unique<HotSpots>();
  for (auto _ : state) {
    compute_hot_spots(data->counts.cells, data->cells, static_cast<int>(state.range(0)), true,
                      *hot);
    benchmark::DoNotOptimize(hot->z[0]);
  }
}
BENCHMARK(hot_spots_summed_area)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

void hot_spots_plain_loop(benchmark::State& state) {
  const auto data = counted_city();
  std::vector<double> z(kCellCount);
  const uint32_t* x = data->counts.cells;
  for (auto _ : state) {
    double n = 0, sum = 0, sum_sq = 0;
    for (int i = 0; i < kCellCount; ++i)
      if (first_zip(data->cells.words[i][0]) != 0)
        n += 1, sum += x[i], sum_sq += double(x[i]) * x[i];
    const double mean = sum / n, s = std::sqrt(sum_sq / n - mean * mean);
    for (int i = 0; i < kCellCount; ++i) {
      double wx = 0, w = 0;
      const int d = static_cast<int>(state.range(0));
      for (int dr = -d; dr <= d; ++dr)
        for (int dc = -d; dc <= d; ++dc) {
          const int r = i / kGridCols + dr, c = i % kGridCols + dc;
          if (r < 0 || r >= kGridRows || c < 0 || c >= kGridCols) continue;
          if (first_zip(data->cells.words[r * kGridCols + c][0]) == 0) continue;
          wx += x[r * kGridCols + c], w += 1;
        }
      z[i] = (wx - mean * w) / (s * std::sqrt((n * w - w * w) / (n - 1)));
    }
    std::vector<double> p(z.size());
    for (size_t i = 0; i < z.size(); ++i) p[i] = two_sided_p(z[i]);
    std::sort(p.begin(), p.end());
    const int count = static_cast<int>(p.size());
    for (double level : {0.10, 0.05, 0.01})
      benchmark::DoNotOptimize(fdr_cut(p.data(), count, count, level));
  }
}
BENCHMARK(hot_spots_plain_loop)->Arg(1)->Arg(3)->Unit(benchmark::kMicrosecond);

// The window against the one before it: the base window, its counting pass
// and every cell's class; and the same with a scan of the whole store per
// cell, the plain way.
void compare_windows(benchmark::State& state) {
  const auto data = counted_city();
  data->colouring = kColourByChange;
  data->time.window_start = data->time.last_key;
  for (int k = 0; k < 90; ++k) step_time_back(data->time.window_start, kStepShift);
  count_state(*data);
  for (auto _ : state) {
    analyse_state(*data);
    benchmark::DoNotOptimize(data->cell_class[0]);
  }
}
BENCHMARK(compare_windows)->Unit(benchmark::kMicrosecond);

void compare_plain_loop(benchmark::State& state) {
  const auto data = counted_city();
  uint16_t start = data->time.last_key, base_start = 0, base_end = 0;
  for (int k = 0; k < 90; ++k) step_time_back(start, kStepShift);
  base_window(start, data->time.last_key, base_start, base_end);
  std::vector<int8_t> classes(kCellCount);
  for (auto _ : state) {
    std::vector<uint32_t> now(kCellCount, 0), before(kCellCount, 0);
    for (uint32_t i = 0; i < data->store.count; ++i) {
      const Event& e = data->store.records[i];
      const uint32_t cell = get_field(e, kRow) * kGridCols + get_field(e, kCol);
      if (cell >= kCellCount) continue;
      if (e.key >= start && e.key <= data->time.last_key) ++now[cell];
      if (e.key >= base_start && e.key <= base_end) ++before[cell];
    }
    for (int i = 0; i < kCellCount; ++i)
      classes[i] = static_cast<int8_t>(change_class(change_z(now[i], before[i])));
    benchmark::DoNotOptimize(classes.data());
  }
}
BENCHMARK(compare_plain_loop)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
