// CSV export and import byte for byte, also of lines cut short, huge fields, billions of commas.
#include "core/csv.h"

#include <unistd.h>

#include <thread>

#include "tests/core/test_files.h"

namespace valdrin::csv_test {

constexpr const char* kHeadLines =
    "START\nDay,January,1,2000\nEND\nNight,December,31,2031\n"
    "SHIFT,MONTH,DAY,YEAR,COL,ROW,ZIP,COUNCIL,DIVISION,SUCCESSFUL,INJURY,NUMO,ORACE,OGENDER,"
    "RESPONSE,NUMS,SRACE,SGENDER,SAGE,REASON\n";
constexpr const char* kExampleExport =
    "Day,January,1,2000,10,20,77002,B,Central,Yes,None,2,White,Male,Dispatched,1,Black,Male,17-22,"
    "Combat/Resist\n";
constexpr const char* kExampleImport = "2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002";

// The example event with the fields named in `changes` ("ZIP=0 NUMS=5") set.
Event example_with(const std::string& changes) {
  Event e = test::example_event();
  std::istringstream in(changes);
  for (std::string change; in >> change;)
    for (int f = 0; f < kFieldCount; ++f)
      if (change.substr(0, change.find('=')) == kFields[f].name)
        set_field(e, static_cast<FieldId>(f), std::stoul(change.substr(change.find('=') + 1)));
  return e;
}

std::string summary(const EventStore& store) {  // record bytes, " | " between
  std::string out;
  for (uint32_t i = 0; i < store.count; ++i)
    out += (i ? " | " : "") + test::record_hex(store.records[i]);
  return out;
}

struct CsvFiles : ::testing::Test {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;

  int import(const std::string& body, const std::string& header = "year,month,...\n") {
    test::write_file(dir.path("in.csv"), header + body);
    return import_csv(dir.path("in.csv").c_str(), *store, time, AreaTable{});
  }
};

// Spellings, "-NA-" for codes without a label, NUMS only 1-5, no month left empty; 3000 records.
TEST_F(CsvFiles, ExportHeaderAndLinesThenImportRulesAndListingsByteForByte) {
  Event night = example_with("ZIP=0 COUNCIL=10 DIVISION=19 NUMO=6 NUMS=5 SRACE=5 SAGE=9 REASON=0");
  night.key = pack_time_key(3, 31, 13, 31);
  const std::pair<Event, const char*> exports[] = {
      {test::example_event(), kExampleExport},
      {example_with("COL=84 ROW=66 ZIP=1023 COUNCIL=9 DIVISION=16 SUCCESSFUL=1 INJURY=4 NUMO=9 "
                    "ORACE=0 OGENDER=2 RESPONSE=3 NUMS=6 SRACE=6 SGENDER=3 SAGE=8 REASON=6"),
       "Day,January,1,2000,84,66,78022,I,Swat,No,Both,Duplicate,-NA-,Female,Duplicate,-NA-,"
       "Officer,Dog,UNKNOWN,Accident\n"},
      {night,
       "Night,,31,2031,10,20,-NA-,J,XJob,Yes,None,-NA-,White,Male,Dispatched,5,Dog,Male,-NA-,"
       "-NA-\n"},
      {example_with("COUNCIL=0 DIVISION=20 NUMS=8 SAGE=1"),
       "Day,January,1,2000,10,20,77002,-NA-,-NA-,Yes,None,2,White,Male,Dispatched,-NA-,Black,"
       "Male,<= 16,Combat/Resist\n"}};
  std::string expected = kHeadLines;
  for (const auto& [event, line] : exports)
    store->records[store->count++] = event, expected += line;
  for (; store->count < 3000; expected += kExampleExport)
    store->records[store->count++] = test::example_event();
  ASSERT_EQ(export_csv(dir.path("out.csv").c_str(), *store, time, AreaTable{}), 1);
  EXPECT_TRUE(test::read_file(dir.path("out.csv")) == expected);
  store->count = 0;
  ASSERT_EQ(export_csv(dir.path("empty.csv").c_str(), *store, time, AreaTable{}), 1);
  EXPECT_EQ(test::read_file(dir.path("empty.csv")), kHeadLines);
  // "position FIELD texts = codes", one text at a time; 20 nines saturate strtol and keep -1.
  const std::string rules =
      "7 SHIFT -NA-|7 = 0 3; 18 SAGE 16|17|22|23|34|35|42|43|49|50|75|76|0||UNK|-3| 30 = "
      "1 2 2 3 4 5 5 6 6 7 7 0 8 8 8 0 4; 20 ZIP -NA-|77999|76999|78023|76998 = 0 1000 0 0 1023; "
      "8 DIVISION Swat|X-JOB| AIRPORT|TRAVIS = 0 19 0 4; 15 NUMS Dog|Officer|99|5 = 7 8 6 5; "
      "6 COL -NA-|130|12abc|  +7|\n\r5 = 84 2 12 7 5; 19 REASON -NA-|99999999999999999999 = 0 15; "
      "5 ROW -NA-|-1|66|0 = 66 66 127 65; 11 NUMO Duplicate|DUPLICATE = 0 9; 16 SRACE Officer = 6; "
      "12 ORACE A|B|H|W|X = 1 2 3 4 0; 9 SUCCESSFUL Nope|y = 1 0; 14 RESPONSE DUPLICATE = 3; "
      "10 INJURY -NA-|17 = 0 1; 3 COUNCIL I|-NA- = 9 0; 17 SGENDER Officer = 4";
  std::istringstream all(rules);
  for (std::string c; std::getline(all, c, ';');) {
    std::istringstream row(c.substr(0, c.find('=')));
    int index, field = 0;
    std::string name;
    row >> index >> name;
    while (field < kFieldCount && name != kFields[field].name) ++field;
    std::istringstream texts(std::string(c.begin() + row.tellg() + 1, c.begin() + c.find('=') - 1));
    std::istringstream codes(c.substr(c.find('=') + 1));
    for (std::string text; std::getline(texts, text, '|');) {
      uint32_t code = 99;
      codes >> code;
      CsvFields fields = {};
      std::snprintf(fields.text[index], kCsvFieldSize, "%s", text.c_str());
      EXPECT_EQ(get_field(parse_csv_event(fields, AreaTable{}), FieldId(field)), code)
          << c << " \"" << text << '"';
    }
  }
  // A folder's own zip codes, of another range, are written and read as they are.
  AreaTable areas;
  areas.zip_codes = {0, 90012, 0, 10001};
  char line[kCsvLineSize];
  format_csv_event(example_with("ZIP=3"), areas, line);
  EXPECT_EQ(std::string(line).substr(0, 32), "Day,January,1,2000,10,20,10001,B");
  for (const auto& [text, code] : {std::pair{"10001", 3u}, {"90012", 1u}, {"77002", 0u}}) {
    CsvFields zip = {};
    std::snprintf(zip.text[20], kCsvFieldSize, "%s", text);
    EXPECT_EQ(get_field(parse_csv_event(zip, areas), kZip), code) << text;
  }
  const Event e = parse_csv_event(CsvFields{}, areas);  // reserved bits are never set
  EXPECT_EQ(std::tuple(e.location >> 28, e.incident & 0x8003u, e.officer & 0x8000u, e.suspect >> 21,
                       e.reserved),
            std::tuple(0u, 0u, 0u, 0u, 0));
  // Empty lines are records, missing fields -NA-, CR text unless before LF; 63 chars, 21 fields.
  const std::string long_line = "2003,4,5,B," + std::string(5000, 'x') +
                                ",1,2,3,CENTRAL,Y,1,2,W,M,1,1,B,M,20," + std::string(63, ' ') +
                                "5,77002" + std::string(100, '9') + ",extra,fields\n";
  const std::pair<std::string, const char*> cases[] = {
      {std::string(kExampleImport) + "\n", "85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00"},
      {"2004,2,29,B,x,0,10,3,SWAT,Y,4,DUPLICATE,H,F,2,9,O,D,UNK,6,77002\n",
       "77 21 00 00 8A E0 00 02 40 22 39 12 66 83 0C 00"},
      {"2001,5,6,C,,0,1\n\n2001,5,6,A,,0,1,1,CENTRAL\r\n2001,5,6,A,,0,1,1,CENTRAL\r,\r\n2002,1,1",
       "98 0A 00 00 81 20 00 03 00 00 00 00 00 80 00 00 | 99 0A 00 00 81 20 00 01 08 00 00 00 00 "
       "80 00 00 | 99 0A 00 00 81 20 00 01 00 00 00 00 00 80 00 00 | 84 10 00 00 54 21 00 00 00 00 "
       "00 00 00 80 00 00 | 00 80 00 00 54 21 00 00 00 00 00 00 00 80 00 00"},
      {"2001,5,6\n", "98 0A 00 00 54 21 00 00 00 00 00 00 00 80 00 00"},
      {"2001,5,6,C,,0,1,1,CENTRAL\n", "99 0A 00 00 81 20 00 03 08 00 00 00 00 80 00 00"},
      {",,,,,,,,,,,,,,,,,,,,\n", "00 80 00 00 80 60 CE 00 00 00 00 00 00 80 00 00"},
      {std::string(kExampleImport) + "\r\n\r\n",
       "85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00 | 00 80 00 00 54 21 00 00 00 00 00 00 00 "
       "80 00 00"},
      {long_line + kExampleImport + "\n",
       "85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00 | 17 1A 00 00 02 20 CE 02 08 0A 42 09 21 "
       "21 00 00"}};
  for (const auto& [body, want] : cases) {
    ASSERT_EQ(import(body), 1) << body;
    EXPECT_EQ(summary(*store), want) << body;
  }
}

TEST_F(CsvFiles, HeaderOnlyFailedImportsSortingTheCapacityAndBillionsOfCommas) {
  for (const char* text : {"", "header only", "header\r\n"}) {
    time.window_start = 0x1234;
    ASSERT_EQ(import("", text), 1) << text;
    EXPECT_EQ(std::tuple(store->count, time.first_key, time.last_key, time.window_start),
              std::tuple(0u, kFirstValidKey, kLastValidKey, kFirstValidKey));
  }
  ASSERT_EQ(import("2005,1,1,A,,0,3,1\n2001,1,1,A,,0,1,1\n2005,1,1,A,,0,4,1\n2001,1,1,A,,0,2,1\n"),
            1);
  EXPECT_EQ(std::tuple(store->count, get_field(store->records[0], kCol),  // sorted, stable
                       get_field(store->records[1], kCol), get_field(store->records[3], kCol),
                       time.first_key, time.last_key, time.window_start),
            std::tuple(4u, 1u, 2u, 4u, store->records[0].key, store->records[3].key,
                       store->records[0].key));
  // A missing file or a folder: nothing changes; the caller tells the user.
  const std::string before = summary(*store);
  const uint16_t first_key = time.first_key;
  EXPECT_EQ(import_csv(dir.path("missing.csv").c_str(), *store, time, AreaTable{}), 0);
  EXPECT_EQ(import_csv(dir.root().c_str(), *store, time, AreaTable{}), 0);
  EXPECT_EQ(std::tuple(summary(*store), time.first_key), std::tuple(before, first_key));
  std::string body;
  for (uint32_t i = 0; i < kStoreCapacity + 2; ++i) body += "2001,1,1,A,,0,1,1\n";
  ASSERT_EQ(import(body), 1);
  EXPECT_EQ(std::tuple(store->count, recorder.log),
            std::tuple(kStoreCapacity,
                       "ERROR: import_csv(): the store holds 1048576 records; 2 more lines were "
                       "left out\n"));
  // 2^31 + 5 commas on one line, past a 32-bit field counter, through a pipe (not on disk).
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::thread writer([fd = fds[1]] {
    std::FILE* out = ::fdopen(fd, "w");
    const std::string commas(1 << 20, ',');
    std::fputs("header\n", out);
    for (int i = 0; i < 2048; ++i) std::fwrite(commas.data(), 1, commas.size(), out);
    std::fputs(",,,,,X,2016\n2001,5,6,C,,0,1\n", out);
    std::fclose(out);
  });
  const int loaded =
      import_csv(("/dev/fd/" + std::to_string(fds[0])).c_str(), *store, time, AreaTable{});
  writer.join();
  ::close(fds[0]);
  ASSERT_EQ(loaded, 1);
  EXPECT_EQ(summary(*store),
            "98 0A 00 00 81 20 00 03 00 00 00 00 00 80 00 00 | 00 80 00 00 80 60 CE 00 00 00 00 00 "
            "00 80 00 00");
}

}  // namespace valdrin::csv_test
