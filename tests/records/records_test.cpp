// The records import: time patterns and shifts, the CSV reader, mapping faults with their
// lines, placement, text tables, incident grouping, rejects, and the sample export round trip.
#include <memory>

#include "core/cell_table.h"
#include "core/store.h"
#include "geo/geo.h"
#include "records/csv_reader.h"
#include "records/import.h"
#include "records/mapping.h"
#include "records/time_pattern.h"
#include "tests/core/test_files.h"
#include "tools/atlas/city.h"
#include "tools/sample/resistance_export.h"

namespace valdrin::records {

const std::string kRoot = VALDRIN_SOURCE_DIR;

// "Y-M-D h:m" of a match, "-" when it fails; no time shows as "Y-M-D".
std::string matched(const std::string& pattern, const std::string& text) {
  DateTime t;
  if (!match_time_pattern(pattern, text, t)) return "-";
  char out[40];
  const int n = std::snprintf(out, sizeof out, "%d-%d-%d", t.year, t.month, t.day);
  if (t.has_time) std::snprintf(out + n, sizeof out - n, " %d:%d", t.hour, t.minute);
  return out;
}

TEST(TimePatterns, EachDirectiveWidthAndTheDatesThatDoNotExist) {
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"%m/%d/%Y %I:%M:%S %p", "01/05/2024 11:32:07 PM", "2024-1-5 23:32"},
      {"%m/%d/%Y %I:%M:%S %p", " 1/5/2024  12:00:00 am ", "2024-1-5 0:0"},
      {"%m/%d/%Y %I:%M:%S %p", "1/5/2024 12:30:00 PM", "2024-1-5 12:30"},
      {"%m/%d/%Y %I:%M:%S %p", "1/5/2024 13:30:00 PM", "-"},
      {"%m/%d/%Y %I:%M:%S %p", "13/5/2024 1:30:00 PM", "-"},
      {"%Y-%m-%dT%H:%M:%S", "2024-02-29T07:00:00", "2024-2-29 7:0"},
      {"%Y-%m-%dT%H:%M:%S", "2023-02-29T07:00:00", "-"},
      {"%Y-%m-%dt%H:%M:%S.%f", "2031-12-31T23:59:59.000", "2031-12-31 23:59"},
      {"%Y-%m-%d %H%M", "2024-03-01 930", "2024-3-1 9:30"},
      {"%Y-%m-%d %H%M", "2024-03-01 0005", "2024-3-1 0:5"},
      {"%Y-%m-%d %H%M", "2024-03-01 2400", "-"},
      {"%d-%b-%y", "5-jan-24", "2024-1-5"},
      {"%d-%b-%y", "05-SEPTEMBER-24", "2024-9-5"},
      {"%d-%b-%y", "05-Sept-24", "-"},
      {"%Y%j", "2024060", "2024-2-29"},
      {"%Y%j", "2023366", "-"},
      {"%Y-%m-%d", "2024-01-05x", "-"},
      {"%Y-%m-%d", "", "-"},
      {"%Y%%%m%%%d", "2024%1%5", "2024-1-5"}};
  for (const auto& [pattern, text, want] : cases) EXPECT_EQ(matched(pattern, text), want) << text;
  std::string error;
  const std::pair<const char*, const char*> faults[] = {{"%m/%d", "no year"},
                                                        {"%Y-%m", "no month and day"},
                                                        {"%Y-%m-%d %I:%M", "%I and %p"},
                                                        {"%Y-%m-%d %H %I %p", "both %H and %I"},
                                                        {"%Y-%m-%d %Q", "unknown directive %Q"},
                                                        {"%Y-%m-%d %", "lone %"}};
  for (const auto& [pattern, want] : faults) {
    EXPECT_EQ(check_time_pattern(pattern, error), 0);
    EXPECT_NE(error.find(want), std::string::npos) << pattern << ": " << error;
  }
  EXPECT_EQ(check_time_pattern("%d-%b-%y %H%M", error), 1);
}

TEST(TimePatterns, ShiftBoundariesAndTheNightAfterMidnight) {
  // time of day -> date label with the default rule, then with nights to the day before.
  const std::tuple<int, int, const char*, const char*> cases[] = {
      {0, 0, "Night,March,1,2024", "Night,February,29,2024"},
      {6, 59, "Night,March,1,2024", "Night,February,29,2024"},
      {7, 0, "Day,March,1,2024", "Day,March,1,2024"},
      {14, 59, "Day,March,1,2024", "Day,March,1,2024"},
      {15, 0, "Evening,March,1,2024", "Evening,March,1,2024"},
      {22, 59, "Evening,March,1,2024", "Evening,March,1,2024"},
      {23, 0, "Night,March,1,2024", "Night,March,1,2024"},
      {-1, 0, "-NA-,March,1,2024", "-NA-,March,1,2024"}};
  for (const auto& [hour, minute, same_day, previous_day] : cases) {
    DateTime t{2024, 3, 1, hour < 0 ? 0 : hour, minute, 0, hour >= 0};
    ShiftRule rule;
    for (const char* want : {same_day, previous_day}) {
      uint16_t key = 0;
      ASSERT_EQ(time_key_of(t, rule, key), 1);
      char label[kDateLabelSize];
      format_time_key(key, label);
      EXPECT_STREQ(label, want) << hour << ":" << minute;
      rule.night_to_previous_day = true;
    }
  }
  uint16_t key = 0;
  ShiftRule early{6 * 60, 14 * 60, 22 * 60, true};
  EXPECT_EQ(time_key_of(DateTime{2024, 3, 1, 6, 0, 0, true}, early, key), 1);
  EXPECT_EQ(key, pack_time_key(1, 1, 3, 24));
  // Nights of New Year's morning 2000 belong to 1999; 2032 is past the keys.
  EXPECT_EQ(time_key_of(DateTime{2000, 1, 1, 2, 0, 0, true}, early, key), 0);
  EXPECT_EQ(time_key_of(DateTime{2032, 1, 1, 12, 0, 0, true}, ShiftRule{}, key), 0);
  EXPECT_EQ(time_key_of(DateTime{1999, 12, 31, 23, 30, 0, true}, ShiftRule{}, key), 0);
}

// Records of `bytes` as "line:field|field" ("!" marks a malformed one), " ; " between.
std::string records_of(const std::string& bytes) {
  std::FILE* file = std::tmpfile();
  std::fwrite(bytes.data(), 1, bytes.size(), file);
  std::rewind(file);
  auto reader = std::make_unique<CsvReader>();
  start_csv(*reader, file);
  std::string out, scratch;
  while (next_csv_record(*reader)) {
    if (!out.empty()) out += " ; ";
    out.append(std::to_string(reader->line)).append(reader->malformed ? "!" : ":");
    for (size_t i = 0; i < reader->fields.size(); ++i)
      out.append(i ? "|" : "").append(csv_field(*reader, i, scratch));
  }
  std::fclose(file);
  return out;
}

TEST(CsvReader, QuotesLineEndsBomBlankLinesAndFaults) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF"
       "a,b\r\n1,2\r\n",
       "1:a|b ; 2:1|2"},
      {"a,\"b,c\",\"say \"\"hi\"\"\"\n", "1:a|b,c|say \"hi\""},
      {"\"two\nlines\",x\n\n3,4", "1:two\nlines|x ; 4:3|4"},
      {"a,,\n,\n\"\"\n", "1:a|| ; 2:| ; 3:"},
      {"1,\"x\"y,2\n3\n", "1!1|x|2 ; 2:3"},
      {"1,\"open\n2,3\n", "1!1|open\n2,3\n"},
      {"a\rb,c\r\n\"d\"\r", "1:a\rb|c ; 2:d"}};
  for (const auto& [bytes, want] : cases) EXPECT_EQ(records_of(bytes), want);
  // Records across many refills of the buffer, and one too long for it, cut at its line's end.
  std::string big;
  for (int i = 0; i < 200000; ++i)
    big += std::to_string(i) + ",\"q,\"\"" + std::to_string(i) + "\"\r\n";
  big += "\"" + std::string(kCsvMaxRecordBytes, 'x') + "\nlast,row\n";
  const std::string all = records_of(big);
  EXPECT_EQ(all.substr(0, 24), "1:0|q,\"0 ; 2:1|q,\"1 ; 3:");
  const std::string tail = " ; 200000:199999|q,\"199999 ; 200001! ; 200002:last|row";
  EXPECT_EQ(all.substr(all.size() - tail.size()), tail);
  std::string field;
  append_csv_field(field, "plain");
  append_csv_field(field, "a,\"b\"");
  EXPECT_EQ(field, "plain\"a,\"\"b\"\"\"");
}

// A small mapping over map x/y; `extra` is appended.
std::string mapping_text(const std::string& extra = "") {
  return "[time]\ncolumns = [\"DATE\", \"TIME\"]\nformat = [\"%m/%d/%Y %H%M\", \"%m/%d/%Y\"]\n"
         "[place]\nx = \"X\"\ny = \"Y\"\n" +
         extra;
}

TEST(Mapping, EachFaultNamesItsKeyAndLine) {
  const std::pair<std::string, std::string> cases[] = {
      {"[time]\ncolumn = \"A\"\nformat = \"%Q\"\n[place]\nrow = \"R\"\ncol = \"C\"\n",
       "m.toml:3: time.format: \"%Q\": unknown directive %Q"},
      {mapping_text("[fields.orace]\ncolumn = \"R\"\n[fields.orace.table]\nW = \"White\"\n"
                    "P = \"Purple\"\n"),
       "m.toml:11: fields.orace.table.P: unknown value \"Purple\" (one of Asian, Black, Hispanic, "
       "White, or a code)"},
      {mapping_text("[fields.sage]\ncolumn = \"A\"\ntable = { x = 32 }\n"),
       "m.toml:9: fields.sage.table.x: code 32 is outside 0-31"},
      {mapping_text("[fields.race]\ncolumn = \"R\"\n"), "m.toml:7: fields.race: unknown field"},
      {mapping_text("[fields.orace]\ncolum = \"R\"\n"),
       "m.toml:8: fields.orace.colum: unknown key"},
      {mapping_text("[incident]\nofficer_id = \"O\"\n"), "m.toml:7: incident.column: missing"},
      {mapping_text("[time.x]\n"), "m.toml:7: time.x: unknown key"},
      {"[time]\ncolumn = \"A\"\nformat = \"%Y%j\"\nnight = \"14:00\"\n[place]\nrow = \"R\"\n"
       "col = \"C\"\n",
       "m.toml:1: time: the shifts must begin in the order day, evening, night"},
      {"[time]\ncolumn = \"A\"\nformat = \"%Y%j\"\nday = \"7am\"\n",
       "m.toml:4: time.day: must be a time of day as \"HH:MM\""},
      {mapping_text() + "[place]\n", "m.toml:7: "},  // toml++: the table defined twice
      {"[time]\ncolumn = \"A\"\nformat = \"%Y%j\"\n[place]\nlongitude = \"L\"\n",
       "m.toml:4: place.latitude: missing: it goes with place.longitude"},
      {"[time]\ncolumn = \"A\"\nformat = \"%Y%j\"\n[place]\nrow = \"R\"\ncol = \"C\"\nx = \"X\"\n"
       "y = \"Y\"\n",
       "m.toml:4: place: give one of"},
      {"title = 3\n", "m.toml:1: title: unknown key"},
      {"[place]\nrow = \"R\"\ncol = \"C\"\n", "m.toml:1: time: missing"}};
  for (const auto& [text, want] : cases) {
    Mapping m;
    std::string error;
    EXPECT_EQ(parse_mapping(text, "m.toml", m, error), 0);
    EXPECT_EQ(error.substr(0, want.size()), want) << text;
  }
  Mapping m;
  std::string error;
  ASSERT_EQ(parse_mapping(mapping_text("[fields.orace]\ncolumn = \" Officer  Race \"\n"), "m.toml",
                          m, error),
            1)
      << error;
  EXPECT_EQ(resolve_columns(m, {"date", "Time", "x", "y", "OFFICER RACE"}, error), 1) << error;
  EXPECT_EQ(m.fields[kOrace].columns[0].index, 4);
  EXPECT_EQ(resolve_columns(m, {"date", "Time", "x", "y"}, error), 0);
  EXPECT_EQ(error,
            "m.toml:8: fields.orace.column: no column \" Officer  Race \" in the export's header");
}

struct Import : ::testing::Test {
  test::ScratchDir dir;
  ImportRequest request{dir.path("in.csv"), dir.path("out.vdr"), dir.path("m.toml"),
                        dir.path("rejects.csv"), kRoot + "/data"};
  ImportSummary summary;
  std::string error;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();

  int run(const std::string& csv, const std::string& mapping) {
    test::write_file(request.csv_path, csv);
    test::write_file(request.mapping_path, mapping);
    const int ok = import_records(request, summary, error);
    TimeState time;
    if (ok) read_records(request.out_path.c_str(), *store, time);
    return ok;
  }
};

// The shipped grid: 250 m cells from (260000, 3285000), row 0 along the south edge.
TEST_F(Import, PlacesCodesGroupsAndRejectsRowsAndSaysWhy) {
  const std::string mapping = mapping_text(
      "[incident]\ncolumn = \"NO\"\nofficer_id = \"OFFICER\"\n"
      "[fields.orace]\ncolumn = \"RACE\"\ntable = { w = \"White\", Caucasian = 4 }\n"
      "[fields.sage]\ncolumn = \"AGE\"\nyears = true\n"
      "[fields.injury]\ncolumns = [\"OI\", \"SI\"]\ntable = { \"y|n\" = \"Officer\" }\n");
  const std::string csv =
      "NO,DATE,TIME,X,Y,OFFICER,RACE,AGE,OI,SI\r\n"
      "1,03/01/2024,0700,270500,3293250,7,W,17,Y,N\r\n"           // on the corner of cell (33, 42)
      "2,03/01/2024,659,270499.99,3293249.99,8, white ,16,,\r\n"  // just inside (32, 41)
      "1,03/09/2024,1200,0,0,9,Asian,50,N,N\r\n"                  // joins 1: another officer
      "3,03/01/2024,2300,270500,3293250,,Caucasian,Unknown,,\r\n"
      "4,03/01/2024,,270500,3293250,,WHITE,76,,\r\n"    // no time: shift not recorded
      "5,03/01/2024,,270500,3293250,,Purple,x,Y,Y\r\n"  // unknown texts -> 0, counted
      "1,,,,,7,,,,\r\n"                                 // officer 7 again
      "6,,,270500,3293250,,,,,\r\n"
      "7,02/30/2024,1200,270500,3293250,,,,,\r\n"
      "8,12/31/1999,1200,270500,3293250,,,,,\r\n"
      "9,03/01/2024,1200,,3293250,,,,,\r\n"
      "10,03/01/2024,1200,east,3293250,,,,,\r\n"
      "11,03/01/2024,1200,281000,3293250,,,,,\r\n"  // the east edge lies outside
      "12,03/01/2024,1200,260010,3285010,,,,,\r\n"  // cell (0, 0): outside the city
      "13,03/01/2024,1200,270500\r\n"
      "2,03/01/2024,1200,270500,3293250,8,,,,\r\n";  // officer 8 again: still one
  ASSERT_EQ(run(csv, mapping), 1) << error;
  EXPECT_EQ(summary.rows, 16u);
  EXPECT_EQ(summary.grouped, 3u);
  EXPECT_EQ(summary_text(summary),
            "rows read: 16\nevents written: 5\nrows joined to an incident begun earlier: 3\n"
            "rows rejected: 8\n  malformed: 1\n  no_date: 1\n  bad_date: 1\n  year: 1\n"
            "  no_place: 1\n  bad_place: 1\n  outside_grid: 1\n  outside_city: 1\n"
            "unknown texts, recorded as not recorded:\n  AGE: \"x\" 1\n  OI|SI: \"y|y\" 1\n"
            "  RACE: \"purple\" 1\n");
  // key order: "-NA-" shifts first on March 1, then Day, Night; incident 2 is the night before.
  ASSERT_EQ(store->count, 5u);
  const std::tuple<uint16_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t> want[] = {
      {pack_time_key(0, 1, 3, 24), 33, 42, 4, 0, 0, 0},  // 76 is past the bands
      {pack_time_key(0, 1, 3, 24), 33, 42, 0, 0, 0, 0},
      {pack_time_key(1, 1, 3, 24), 33, 42, 4, 2, 2, 2},
      {pack_time_key(3, 1, 3, 24), 32, 41, 4, 1, 1, 0},
      {pack_time_key(3, 1, 3, 24), 33, 42, 4, 8, 0, 0}};
  for (uint32_t i = 0; i < 5; ++i) {
    const Event& e = store->records[i];
    EXPECT_EQ(std::tuple(e.key, get_field(e, kRow), get_field(e, kCol), get_field(e, kOrace),
                         get_field(e, kSage), get_field(e, kNumo), get_field(e, kInjury)),
              want[i])
        << i;
    EXPECT_NE(get_field(e, kZip), 0u);
  }
  EXPECT_EQ(test::read_file(request.rejects_path),
            "line,reason,row\n"
            "9,no_date,\"6,,,270500,3293250,,,,,\"\n"
            "10,bad_date,\"7,02/30/2024,1200,270500,3293250,,,,,\"\n"
            "11,year,\"8,12/31/1999,1200,270500,3293250,,,,,\"\n"
            "12,no_place,\"9,03/01/2024,1200,,3293250,,,,,\"\n"
            "13,bad_place,\"10,03/01/2024,1200,east,3293250,,,,,\"\n"
            "14,outside_grid,\"11,03/01/2024,1200,281000,3293250,,,,,\"\n"
            "15,outside_city,\"12,03/01/2024,1200,260010,3285010,,,,,\"\n"
            "16,malformed,\"13,03/01/2024,1200,270500\"\n");
}

TEST_F(Import, FaultsOfTheFilesAndTheMappingLeaveNothingWritten) {
  test::write_file(request.out_path, "old");
  EXPECT_EQ(run("DATE,TIME,X,Y\n", mapping_text("[fields.orace]\ncolumn = \"RACE\"\n")), 0);
  EXPECT_EQ(std::tuple(summary.bad_mapping, error),
            std::tuple(true, request.mapping_path + ":8: fields.orace.column: no column \"RACE\" "
                                                    "in the export's header"));
  EXPECT_EQ(run("", mapping_text()), 0);
  EXPECT_EQ(std::tuple(summary.bad_mapping, error),
            std::tuple(false, request.csv_path + " has no header line"));
  request.data_folder = dir.path("none");
  EXPECT_EQ(run("DATE,TIME,X,Y\n", mapping_text()), 0);
  EXPECT_FALSE(summary.bad_mapping);
  request.data_folder = kRoot + "/data";
  request.out_path = dir.path("no/such/folder.vdr");
  EXPECT_EQ(run("DATE,TIME,X,Y\n", mapping_text()), 0);
  EXPECT_EQ(error, "can't write " + request.out_path);
  EXPECT_EQ(test::read_file(dir.path("out.vdr")), "old");
  EXPECT_FALSE(std::filesystem::exists(request.rejects_path));
}

// The shipped export is the generator's, and imports as the sample city, but for the counts
// its shape can't carry (NUMO "Duplicate", NUMS 6-8 come back as one); only its dirty rows fail.
TEST_F(Import, TheSampleExportRoundTrip) {
  auto cells = std::make_unique<CellTable>();
  ASSERT_EQ(init_selection((kRoot + "/data/selections/default.sel").c_str(), *cells), 1);
  std::vector<sample::Incident> incidents;
  ASSERT_EQ(sample::make_sample(atlas::the_city(), *cells, incidents), 1);
  Georeference georeference;
  ASSERT_EQ(read_georeference(kRoot + "/data/georeference.toml", georeference, error), 1);
  std::string text;
  ASSERT_EQ(sample::resistance_export(incidents, *cells, georeference, text, error), 1);
  const std::string shipped = kRoot + "/examples/sample-city-resistance.csv";
  EXPECT_TRUE(text == test::read_file(shipped)) << "run valdrin-sample";
  request.csv_path = shipped;
  request.mapping_path = kRoot + "/examples/sample-city-resistance.toml";
  ASSERT_EQ(import_records(request, summary, error), 1) << error;
  TimeState time;
  ASSERT_EQ(read_records(request.out_path.c_str(), *store, time), 1);
  ASSERT_EQ(store->count, incidents.size());
  int changed = 0;
  for (uint32_t i = 0; i < store->count; ++i) {
    const Event want = sample::imported_event(incidents[i].event);
    changed += test::record_bytes(want) != test::record_bytes(incidents[i].event);
    ASSERT_EQ(test::record_hex(store->records[i]), test::record_hex(want)) << i;
  }
  EXPECT_GT(changed, 100);
  uint64_t rejected = 0;
  for (uint64_t n : summary.rejected) rejected += n;
  EXPECT_EQ(rejected, 10u);
  for (uint64_t n : summary.rejected) EXPECT_GE(n, 1u);
}

}  // namespace valdrin::records
