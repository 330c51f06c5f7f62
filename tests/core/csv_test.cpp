// CSV export and import, byte for byte.
#include "core/csv.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/core/example_event.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

constexpr const char* kHeader =
    "SHIFT,MONTH,DAY,YEAR,COL,ROW,ZIP,COUNCIL,DIVISION,SUCCESSFUL,INJURY,NUMO,ORACE,OGENDER,"
    "RESPONSE,NUMS,SRACE,SGENDER,SAGE,REASON\n";
constexpr const char* kExampleExport =
    "Day,January,1,2000,10,20,77002,B,Central,Yes,None,2,White,Male,Dispatched,1,Black,Male,17-22,"
    "Combat/Resist\n";
constexpr const char* kExampleImport = "2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002";

std::string export_line(const Event& e) {
  char line[kCsvLineSize];
  const size_t n = format_csv_event(e, line);
  return std::string(line, n);
}

class CsvFiles : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;

  // Imports `text` (header line added) and returns 1 or 0 as import_csv does.
  int import(const std::string& body, const std::string& header = "year,month,...\n") {
    test::write_file(dir.path("in.csv"), header + body);
    return import_csv(dir.path("in.csv").c_str(), *store, time);
  }
  Event only_record() {
    EXPECT_EQ(store->count, 1u);
    return store->records[0];
  }
};

TEST(CsvExport, ExampleLine) { EXPECT_EQ(export_line(test::example_event()), kExampleExport); }

TEST(CsvExport, SpellingsAndUnlabelledCodes) {
  struct Case {
    FieldId field;
    uint32_t code;
    const char* text;
  };
  const Case cases[] = {
      {kDivision, 16, "Swat"}, {kDivision, 19, "XJob"}, {kDivision, 4, "Travis"},
      {kDivision, 0, "-NA-"},  {kDivision, 20, "-NA-"}, {kSage, 8, "UNKNOWN"},
      {kSage, 1, "<= 16"},     {kSage, 9, "-NA-"},      {kNums, 5, "5"},
      {kNums, 6, "-NA-"},      {kNums, 7, "-NA-"},      {kNums, 8, "-NA-"},
      {kNumo, 9, "Duplicate"}, {kNumo, 6, "-NA-"},      {kResponse, 3, "Duplicate"},
      {kSrace, 6, "Officer"},  {kSgender, 3, "Dog"},    {kReason, 6, "Accident"},
      {kReason, 0, "-NA-"},    {kCouncil, 9, "I"},      {kCouncil, 0, "-NA-"},
      {kCouncil, 10, "-NA-"},  {kZip, 0, "-NA-"},       {kZip, 1023, "78022"},
      {kSuccessful, 1, "No"},  {kInjury, 4, "Both"},    {kOgender, 2, "Female"},
  };
  for (const Case& c : cases) {
    Event e = test::example_event();
    set_field(e, c.field, c.code);
    const std::string line = export_line(e);
    // The column's position: the date takes four, then the header order.
    size_t start = 0;
    for (int i = 0; i < c.field; ++i) start = line.find(',', start) + 1;
    const size_t end = line.find_first_of(",\n", start);
    EXPECT_EQ(line.substr(start, end - start), c.text) << kFields[c.field].name << " " << c.code;
  }
  Event nowhere = test::example_event();
  set_field(nowhere, kCol, 84);
  set_field(nowhere, kRow, 66);
  EXPECT_EQ(export_line(nowhere).substr(0, 25), "Day,January,1,2000,84,66,");
}

TEST_F(CsvFiles, ExportWritesHeaderLinesThenOneLinePerRecord) {
  store->records[0] = test::example_event();
  store->records[1] = test::example_event();
  store->records[1].key = 0xFE7F;
  store->count = 2;
  time.first_key = 0x0085;
  time.last_key = 0xFE7F;
  ASSERT_EQ(export_csv(dir.path("out.csv").c_str(), *store, time), 1);
  const std::string second = "Night,December,31,2031" + std::string(kExampleExport).substr(18);
  EXPECT_EQ(test::read_file(dir.path("out.csv")),
            std::string("START\nDay,January,1,2000\nEND\nNight,December,31,2031\n") + kHeader +
                kExampleExport + second);

  store->count = 0;
  ASSERT_EQ(export_csv(dir.path("empty.csv").c_str(), *store, time), 1);
  EXPECT_EQ(test::read_file(dir.path("empty.csv")),
            std::string("START\nDay,January,1,2000\nEND\nNight,December,31,2031\n") + kHeader);
}

TEST_F(CsvFiles, ExportReportsAFileItCannotWrite) {
  store->count = 1;
  store->records[0] = test::example_event();
  EXPECT_EQ(export_csv(dir.path("none/x.csv").c_str(), *store, time), 0);
  if (FILE* probe = std::fopen("/dev/full", "wb")) {
    std::fclose(probe);
    EXPECT_EQ(export_csv("/dev/full", *store, time), 0);
  }
}

TEST_F(CsvFiles, ImportExampleLineGivesTheExampleRecord) {
  ASSERT_EQ(import(std::string(kExampleImport) + "\n"), 1);
  const Event e = only_record();
  uint8_t got[kEventBytes];
  uint8_t want[kEventBytes];
  encode_event(e, got);
  encode_event(test::example_event(), want);
  EXPECT_EQ(std::string(got, got + 16), std::string(want, want + 16));
  EXPECT_EQ(time.first_key, 0x0085);
  EXPECT_EQ(time.last_key, 0x0085);
  EXPECT_EQ(time.window_start, 0x0085);
}

TEST_F(CsvFiles, ImportLeapDayLine) {
  ASSERT_EQ(import("2004,2,29,B,x,0,10,3,SWAT,Y,4,DUPLICATE,H,F,2,9,O,D,UNK,6,77002"), 1);
  const Event e = only_record();
  const TimeFields t = unpack_time_key(e.key);
  EXPECT_EQ(t.shift, 3);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.year, 4);
  const std::pair<FieldId, uint32_t> want[] = {
      {kRow, 65},   {kCol, 10},    {kCouncil, 2}, {kZip, 3},     {kDivision, 16}, {kSuccessful, 2},
      {kInjury, 4}, {kNumo, 9},    {kOrace, 3},   {kOgender, 2}, {kResponse, 2},  {kNums, 6},
      {kSrace, 6},  {kSgender, 3}, {kSage, 8},    {kReason, 6}};
  for (const auto& [field, value] : want)
    EXPECT_EQ(get_field(e, field), value) << kFields[field].name;
}

TEST(CsvImport, AgeBands) {
  const std::pair<const char*, uint32_t> cases[] = {
      {"16", 1},      {"17", 2}, {"8", 1},  {"75", 7}, {"76", 0},  {"0", 8},  {"UNK", 8},
      {"UNKNOWN", 8}, {"-3", 0}, {"22", 2}, {"23", 3}, {"34", 4},  {"35", 5}, {"42", 5},
      {"43", 6},      {"49", 6}, {"50", 7}, {"", 8},   {" 30", 4}, {"unk", 8}};
  for (const auto& [text, band] : cases) {
    CsvFields fields = {};
    std::snprintf(fields.text[18], kCsvFieldSize, "%s", text);
    EXPECT_EQ(get_field(parse_csv_event(fields), kSage), band) << '"' << text << '"';
  }
}

TEST(CsvImport, ValueRules) {
  struct Case {
    int index;
    const char* text;
    FieldId field;
    uint32_t value;
  };
  const Case cases[] = {
      {8, "Swat", kDivision, 0},
      {8, "X-JOB", kDivision, 19},
      {8, " AIRPORT", kDivision, 0},
      {8, "TRAVIS", kDivision, 4},
      {9, "Nope", kSuccessful, 1},
      {9, "y", kSuccessful, 0},
      {3, "I", kCouncil, 9},
      {3, "-NA-", kCouncil, 0},
      {3, "-na-", kCouncil, (static_cast<uint32_t>('-') - 64u) & 15u},
      {5, "-NA-", kRow, 66},
      {5, "-1", kRow, 66},
      {5, "66", kRow, 127},
      {6, "-NA-", kCol, 84},
      {6, "130", kCol, 2},
      {6, "12abc", kCol, 12},
      {6, "  +7", kCol, 7},
      {7, "-NA-", kShift, 0},
      {7, "7", kShift, 3},
      {10, "-NA-", kInjury, 0},
      {10, "17", kInjury, 1},
      {11, "Duplicate", kNumo, 0},
      {11, "DUPLICATE", kNumo, 9},
      {14, "DUPLICATE", kResponse, 3},
      {15, "Dog", kNums, 7},
      {15, "Officer", kNums, 8},
      {15, "99", kNums, 6},
      {15, "5", kNums, 5},
      {16, "Officer", kSrace, 6},
      {17, "Officer", kSgender, 4},
      {20, "-NA-", kZip, 0},
      {20, "77999", kZip, 1000},
      {20, "76999", kZip, 0},
      {20, "78023", kZip, 0},
      {20, "76998", kZip, 1023},
      {19, "-NA-", kReason, 0},
      {19, "99999999999999999999", kReason, 15},  // strtol saturates, int keeps -1
  };
  for (const Case& c : cases) {
    CsvFields fields = {};
    std::snprintf(fields.text[c.index], kCsvFieldSize, "%s", c.text);
    const Event e = parse_csv_event(fields);
    EXPECT_EQ(get_field(e, c.field), c.value) << c.index << " \"" << c.text << '"';
  }
}

TEST(CsvImport, ReservedBitsAreZero) {
  CsvFields fields = {};
  const Event e = parse_csv_event(fields);
  EXPECT_EQ(e.location >> 28, 0u);
  EXPECT_EQ(e.incident & 0x8003u, 0u);
  EXPECT_EQ(e.officer & 0x8000u, 0u);
  EXPECT_EQ(e.suspect >> 21, 0u);
  EXPECT_EQ(e.reserved, 0);
}

TEST_F(CsvFiles, HeaderOnlyAndEmptyFile) {
  for (const char* text : {"", "header only", "header only\n", "header\r\n"}) {
    time.window_start = 0x1234;
    ASSERT_EQ(import("", text), 1) << text;
    EXPECT_EQ(store->count, 0u);
    EXPECT_EQ(time.first_key, 0x0085);
    EXPECT_EQ(time.last_key, 0xFE7F);
    EXPECT_EQ(time.window_start, 0x0085);
  }
}

TEST_F(CsvFiles, LineEndsAndTheLastLine) {
  // CR LF counts as LF; a CR elsewhere belongs to its field; a last line
  // without LF still counts.
  ASSERT_EQ(import("2001,5,6,A,,0,1,1,CENTRAL\r\n2001,5,6,A,,0,1,1,CENTRAL\r,\r\n2002,1,1"), 1);
  ASSERT_EQ(store->count, 3u);
  EXPECT_EQ(get_field(store->records[0], kDivision), 2u);
  EXPECT_EQ(get_field(store->records[1], kDivision), 0u);  // "CENTRAL\r"
  EXPECT_EQ(unpack_time_key(store->records[2].key).year, 2);
}

TEST_F(CsvFiles, LongLinesFieldsAndExtraFields) {
  const std::string long_zip = "77002" + std::string(100, '9');
  std::string line = "2003,4,5,B,";
  line += std::string(5000, 'x');  // field 4, never read: far past any buffer
  line += ",1,2,3,CENTRAL,Y,1,2,W,M,1,1,B,M,20," + std::string(63, ' ') + "5," + long_zip;
  line += ",extra,fields,ignored";
  ASSERT_EQ(import(line + "\n" + std::string(kExampleImport) + "\n"), 1);
  ASSERT_EQ(store->count, 2u);
  const Event e = store->records[1];
  EXPECT_EQ(unpack_time_key(e.key).year, 3);
  EXPECT_EQ(get_field(e, kRow), 64u);
  EXPECT_EQ(get_field(e, kCol), 2u);
  EXPECT_EQ(get_field(e, kDivision), 2u);
  // A field keeps its first 63 characters: the reason's digit is cut off.
  EXPECT_EQ(get_field(e, kReason), 0u);
  EXPECT_EQ(get_field(e, kZip), (0xFFFFFFFFu - kZipBase) & 1023u);  // strtol saturated
}

TEST_F(CsvFiles, SortsStablyByKey) {
  ASSERT_EQ(import("2005,1,1,A,,0,3,1\n2001,1,1,A,,0,1,1\n2005,1,1,A,,0,4,1\n2001,1,1,A,,0,2,1\n"),
            1);
  ASSERT_EQ(store->count, 4u);
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(get_field(store->records[i], kCol), i + 1);
  EXPECT_EQ(time.first_key, store->records[0].key);
  EXPECT_EQ(time.last_key, store->records[3].key);
}

TEST_F(CsvFiles, MoreThan6000LinesKeepTheFirst) {
  std::string body;
  for (int i = 0; i < 6002; ++i) body += "2001,1,1,A,,0," + std::to_string(i % 84) + ",1\n";
  ASSERT_EQ(import(body), 1);
  EXPECT_EQ(store->count, 6000u);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_NE(recorder.messages[0].second.find("2 more"), std::string::npos);
}

TEST_F(CsvFiles, FailedImportChangesNothing) {
  store->records[0] = test::example_event();
  store->count = 1;
  time.first_key = 0x4444;
  EXPECT_EQ(import_csv(dir.path("missing.csv").c_str(), *store, time), 0);
  EXPECT_EQ(import_csv(dir.root().c_str(), *store, time), 0);
  EXPECT_EQ(store->count, 1u);
  EXPECT_EQ(time.first_key, 0x4444);
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(CsvFiles, ExportedStoreHasNPlus5LinesAndDoesNotImportBack) {
  for (uint32_t i = 0; i < 7; ++i) {
    store->records[i] = test::example_event();
    store->records[i].key = static_cast<uint16_t>(0x0085 + 4 * i);
  }
  store->count = 7;
  ASSERT_EQ(export_csv(dir.path("x.csv").c_str(), *store, time), 1);
  const std::string text = test::read_file(dir.path("x.csv"));
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 12);
  ASSERT_EQ(import_csv(dir.path("x.csv").c_str(), *store, time), 1);
  EXPECT_EQ(store->count, 11u);  // four leading lines and the header become records
  EXPECT_NE(get_field(store->records[0], kDivision), 2u);
}

}  // namespace
}  // namespace valdrin
