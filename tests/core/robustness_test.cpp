// The core's readers on hostile input and its writers on a disk that fills
// up: a line of billions of commas, lines that stop short, folders where
// files should be, and saves cut off half-way.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "core/cell_table.h"
#include "core/csv.h"
#include "core/store.h"
#include "core/time_key.h"
#include "tests/core/example_event.h"
#include "tests/core/failing_writes.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

bool same_event(const Event& a, const Event& b) {
  uint8_t x[kEventBytes];
  uint8_t y[kEventBytes];
  encode_event(a, x);
  encode_event(b, y);
  return std::memcmp(x, y, kEventBytes) == 0;
}

void write_all(int fd, const char* data, size_t size) {
  while (size != 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n <= 0) return;
    data += n;
    size -= static_cast<size_t>(n);
  }
}

// A line of 2^31 + 5 commas, more than a 32-bit field counter holds, fed
// through a pipe so that nothing of it lands on disk. Text after the 21st
// field goes nowhere, and the next line is read as usual.
TEST(HostileCsv, BillionsOfCommasOnOneLine) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::thread writer([fd = fds[1]] {
    const std::string header = "header\n";
    write_all(fd, header.data(), header.size());
    const std::string commas(1 << 20, ',');
    for (int i = 0; i < 2048; ++i) write_all(fd, commas.data(), commas.size());
    const std::string rest = ",,,,,X,2016\n2001,5,6,C,,0,1\n";
    write_all(fd, rest.data(), rest.size());
    ::close(fd);
  });
  auto store = std::make_unique<EventStore>();
  TimeState time;
  const std::string path = "/dev/fd/" + std::to_string(fds[0]);
  const int loaded = import_csv(path.c_str(), *store, time);
  writer.join();
  ::close(fds[0]);
  ASSERT_EQ(loaded, 1);
  ASSERT_EQ(store->count, 2u);
  EXPECT_TRUE(same_event(store->records[1], parse_csv_event(CsvFields{})));
  EXPECT_EQ(get_field(store->records[0], kCouncil), 3u);
}

// A field the line never reaches reads "-NA-"; a field that is there but
// empty reads as empty text.
TEST(HostileCsv, MissingFieldsAreNotRecorded) {
  struct Expected {
    uint8_t year;
    uint32_t row, col, zip, council, division;
  };
  const uint32_t empty_zip = (0u - kZipBase) & 1023u;  // an empty zip reads as 0 less 76999
  struct Case {
    const char* name;
    std::string body;  // after the header line
    uint32_t record;   // which record, in key order
    Expected expected;
  };
  const std::string example = "2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002";
  const Case cases[] = {
      {"empty line between two",
       "2001,5,6,C,,0,1\n\n" + example + "\n",
       2,
       {16, kNoRow, kNoCol, 0, 0, 0}},
      {"line of three fields", "2001,5,6\n", 0, {1, kNoRow, kNoCol, 0, 0, 0}},
      {"line ends before the zip", "2001,5,6,C,,0,1,1,CENTRAL\n", 0, {1, 65, 1, 0, 3, 2}},
      {"every field there and empty", ",,,,,,,,,,,,,,,,,,,,\n", 0, {16, 65, 0, empty_zip, 0, 0}},
      {"trailing blank line of a spreadsheet export",
       example + "\r\n\r\n",
       1,
       {16, kNoRow, kNoCol, 0, 0, 0}},
      {"example line still whole", example + "\r\n\r\n", 0, {0, 20, 10, 3, 2, 2}},
  };
  for (const Case& c : cases) {
    test::ScratchDir dir;
    test::write_file(dir.path("in.csv"), "header\r\n" + c.body);
    auto store = std::make_unique<EventStore>();
    TimeState time;
    ASSERT_EQ(import_csv(dir.path("in.csv").c_str(), *store, time), 1) << c.name;
    ASSERT_LT(c.record, store->count) << c.name;
    const Event& e = store->records[c.record];
    EXPECT_EQ(unpack_time_key(e.key).year, c.expected.year) << c.name;
    EXPECT_EQ(get_field(e, kRow), c.expected.row) << c.name;
    EXPECT_EQ(get_field(e, kCol), c.expected.col) << c.name;
    EXPECT_EQ(get_field(e, kZip), c.expected.zip) << c.name;
    EXPECT_EQ(get_field(e, kCouncil), c.expected.council) << c.name;
    EXPECT_EQ(get_field(e, kDivision), c.expected.division) << c.name;
  }
}

// A folder opens like a file but reads nothing: every loader takes it as a
// file it can't read, says so where it says so for a missing file, and
// changes nothing.
TEST(HostileInput, AFolderIsNoFile) {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  auto store = std::make_unique<EventStore>();
  store->records[0] = test::example_event();
  store->count = 1;
  TimeState time;
  time.first_key = 0x4444;
  auto cells = std::make_unique<CellTable>();
  cells->words[7][1] = 0x2E;
  struct Case {
    const char* name;
    std::function<int()> load;
    const char* message;  // "" for a loader that leaves the telling to its caller
  };
  const char* folder = dir.root().c_str();
  const Case cases[] = {
      {"event data", [&] { return read_records(folder, *store, time); },
       "read_records(): read error"},
      {"CSV listing", [&] { return import_csv(folder, *store, time); }, ""},
      {"selection file", [&] { return init_selection(folder, *cells); },
       "init_selection(): can't read selection"},
  };
  for (const Case& c : cases) {
    recorder.messages.clear();
    EXPECT_EQ(c.load(), 0) << c.name;
    EXPECT_EQ(store->count, 1u) << c.name;
    EXPECT_TRUE(same_event(store->records[0], test::example_event())) << c.name;
    EXPECT_EQ(time.first_key, 0x4444) << c.name;
    EXPECT_EQ(cells->words[7][1], 0x2Eu) << c.name;
    if (*c.message == '\0') {
      EXPECT_TRUE(recorder.messages.empty()) << c.name;
    } else {
      ASSERT_EQ(recorder.messages.size(), 1u) << c.name;
      EXPECT_EQ(recorder.messages[0].second, c.message) << c.name;
    }
  }
}

TEST(FailingSaves, EventDataAndCsvExportAreWholeOrNothing) {
  auto store = std::make_unique<EventStore>();
  store->count = 600;
  for (uint32_t i = 0; i < store->count; ++i) {
    store->records[i] = test::example_event();
    set_field(store->records[i], kCol, i % 84);
  }
  TimeState time;
  set_data_keys(*store, time);
  test::check_whole_or_nothing("event data", store->count * kEventBytes,
                               [&](const char* path) { return write_records(path, *store); });
  test::ScratchDir dir;
  ASSERT_EQ(export_csv(dir.path("full.csv").c_str(), *store, time), 1);
  const size_t csv_size = test::read_file(dir.path("full.csv")).size();
  test::check_whole_or_nothing("CSV export", csv_size,
                               [&](const char* path) { return export_csv(path, *store, time); });
}

// What a save replaces is a file: a device is written into and stays a
// device; a link stays a link to the file that now holds the new bytes.
TEST(FailingSaves, DevicesAndLinksAreNotReplaced) {
  auto store = std::make_unique<EventStore>();
  store->count = 1;
  store->records[0] = test::example_event();
  struct stat before;
  if (::stat("/dev/full", &before) == 0 && S_ISCHR(before.st_mode)) {
    EXPECT_EQ(write_records("/dev/full", *store), 0);
    EXPECT_EQ(write_records("/dev/null", *store), 1);
    struct stat after;
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, before.st_rdev);
  }
  test::ScratchDir dir;
  std::filesystem::create_directories(dir.path("real"));
  test::write_file(dir.path("real/data.vdr"), std::string("old"));
  std::filesystem::create_symlink(dir.path("real/data.vdr"), dir.path("link.vdr"));
  ASSERT_EQ(write_records(dir.path("link.vdr").c_str(), *store), 1);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path("link.vdr")));
  EXPECT_EQ(test::read_file(dir.path("real/data.vdr")).size(), kEventBytes);
  EXPECT_EQ(test::entries_in(dir.path("real")), 1);
}

}  // namespace
}  // namespace valdrin
