// The generator's draw sequence, against small hand-built cell tables. A
// table without any zip area is the file commands' case.
#include "core/generator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <tuple>
#include <utility>

#include "core/time_key.h"
#include "tests/core/example_event.h"

namespace valdrin {
namespace {

// Zips 7-11 and district 3 everywhere but in row 0, which has no zip.
std::unique_ptr<CellTable> city() {
  auto table = std::make_unique<CellTable>();
  std::memset(table.get(), 0, sizeof *table);
  for (int i = kGridCols; i < kCellCount; ++i)
    table->words[i][0] = make_cell_word(3, 0, false, 7 + static_cast<uint32_t>(i % 5), 0, false);
  return table;
}

// The first draws, and the first record byte for byte: the shift's spare
// bits stay clear, high bits of the draws stay.
TEST(Generator, FirstDrawsAndTheFirstRecord) {
  RandomState random;
  for (uint32_t value : {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464})
    EXPECT_EQ(draw_random(random), value);
  auto table = city();
  for (auto& entry : table->words) entry[0] = make_cell_word(4, 0, false, 12, 0, false);
  random = RandomState{};
  auto store = std::make_unique<EventStore>();
  TimeState time;
  ASSERT_EQ(generate_events(1, *table, random, *store, time), 1);
  ASSERT_EQ(store->count, 1u);
  EXPECT_EQ(test::record_hex(store->records[0]), "6E 63 00 00 A9 1A 03 04 34 01 02 12 20 30 68 00");
}

// Replays the draws the generator must have made: two per cell tried, eight
// more per accepted record; checks every record's placement and ranges.
TEST(Generator, DrawCountPlacementAndRanges) {
  const auto table = city();
  RandomState random;
  auto store = std::make_unique<EventStore>();
  TimeState time;
  ASSERT_EQ(generate_events(kGenerateCount, *table, random, *store, time), 1);
  ASSERT_EQ(store->count, kGenerateCount);
  RandomState replay;
  uint32_t rejected = 0;
  for (uint32_t i = 0; i < kGenerateCount; ++i) {
    for (;;) {
      const uint32_t col = draw_random(replay) % 84;
      if (first_zip(table->words[(draw_random(replay) % 66) * 84 + col][0]) != 0) break;
      ++rejected;
    }
    for (int d = 0; d < 8; ++d) draw_random(replay);
  }
  EXPECT_EQ(replay.s, random.s);
  EXPECT_GT(rejected, 0u);
  bool row_65 = false;
  for (uint32_t i = 0; i < store->count; ++i) {
    const Event& e = store->records[i];
    const uint32_t row = get_field(e, kRow), col = get_field(e, kCol);
    ASSERT_LT(row, 66u);
    ASSERT_LT(col, 84u);
    row_65 = row_65 || row == 65;
    const uint32_t word0 = table->words[row * 84 + col][0];
    EXPECT_EQ(std::pair(get_field(e, kZip), get_field(e, kCouncil)),
              std::pair(first_zip(word0), first_council(word0)));
    const TimeFields t = unpack_time_key(e.key);
    EXPECT_TRUE(t.day >= 1 && t.day <= kDaysPerMonth[t.month]) << i;  // never February 29
    EXPECT_LE(store->records[i > 0 ? i - 1 : 0].key, e.key);
    for (const auto& [field, end] :
         {std::pair{kDivision, 20u}, {kNumo, 6u}, {kNums, 10u}, {kSage, 9u}, {kReason, 7u}})
      EXPECT_LT(get_field(e, field), end) << kFields[field].name;
  }
  EXPECT_TRUE(row_65);
  EXPECT_EQ(std::tuple(time.first_key, time.last_key, time.window_start),
            std::tuple(store->records[0].key, store->records[kGenerateCount - 1].key,
                       store->records[0].key));
  ASSERT_EQ(generate_events(7000, *table, random, *store, time), 1);  // capped
  EXPECT_EQ(store->count, kStoreCapacity);
}

}  // namespace
}  // namespace valdrin
