// Time keys (calendar steps, date labels both ways) and the counting pass with its resets.
#include "core/query.h"

#include <numeric>

#include "tests/core/test_files.h"

namespace valdrin::query_test {

uint16_t key(int shift, int day, int month, int year) {
  return pack_time_key(static_cast<uint8_t>(shift), static_cast<uint8_t>(day),
                       static_cast<uint8_t>(month), static_cast<uint8_t>(year - 2000));
}

struct Counting : ::testing::Test {
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  TimeState time;
  Event query = initial_query();

  void add(const Event& e) { store->records[store->count++] = e; }
  void count() { count_events(*store, query, time, *counts); }
  uint32_t cell(uint32_t row, uint32_t col) const { return counts->cells[row * kGridCols + col]; }
};

// The window is closed at both ends; the scan stops at the first key past it, even unsorted.
TEST_F(Counting, WindowNoCellCodesWithoutASlotEachMaskFiltersTogetherAndResets) {
  EXPECT_EQ(query.key, kLastValidKey);
  counts->total = 7, counts->cells[5] = 3;
  count();  // an empty store clears what was there
  EXPECT_EQ(counts->total + std::accumulate(counts->cells, counts->cells + kCellCount, 0u), 0u);
  for (int day = 1; day <= 5; ++day) add(test::event_at(key(1, day, 3, 2004), 1, 1, 1, 1));
  add(test::event_at(key(1, 3, 3, 2004), 1, 1, 1, 1));  // unsorted: after day 5
  const std::tuple<uint16_t, uint16_t, uint32_t> cases[] = {
      {key(1, 1, 3, 2004), key(1, 5, 3, 2004), 6},
      {key(1, 2, 3, 2004), key(1, 4, 3, 2004), 3},
      {key(1, 3, 3, 2004), key(1, 3, 3, 2004), 1},
      {key(2, 3, 3, 2004), key(1, 3, 3, 2004), 0},
      {kFirstValidKey, kLastValidKey, 6}};
  for (const auto& [start, end, total] : cases) {
    time.window_start = start;
    query.key = end;
    count();
    EXPECT_EQ(std::tuple(counts->total, cell(1, 1)), std::tuple(total, total))
        << start << " " << end;
  }
  store->count = 0;
  add(test::event_at(0x1000, 66, 10, 3, 2));        // no location: row 66
  add(test::event_at(0x1000, 10, 84, 3, 2));        // no location: col 84
  add(test::event_at(0x1000, 100, 120, 1023, 15));  // beyond every table but the districts'
  add(test::event_at(0x1000, 65, 83, 1000, 9));     // last slots of every table
  add(test::event_at(0x1000, 0, 0, 0, 0));          // not recorded: slot 0
  count();
  EXPECT_EQ(
      std::tuple(counts->total, std::accumulate(counts->cells, counts->cells + kCellCount, 0u),
                 cell(65, 83) + cell(0, 0), counts->zip[3], counts->zip[1000], counts->zip[0],
                 counts->council[2], counts->council[9], counts->council[15], counts->council[0]),
      std::tuple(5u, 2u, 2u, 2u, 1u, 2u, 2u, 1u, 1u, 1u));
  // Each filter admits only its code (0 all), over events whose other fields are nonzero.
  for (int q = 0; q < kQueryFieldCount; ++q) {
    const QueryFieldId field = static_cast<QueryFieldId>(q);
    const QueryField& f = kQueryFields[q];
    SCOPED_TRACE(f.label);
    store->count = 0;
    const uint32_t values = 1u << f.width;
    for (uint32_t v = 0; v < values; ++v) {
      Event e = test::example_event();
      e.incident |= 1;  // reserved bits under the shift: never compared
      field == kQueryShift ? void(e.key = uint16_t((e.key & ~3u) | v))
                           : set_field(e, f.event_field, v);
      add(e);
    }
    sort_store(*store);
    time.window_start = 0;
    query = initial_query();
    query.key = 0xFFFF;
    for (uint32_t item = 0; item < f.item_count; ++item) {
      const uint32_t value = query_item_value(field, item);
      set_query_field(query, field, value);
      count();
      EXPECT_EQ(counts->total, value == 0 ? values : 1u) << "item " << item;
    }
    EXPECT_EQ(get_query_field(query, field), query_item_value(field, f.item_count - 1u));
  }
  // Filters on different words must all agree; list item 6, "Duplicate", is stored as 9.
  store->count = 0, query = initial_query();
  for (uint32_t sage_numo : {22, 29, 82}) {
    Event e = test::example_event();  // Central, 2 officers, age 17-22
    set_field(e, kSage, sage_numo / 10);
    set_field(e, kNumo, sage_numo % 10);
    add(e);
  }
  time.window_start = 0;
  set_query_field(query, kQueryDivision, 2);
  set_query_field(query, kQueryNumo, query_item_value(kQueryNumo, 6));
  count();
  EXPECT_EQ(counts->total, 1u);
  set_query_field(query, kQueryNumo, 0);
  set_query_field(query, kQuerySage, 2);
  count();
  EXPECT_EQ(counts->total, 2u);
  // The window end takes the First key, with Day where it has no shift.
  const uint16_t firsts[][2] = {{0x1084, 0x1085}, {0x1086, 0x1086}, {0x0087, 0x0087}, {0, 1}};
  for (const auto& [first, end] : firsts) {
    time.first_key = first;
    time.window_start = 0x0123;
    reset_window_end(time, query);
    EXPECT_EQ(std::tuple(query.key, time.window_start), std::tuple(end, 0x0123));
  }
  time.first_key = 0x2222;
  for (QueryFieldId f : {kQueryReason, kQueryShift, kQueryOrace}) set_query_field(query, f, 2);
  default_time(time, query);
  EXPECT_EQ(std::tuple(query.key, time.window_start, get_query_field(query, kQueryReason)),
            std::tuple(0x2222, 0x2222, 2u));
  default_query(query);
  EXPECT_EQ(std::tuple(query.incident | query.officer | query.suspect, query.key),
            std::tuple(0u, 0x2222));
}

std::string label(uint16_t k) {
  char text[kDateLabelSize];
  format_time_key(k, text);
  return text;
}

TEST(Calendar, StepsAndDateLabels) {
  // "+level s/d/m/y-2000 to-key result" ('-' back): wraps, 256 is level 0, invalid dates too.
  const char* cases[] = {
      "+0 3/31/12/31 1/1/1/0 0",    "-0 1/1/1/0 3/31/12/31 0",    "+0 2/5/6/10 3/5/6/10 1",
      "+0 3/5/6/10 1/6/6/10 1",     "+0 0/5/6/10 1/6/6/10 1",     "-0 1/5/6/10 3/4/6/10 1",
      "-0 0/5/6/10 3/4/6/10 1",     "+1 2/28/2/3 2/1/3/3 1",      "+1 2/28/2/4 2/29/2/4 1",
      "+1 3/31/12/10 3/1/1/11 1",   "-1 1/1/3/4 1/29/2/4 1",      "-1 1/1/3/5 1/28/2/5 1",
      "-1 0/1/1/5 0/31/12/4 1",     "+2 1/31/1/5 1/28/2/5 1",     "+2 1/31/1/4 1/29/2/4 1",
      "+2 2/15/12/5 2/15/1/6 1",    "-2 1/31/3/4 1/29/2/4 1",     "+3 1/29/2/4 1/28/2/5 1",
      "-3 1/29/2/4 1/28/2/3 1",     "+3 1/10/5/31 1/10/5/0 0",    "-3 1/10/5/0 1/10/5/31 0",
      "+4 1/10/5/10 1/10/5/10 0",   "-255 1/10/5/10 1/10/5/10 0", "+257 1/10/5/10 1/11/5/10 1",
      "+1 1/0/5/10 1/1/5/10 1",     "-1 1/0/5/10 1/30/4/10 1",    "+1 1/30/2/3 1/1/3/3 1",
      "-1 1/30/2/3 1/27/2/3 1",     "+2 1/9/0/10 1/9/1/10 1",     "-2 1/9/0/10 1/9/12/9 1",
      "+2 1/9/13/10 1/9/1/11 1",    "-2 1/31/15/10 1/31/12/10 1", "+1 1/31/14/10 1/1/1/11 1",
      "+3 1/31/13/10 1/31/13/11 1", "+1 0/31/12/15 0/1/1/16 1",   "-1 2/31/12/15 2/30/12/15 1",
      "+2 3/31/12/15 3/31/1/16 1",  "-2 0/31/12/15 0/30/11/15 1", "+3 2/31/12/15 2/31/12/16 1",
      "-3 3/31/12/15 3/31/12/14 1"};
  for (const char* c : cases) {
    char dir;
    unsigned level, from[4], to[4];
    int result;
    ASSERT_EQ(std::sscanf(c, "%c%u %u/%u/%u/%u %u/%u/%u/%u %d", &dir, &level, &from[0], &from[1],
                          &from[2], &from[3], &to[0], &to[1], &to[2], &to[3], &result),
              11);
    uint16_t k = key(from[0], from[1], from[2], 2000 + from[3]);
    EXPECT_EQ(dir == '+' ? step_time_forward(k, level) : step_time_back(k, level), result) << c;
    EXPECT_EQ(k, key(to[0], to[1], to[2], 2000 + to[3])) << c << ": " << label(k);
  }
  EXPECT_EQ(label(pack_time_key(7, 63, 31, 63)), label(0xFFFF));  // each value masked
  EXPECT_EQ(label(0), "-NA-,,0,2000");
  EXPECT_EQ(label(key(2, 30, 9, 2031)), "Evening,September,30,2031");  // the longest: 25
  for (uint32_t k = 0; k <= 0xFFFF; k += 7) {
    if (unpack_time_key(static_cast<uint16_t>(k)).month > 12) continue;  // print as no month
    uint16_t parsed = 0;
    ASSERT_EQ(parse_time_label(label(static_cast<uint16_t>(k)), parsed), 1) << k;
    ASSERT_EQ(parsed, k);
  }
  uint16_t k = 0;
  EXPECT_EQ(std::pair(parse_time_label("night,december,31,2031", k), k),
            std::pair(1, uint16_t(0xFE7F)));
  for (const char* bad : {"", "Day,January,1", "Day,January,1,2000,", "Noon,January,1,2000",
                          "Day,Jan,1,2000", "Day,January,32,2000", "Day,January,1,2032",
                          "Day,January,1,1999", "Day,January,-1,2000", "Day,January, 1,2000"})
    EXPECT_EQ(parse_time_label(bad, k), 0) << bad;
}

}  // namespace valdrin::query_test
