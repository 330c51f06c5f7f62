// Loading the cell table, area selection and the Statistics report.
#include "core/selection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tests/core/test_files.h"

namespace valdrin {
namespace {

int index(int row, int col) { return row * kGridCols + col; }

std::unique_ptr<CellTable> empty_table() {
  auto table = std::make_unique<CellTable>();
  std::memset(table.get(), 0, sizeof *table);
  return table;
}

std::vector<int> selected(const CellTable& table) {
  std::vector<int> cells;
  for (int i = 0; i < kCellCount; ++i)
    if (table.words[i][0] & kSelectedBit) cells.push_back(i);
  return cells;
}

// A small district map: districts 3 and 5 and zips 10 and 11 over a few
// cells, one cell in two districts and two zips.
std::unique_ptr<CellTable> districts() {
  auto t = empty_table();
  t->words[index(1, 1)][0] = make_cell_word(3, 0, false, 10, 0, false);
  t->words[index(1, 2)][0] = make_cell_word(3, 5, true, 10, 11, true);  // on both boundaries
  t->words[index(1, 3)][0] = make_cell_word(5, 0, false, 11, 0, false);
  t->words[index(2, 1)][0] = make_cell_word(0, 3, false, 0, 10, false);  // second codes, bits clear
  t->words[index(2, 2)][0] = make_cell_word(7, 0, false, 12, 0, false);
  return t;
}

TEST(Selection, KeymapSelectsTheClickedCellAlone) {
  auto t = districts();
  ASSERT_EQ(select_area(*t, kSelectZip, 1, 1), 1);
  EXPECT_EQ(selected(*t).size(), 3u);
  ASSERT_EQ(select_area(*t, kSelectKeymap, 40, 70), 1);
  EXPECT_EQ(selected(*t), std::vector<int>{index(40, 70)});
}

TEST(Selection, CouncilAndZipAreas) {
  struct Case {
    uint8_t mode;
    int row, col;
    std::vector<int> cells;
  };
  const Case cases[] = {
      // District 3: its own cells, and cells that hold 3 as a second code
      // whatever their present bit says.
      {kSelectCouncil, 1, 1, {index(1, 1), index(1, 2), index(2, 1)}},
      // Districts 3 and 5 through the second-district bit.
      {kSelectCouncil, 1, 2, {index(1, 1), index(1, 2), index(1, 3), index(2, 1)}},
      {kSelectCouncil, 1, 3, {index(1, 2), index(1, 3)}},
      {kSelectZip, 1, 3, {index(1, 2), index(1, 3)}},
      {kSelectZip, 1, 2, {index(1, 1), index(1, 2), index(1, 3), index(2, 1)}},
      // Second codes of the clicked cell count only with their bit.
      {kSelectCouncil, 2, 1, {}},
      {kSelectZip, 2, 1, {}},
      // A cell without codes, and modes 3-7, select nothing.
      {kSelectCouncil, 30, 30, {}},
      {3, 1, 1, {}},
      {7, 1, 2, {}},
  };
  for (const Case& c : cases) {
    auto t = districts();
    t->words[index(60, 60)][0] |= kSelectedBit;  // an earlier selection
    ASSERT_EQ(select_area(*t, c.mode, static_cast<int16_t>(c.row), static_cast<int16_t>(c.col)), 1);
    EXPECT_EQ(selected(*t), c.cells) << int(c.mode) << " " << c.row << "," << c.col;
  }
}

TEST(Selection, OutsideTheGridChangesNothingAndClearClearsAll) {
  auto t = districts();
  select_area(*t, kSelectCouncil, 1, 2);
  EXPECT_EQ(select_area(*t, kSelectKeymap, 66, 0), 0);
  EXPECT_EQ(select_area(*t, kSelectKeymap, -1, 5), 0);
  EXPECT_EQ(select_area(*t, kSelectKeymap, 3, 84), 0);
  EXPECT_EQ(selected(*t).size(), 4u);
  const uint32_t codes = t->words[index(1, 2)][0];
  clear_selection(*t);
  EXPECT_TRUE(selected(*t).empty());
  EXPECT_EQ(t->words[index(1, 2)][0], codes & ~kSelectedBit);
}

class Report : public ::testing::Test {
 protected:
  std::unique_ptr<CellTable> table = empty_table();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  TimeState time;
  Event query = initial_query();

  void SetUp() override { clear_counts(*counts); }
  std::string report(int row, int col) {
    return compose_report(*table, static_cast<int16_t>(row), static_cast<int16_t>(col), *counts,
                          time, query);
  }
};

TEST_F(Report, TheSixLineExample) {
  const char code[4] = {'0', '4', '9', '3'};
  table->words[index(20, 10)][0] = make_cell_word(9, 0, false, 3, 0, false);
  table->words[index(20, 10)][1] = make_keymap_word(code);
  counts->total = 1200;
  counts->cells[index(20, 10)] = 3;
  counts->zip[3] = 40;
  counts->council[9] = 55;
  EXPECT_EQ(report(20, 10),
            "From: Day,January,1,2000\r\n"
            "To: Night,December,31,2031\r\n"
            "Total Events: 1200\r\n"
            "Keymap 0493: 3, 0.25%\r\n"
            "Zip Code 77002: 40, 3.33%\r\n"
            "Council District I: 55, 4.58%\r\n");
}

TEST_F(Report, DotKeymapShowsTheGridPosition) {
  const char code[4] = {'.', 0, 0, 0};
  table->words[index(12, 40)][1] = make_keymap_word(code);
  time.window_start = 0x1085;
  query.key = 0x1085;
  EXPECT_EQ(report(12, 40),
            "From: Day,January,1,2002\r\nTo: Day,January,1,2002\r\nTotal Events: 0\r\n"
            "Keymap (12, 40): 0, 0.00%\r\n");
}

TEST_F(Report, EmptyTableAndSecondCodes) {
  EXPECT_NE(report(5, 5).find("Keymap : 0, 0.00%\r\n"), std::string::npos);
  // Second zip bit with index 0: zip code 76999 and slot 0's count. A short
  // keymap code ends at its first zero byte.
  const char code[4] = {'A', '7', 0, 'Z'};
  table->words[index(5, 5)][0] = make_cell_word(2, 4, true, 0, 0, true);
  table->words[index(5, 5)][1] = make_keymap_word(code);
  counts->total = 8;
  counts->zip[0] = 2;
  counts->council[2] = 4;
  counts->council[4] = 8;
  const std::string text = report(5, 5);
  EXPECT_NE(text.find("Keymap A7: 0, 0.00%\r\nZip Code 76999: 2, 25.00%\r\n"
                      "Council District B: 4, 50.00%\r\nCouncil District D: 8, 100.00%\r\n"),
            std::string::npos)
      << text;
}

TEST_F(Report, CodesWithoutACounterPrintZeroAndTheTextIsCut) {
  const char code[4] = {'W', 'W', 'W', 'W'};
  table->words[0][0] = make_cell_word(15, 12, true, 1023, 1001, true);
  table->words[0][1] = make_keymap_word(code);
  counts->total = 4000000000u;
  const std::string text = report(0, 0);
  EXPECT_NE(text.find("Zip Code 78022: 0, 0.00%\r\nZip Code 78000: 0, 0.00%\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("Council District O: 0, 0.00%\r\n"), std::string::npos);

  // Counts far above the total make lines long enough to pass the limit.
  table->words[0][0] = make_cell_word(9, 8, true, 1000, 999, true);
  counts->total = 1;
  counts->cells[0] = counts->zip[1000] = counts->zip[999] = 4294967295u;
  counts->council[9] = counts->council[8] = 4294967295u;
  const std::string cut = report(0, 0);
  EXPECT_EQ(cut.size(), kReportSize - 1);
  EXPECT_EQ(cut.substr(0, 24), "From: Day,January,1,2000");
  EXPECT_NE(cut.find("Council District I: 4294967295, 429496729600.00%"), std::string::npos) << cut;
}

TEST(CellTableFile, FullShortMissingAndTooLong) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::vector<uint8_t> bytes(kSelectionFileBytes + 100, 0);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
  // Row 12, column 40 is the entry at byte offset 8,384.
  bytes[8384] = 0x11;
  bytes[8385] = 0x22;
  bytes[8386] = 0x33;
  bytes[8387] = 0x44;
  test::write_file(dir.path("long.sel"), bytes);
  auto table = empty_table();
  ASSERT_EQ(init_selection(dir.path("long.sel").c_str(), *table), 1);
  EXPECT_EQ(table->words[index(12, 40)][0], 0x44332211u);
  const uint8_t* last = bytes.data() + (kCellCount - 1) * 8 + 4;
  EXPECT_EQ(table->words[kCellCount - 1][1],
            last[0] | (last[1] << 8) | (last[2] << 16) | (static_cast<uint32_t>(last[3]) << 24));

  bytes.resize(803);  // 100 whole entries and three bytes of another
  test::write_file(dir.path("short.sel"), bytes);
  ASSERT_EQ(init_selection(dir.path("short.sel").c_str(), *table), 1);
  EXPECT_NE(table->words[99][1], 0u);
  EXPECT_EQ(table->words[100][0], 0u);
  EXPECT_EQ(table->words[index(1, 15)][0], table->words[99][0]);
  for (int i = 100; i < kCellCount; ++i) ASSERT_EQ(table->words[i][0] | table->words[i][1], 0u);
  EXPECT_TRUE(recorder.messages.empty());

  const uint32_t kept = table->words[5][0];
  EXPECT_EQ(init_selection(dir.path("missing.sel").c_str(), *table), 0);
  EXPECT_EQ(init_selection(dir.root().c_str(), *table), 0);
  EXPECT_EQ(table->words[5][0], kept);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[0].first, "ERROR");
  EXPECT_EQ(recorder.messages[0].second, "init_selection(): can't read selection");
}

}  // namespace
}  // namespace valdrin
