// The shipped sample incidents: regenerated, imported and loaded byte for
// byte, and shaped like a real department's records (hot spots, night
// shifts, busy weekends, summer peak) so that no regeneration flattens them.
#include "tools/sample/sample_city.h"

#include <chrono>
#include <numeric>

#include "core/csv.h"
#include "core/query.h"
#include "core/store.h"
#include "tests/core/test_files.h"

namespace valdrin::sample::sample_city_test {

const std::string kRoot = VALDRIN_SOURCE_DIR;
const std::string kVdr = kRoot + "/examples/sample-city.vdr";
const std::string kCsv = kRoot + "/examples/sample-city.csv";

TEST(SampleCity, RegeneratesImportsAndLoadsToTheShippedBytes) {
  auto cells = std::make_unique<CellTable>();
  ASSERT_EQ(init_selection((kRoot + "/data/selections/default.sel").c_str(), *cells), 1);
  std::vector<Incident> incidents;
  ASSERT_EQ(make_sample(atlas::the_city(), *cells, incidents), 1);
  test::ScratchDir dir;
  ASSERT_EQ(write_sample(incidents, dir.root()), 1);
  const std::string vdr = test::read_file(kVdr);
  EXPECT_TRUE(test::read_file(dir.path("sample-city.vdr")) == vdr) << "run valdrin-sample";
  EXPECT_TRUE(test::read_file(dir.path("sample-city.csv")) == test::read_file(kCsv));
  // Without zip areas (the selection file unreadable): no incidents nowhere.
  EXPECT_EQ(make_sample(atlas::the_city(), *std::make_unique<CellTable>(), incidents), 0);
  EXPECT_TRUE(incidents.empty());

  // The listing imported is the event file; it runs 2024 to December 2025.
  auto store = std::make_unique<EventStore>();
  TimeState time;
  ASSERT_EQ(import_csv(kCsv.c_str(), *store, time), 1);
  ASSERT_EQ(write_records(dir.path("imported.vdr").c_str(), *store), 1);
  EXPECT_TRUE(test::read_file(dir.path("imported.vdr")) == vdr);
  ASSERT_EQ(read_records(kVdr.c_str(), *store, time), 1);
  ASSERT_EQ(store->count, 6000u);
  EXPECT_TRUE(std::is_sorted(store->records, store->records + store->count,
                             [](const Event& a, const Event& b) { return a.key < b.key; }));
  EXPECT_EQ(time.first_key, pack_time_key(get_field(store->records[0], kShift), 1, 1, 24));
  EXPECT_EQ(time.last_key >> 7, pack_time_key(0, 0, 12, 25) >> 7);  // some day of December 2025

  // The busiest tenth of the cells with a zip area holds over half of the
  // events, and the hottest cell is downtown.
  auto counts = std::make_unique<CountTables>();
  Event query = initial_query();
  query.key = time.last_key;
  count_events(*store, query, time, *counts);
  const auto zip_cells = std::count_if(std::begin(cells->words), std::end(cells->words),
                                       [](const auto& w) { return first_zip(w[0]) != 0; });
  std::vector<uint32_t> per_cell(std::begin(counts->cells), std::end(counts->cells));
  std::sort(per_cell.rbegin(), per_cell.rend());
  EXPECT_GT(std::accumulate(per_cell.begin(), per_cell.begin() + zip_cells / 10, 0u), 3000u);
  const auto hot = std::max_element(std::begin(counts->cells), std::end(counts->cells)) -
                   std::begin(counts->cells);
  EXPECT_TRUE(atlas::is_downtown(atlas::the_city(), hot % kGridCols + 0.5, hot / kGridCols + 0.5));
  // Most in the Evening and Night shifts, Fridays and Saturdays busier than
  // the rest, summer busier than winter.
  using namespace std::chrono;
  double late = 0, weekend = 0, summer = 0, winter = 0;
  for (uint32_t i = 0; i < store->count; ++i) {
    const TimeFields t = unpack_time_key(store->records[i].key);
    const weekday w{sys_days{year_month_day{year{2000 + t.year}, month{t.month}, day{t.day}}}};
    late += get_field(store->records[i], kShift) >= 2;
    weekend += w == Friday || w == Saturday;
    summer += t.month - 6u < 3u, winter += t.month % 12u < 3u;
  }
  EXPECT_TRUE(late > 0.6 * 6000 && weekend > 6000 * 2.0 / 7 * 1.15 && summer > winter * 1.25)
      << late << " " << weekend << " " << summer << " " << winter;
}

}  // namespace valdrin::sample::sample_city_test
