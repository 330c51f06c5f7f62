// The cell table file, the area rule of a cell, area selection, the report, the cell read-out and
// the Info text.
#include "core/selection.h"

#include <clocale>

#include "core/cell_coverage.h"
#include "core/info_text.h"
#include "core/readout.h"
#include "tests/core/test_files.h"

namespace valdrin::selection_test {

int index(int row, int col) { return row * kGridCols + col; }

std::string selected(const CellTable& table) {  // "row,col row,col ..."
  std::string cells;
  for (int i = 0; i < kCellCount; ++i)
    if (table.words[i][0] & kSelectedBit)
      cells.append(cells.empty() ? "" : " ")
          .append(std::to_string(i / kGridCols) + "," + std::to_string(i % kGridCols));
  return cells;
}

// Districts 3, 5 and zips 10, 11; one cell in two of each, one with second codes' bits clear.
std::unique_ptr<CellTable> districts() {
  auto t = std::make_unique<CellTable>();
  t->words[index(1, 1)][0] = make_cell_word(3, 0, false, 10, 0, false);
  t->words[index(1, 2)][0] = make_cell_word(3, 5, true, 10, 11, true);
  t->words[index(1, 3)][0] = make_cell_word(5, 0, false, 11, 0, false);
  t->words[index(2, 1)][0] = make_cell_word(0, 3, false, 0, 10, false);
  t->words[index(2, 2)][0] = make_cell_word(7, 0, false, 12, 0, false);
  t->words[index(2, 3)][0] = make_cell_word(0, 5, false, 0, 0, false);
  t->words[index(60, 60)][0] |= kSelectedBit;  // an earlier selection
  return t;
}

// "mode row col: result cells" (0 keymap, 1 district, 2 zip); second codes count but the click's.
TEST(Selection, AreasForEachModeAndClickAndTheCellTableFile) {
  const std::string cases =
      "0 40 70: 1 40,70; 0 1 0: 1 1,0; 1 1 1: 1 1,1 1,2 2,1; 1 1 2: 1 1,1 1,2 1,3 2,1 2,3; "
      "1 1 3: 1 1,2 1,3 2,3; 2 1 3: 1 1,2 1,3; 2 1 2: 1 1,1 1,2 1,3 2,1; 1 2 1: 1 ; 2 2 1: 1 ; "
      "1 30 30: 1 ; 3 1 1: 1 ; 7 1 2: 1 ; 0 66 0: 0 60,60; 0 -1 5: 0 60,60; 0 3 84: 0 60,60; "
      "0 3 -1: 0 60,60";
  std::istringstream all(cases);
  for (std::string c; std::getline(all, c, ';');) {
    int mode, row, col, result, used = 0;
    ASSERT_EQ(std::sscanf(c.c_str(), "%d %d %d: %d %n", &mode, &row, &col, &result, &used), 4);
    auto t = districts();
    EXPECT_EQ(select_area(*t, uint8_t(mode), int16_t(row), int16_t(col)), result) << c;
    EXPECT_EQ(selected(*t), c.substr(used)) << c;
  }
  auto t = districts();
  const uint32_t codes = t->words[index(1, 2)][0];
  select_area(*t, kSelectCouncil, 1, 2);
  clear_selection(*t);
  EXPECT_TRUE(selected(*t).empty() && t->words[index(1, 2)][0] == codes);
  // The file: whole entries up to the table's end; a failed load changes nothing.
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::string bytes(kSelectionFileBytes + 100, '\0');
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 1);
  test::write_file(dir.path("long.sel"), bytes);
  auto table = districts();
  ASSERT_EQ(init_selection(dir.path("long.sel").c_str(), *table), 1);
  EXPECT_EQ(0, std::memcmp(table->words, bytes.data(), kSelectionFileBytes));  // little-endian
  bytes.resize(803);  // 100 whole entries and three bytes of another
  test::write_file(dir.path("short.sel"), bytes);
  ASSERT_EQ(init_selection(dir.path("short.sel").c_str(), *table), 1);
  EXPECT_NE(table->words[99][1], 0u);
  for (int i = 100; i < kCellCount; ++i) ASSERT_EQ(table->words[i][0] | table->words[i][1], 0u);
  const uint32_t kept = table->words[5][0];
  EXPECT_EQ(init_selection(dir.path("missing.sel").c_str(), *table), 0);
  EXPECT_EQ(init_selection(dir.root().c_str(), *table), 0);
  EXPECT_EQ(table->words[5][0], kept);
  EXPECT_EQ(recorder.log,
            "ERROR: init_selection(): can't read selection\n"
            "ERROR: init_selection(): can't read selection\n");
}

// A cell's areas from its samples: {count, area} runs laid over the cell in order.
TEST(CellAreas, LargestFirstSecondFromATenthOutsideUnderHalf) {
  struct Case {
    std::vector<std::pair<int, uint32_t>> zips;  // area 0 marks points outside the city
    bool inside;
    uint32_t first, second;
  } cases[] = {{{{100, 7}}, true, 7, 0},
               {{{60, 9}, {40, 4}}, true, 9, 4},
               {{{50, 4}, {50, 9}}, true, 4, 9},            // a tie: the lower number first
               {{{81, 9}, {9, 4}, {10, 5}}, true, 9, 5},    // 9 points are under a tenth
               {{{70, 9}, {15, 4}, {15, 5}}, true, 9, 4},   // two equal seconds: the lower
               {{{50, 0}, {30, 3}, {20, 6}}, true, 3, 6},   // half outside: still the city's
               {{{51, 0}, {49, 3}}, false, 0, 0},           // more than half outside
               {{{20, 3}, {50, 0}, {30, 3}}, true, 3, 0}};  // outside points count for nobody
  for (const Case& c : cases) {
    CellSample samples[kSamplesPerCell];
    int k = 0;
    for (const auto& [n, area] : c.zips)
      for (int i = 0; i < n; ++i, ++k)
        samples[k] = CellSample{area != 0, area, area == 0 ? 0 : area + 1, 0};
    const CellAreas a = cell_areas(samples);
    EXPECT_EQ(a.inside, c.inside) << c.first;
    EXPECT_EQ(a.zip.first * 100 + a.zip.second, c.first * 100 + c.second) << c.first;
    EXPECT_EQ(a.zip.has_second, c.second != 0) << c.first;
    EXPECT_EQ(a.district.first, c.first == 0 ? 0 : c.first + 1) << c.first;
  }
}

struct Report : ::testing::Test {
  std::unique_ptr<CellTable> table = std::make_unique<CellTable>();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  TimeState time;
  Event query = initial_query();
  AreaTable areas;  // empty: the fixed zip rule

  void cell(int row, int col, uint32_t word0, const char (&code)[5]) {
    table->words[index(row, col)][0] = word0;
    table->words[index(row, col)][1] = make_keymap_word(code);
  }
  std::string report(int row, int col) {
    return compose_report(*table, areas, int16_t(row), int16_t(col), *counts, time, query);
  }
};

// Dot keymaps name the position; second codes print with their bits; huge counts get cut.
TEST_F(Report, ReadoutAndLinesForEachKindOfCell) {
  cell(12, 41, make_cell_word(9, 5, true, 3, 4, true), "0493");
  cell(0, 0, make_cell_word(9, 0, false, 3, 0, false), "0493");
  cell(65, 83, 0, "....");
  cell(0, 1, make_cell_word(0, 0, true, 0, 0, true), "\0\0\0\0");
  counts->cells[index(12, 41)] = 7;
  const std::tuple<int, int, const char*> readouts[] = {
      {12, 41,
       "Row 12, Column 41\nEvents: 7\nKeymap 0493\nZip Code 77002\nZip Code 77003\n"
       "Council District I\nCouncil District E"},
      {0, 0, "Row 0, Column 0\nEvents: 0\nKeymap 0493\nZip Code 77002\nCouncil District I"},
      {65, 83, "Row 65, Column 83\nEvents: 0\nKeymap (65, 83)"},
      {0, 1, "Row 0, Column 1\nEvents: 0\nKeymap (0, 1)"},
      {66, 0, ""},
      {0, 84, ""},
      {-1, 3, ""}};
  for (const auto& [row, col, text] : readouts)
    EXPECT_EQ(cell_readout(*table, areas, *counts, int16_t(row), int16_t(col)), text)
        << row << "," << col;
  cell(20, 10, make_cell_word(9, 0, false, 3, 0, false), "0493");
  cell(12, 40, 0, ".\0\0\0");
  cell(5, 5, make_cell_word(2, 4, true, 0, 0, true), "A7\0Z");
  cell(0, 0, make_cell_word(15, 12, true, 1023, 1001, true), "WWWW");
  counts->total = counts->council[4] = 1200;
  counts->cells[index(20, 10)] = 3, counts->zip[3] = 40, counts->zip[0] = 600;
  counts->council[9] = 55, counts->council[2] = 300;
  const std::string head = "From: Day,January,1,2000\r\nTo: Night,December,31,2031\r\n";
  const std::pair<std::pair<int, int>, std::string> cases[] = {
      {{20, 10},
       "Total Events: 1200\r\nKeymap 0493: 3, 0.25%\r\nZip Code 77002: 40, 3.33%\r\n"
       "Council District I: 55, 4.58%\r\n"},
      {{12, 40}, "Total Events: 1200\r\nKeymap (12, 40): 0, 0.00%\r\n"},
      {{6, 6}, "Total Events: 1200\r\nKeymap : 0, 0.00%\r\n"},
      {{5, 5},
       "Total Events: 1200\r\nKeymap A7: 0, 0.00%\r\nZip Code 76999: 600, 50.00%\r\n"
       "Council District B: 300, 25.00%\r\nCouncil District D: 1200, 100.00%\r\n"},
      {{0, 0},
       "Total Events: 1200\r\nKeymap WWWW: 0, 0.00%\r\nZip Code 78022: 0, 0.00%\r\n"
       "Zip Code 78000: 0, 0.00%\r\nCouncil District O: 0, 0.00%\r\n"
       "Council District L: 0, 0.00%\r\n"}};
  for (const auto& [at, lines] : cases)
    EXPECT_EQ(report(at.first, at.second), head + lines) << at.first << "," << at.second;
  time.window_start = query.key = 0x1085, counts->total = 0;
  EXPECT_EQ(report(12, 40),
            "From: Day,January,1,2002\r\nTo: Day,January,1,2002\r\nTotal Events: 0\r\n"
            "Keymap (12, 40): 0, 0.00%\r\n");
  table->words[0][0] = make_cell_word(9, 8, true, 1000, 999, true);
  counts->total = 1;
  counts->cells[0] = counts->zip[1000] = counts->zip[999] = counts->council[9] =
      counts->council[8] = 4294967295u;
  const std::string cut = report(0, 0);
  EXPECT_EQ(cut.size(), kReportSize - 1);
  EXPECT_NE(cut.find("Council District I: 4294967295, 429496729600.00%"), std::string::npos) << cut;
  // A folder's own zip codes print as they are, in the report and the read-out.
  areas.zip_codes = {0, 0, 0, 90210};
  EXPECT_NE(report(20, 10).find("\r\nZip Code 90210: 40, "), std::string::npos);
  EXPECT_NE(cell_readout(*table, areas, *counts, 20, 10).find("\nZip Code 90210\n"),
            std::string::npos);
}

// The viewer runs under the user's locale (Qt sets it); the report still writes '.' as the CLI.
TEST_F(Report, NumbersReadTheSameUnderALocaleWithADecimalComma) {
  cell(30, 20, make_cell_word(3, 0, false, 12, 0, false), "0539");
  counts->total = 183, counts->cells[index(30, 20)] = 2, counts->zip[12] = 91;
  counts->council[3] = 5;
  const std::string expected =
      "From: Day,January,1,2000\r\nTo: Night,December,31,2031\r\nTotal Events: 183\r\n"
      "Keymap 0539: 2, 1.09%\r\nZip Code 77011: 91, 49.73%\r\nCouncil District C: 5, 2.73%\r\n";
  const std::string before = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
      << "the de_DE.UTF-8 locale is missing: run scripts/setup.sh";
  char comma[8];
  std::snprintf(comma, sizeof comma, "%.1f", 1.5);  // the locale is in force
  const std::string german = report(30, 20);
  std::setlocale(LC_ALL, before.c_str());
  EXPECT_EQ(std::tuple(std::string(comma), german), std::tuple(std::string("1,5"), expected));
}

std::string numbered_lines(int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

// At most 198 lines and 52,223 characters stay, the oldest going whole.
TEST(InfoText, AppendsKeepTheNewestLinesWithinBothLimits) {
  InfoText info;
  auto state = [&](size_t head) {  // line count, first `head` characters, last 12
    return std::tuple(info_line_count(info.text), info.text.substr(0, head),
                      info.text.substr(info.text.size() - 12));
  };
  info_append(info, "abc");
  info_append(info, std::string_view("de\0fg", 5));  // a C string ends at its NUL
  EXPECT_EQ(std::tuple(info.text, info_line_count(info.text)), std::tuple("abc\r\nde\r\n", 3u));
  // Six-line reports and their empty lines: 28 whole, and one empty line.
  info_clear(info);
  for (int r = 0; r < 100; ++r) info_append(info, numbered_lines(6 * r, 6));
  EXPECT_EQ(state(12), std::tuple(kInfoMaxLines, "\r\nline 432\r\n", "line 599\r\n\r\n"));
  info_clear(info);  // a report longer than the limit loses its own first lines
  info_append(info, numbered_lines(0, 250));
  EXPECT_EQ(state(9), std::tuple(kInfoMaxLines, "line 54\r\n", "line 249\r\n\r\n"));
  // 150 lines of 400 characters: under the line limit, over the characters.
  for (int i = 0; i < 150; ++i) info_append(info, std::to_string(i % 10) + std::string(398, 'x'));
  EXPECT_TRUE(info.text.size() <= kInfoMaxChars && info.text.size() % 401 == 0) << info.text.size();
  EXPECT_EQ(info.text.substr(info.text.size() - 3), "x\r\n");
  info_append(info, "head" + std::string(60000, 'y') + "tail");  // alone too long: keeps its end
  EXPECT_EQ(std::tuple(info.text.size(), info.text.substr(info.text.size() - 6)),
            std::tuple(kInfoMaxChars, "tail\r\n"));
  info_append(info, "next");
  EXPECT_TRUE(info.text.size() <= kInfoMaxChars && info.text.ends_with("next\r\n"));
  // A failed save makes no folder (what saves write: the shell's and the viewer's tests).
  test::ScratchDir dir;
  EXPECT_EQ(write_info_text(info, dir.path("missing/b.txt").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(dir.path("missing")));
}

}  // namespace valdrin::selection_test
