// Records and fields; event files loaded and saved whole or not at all; the generator's draws.
#include "core/store.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include "core/csv.h"
#include "core/generator.h"
#include "core/whole_file.h"
#include "tests/core/test_files.h"

namespace valdrin::store_test {

using test::record_bytes;

// Any 16 bytes, reserved ones included, survive a decode and encode.
TEST(EventRecord, EncodesTheExampleKeepsEveryByteAndEachFieldItsBits) {
  uint8_t bytes[kEventBytes];
  for (size_t i = 0; i < kEventBytes; ++i) bytes[i] = static_cast<uint8_t>(0xF1 - 13 * i);
  EXPECT_EQ(record_bytes(decode_event(bytes)), std::string(bytes, bytes + kEventBytes));
  EXPECT_EQ(decode_event(bytes).reserved, bytes[2] | (bytes[3] << 8));
  // A value too wide for its field is cut and changes no other field.
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldId field = static_cast<FieldId>(f);
    const Event before = test::example_event();
    Event e = before;
    set_field(e, field, 0xFFFFFFFFu);
    EXPECT_EQ(get_field(e, field), (1u << kFields[f].width) - 1u) << kFields[f].name;
    for (int g = 0; g < kFieldCount; ++g)
      EXPECT_TRUE(g == f || get_field(e, FieldId(g)) == get_field(before, FieldId(g)))
          << kFields[f].name << " changed " << kFields[g].name;
    set_field(e, field, get_field(before, field));
    EXPECT_EQ(record_bytes(e), record_bytes(before)) << kFields[f].name;
  }
}

// n records with rising keys whose reserved bytes are not zero.
std::string file_of(uint32_t n, uint16_t first_key) {
  std::string bytes;
  for (uint32_t i = 0; i < n; ++i) {
    Event e = test::event_at(uint16_t(first_key + i), i % 66, i % 84, i % 1001, i % 10);
    e.reserved = static_cast<uint16_t>(0xA500 + i);
    bytes += record_bytes(e);
  }
  return bytes;
}

mode_t mode_of(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

struct StoreFiles : ::testing::Test {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;
  int load(const std::string& bytes) {
    test::write_file(dir.path("f.vdr"), bytes);
    return read_records(dir.path("f.vdr").c_str(), *store, time);
  }
};

// Whole records in file order, up to the capacity; a failed load changes nothing; saves whole or
// none.
TEST_F(StoreFiles, LoadsCountWholeRecordsSavesAreWholeOrNothingGeneratorDraws) {
  const std::string all = file_of(kStoreCapacity + 3, 0x1000) + "xyz";
  const std::pair<size_t, uint32_t> cases[] = {
      {0, 0}, {15, 0}, {16, 1}, {47, 2}, {96000, 6000}, {all.size(), kStoreCapacity}};
  for (const auto& [bytes, count] : cases) {
    store->count = 99;
    time.window_start = 0x4321;
    ASSERT_EQ(load(all.substr(0, bytes)), 1);
    EXPECT_EQ(std::tuple(store->count, time.first_key, time.last_key, time.window_start),
              count ? std::tuple(count, 0x1000, int((0x1000 + count - 1) & 0xFFFF), 0x1000)
                    : std::tuple(0u, int{kFirstValidKey}, int{kLastValidKey}, int{kFirstValidKey}))
        << bytes;
  }
  const std::string early = record_bytes(test::event_at(0x1000, 2, 2));
  ASSERT_EQ(load(file_of(16, 0x3000) + early), 1);
  time.window_start = 0x2002;
  EXPECT_EQ(read_records(dir.path("missing.vdr").c_str(), *store, time), 0);
  EXPECT_EQ(read_records(dir.root().c_str(), *store, time), 0);
  EXPECT_EQ(std::tuple(store->count, time.first_key, time.last_key, time.window_start,
                       record_bytes(store->records[16])),
            std::tuple(17u, 0x3000, 0x1000, 0x2002, early));
  EXPECT_EQ(recorder.log,
            "ERROR: read_records(): the store holds 1048576 records; 3 more were left out\n"
            "ERROR: read_records(): fopen error\nERROR: read_records(): read error\n");
  // Saves are byte-identical, whole or nothing, and failures say so.
  const std::string original = file_of(321, 0x4000);
  ASSERT_EQ(load(original), 1);
  ASSERT_EQ(write_records(dir.path("out.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(dir.path("out.vdr")), original);
  store->count = 0;
  ASSERT_EQ(write_records(dir.path("empty.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(dir.path("empty.vdr")), "");
  // A device is written into, never replaced: scratch copies of /dev/full and /dev/null (root).
  store->count = 1;
  for (const auto& [name, minor, saved] : {std::tuple{"full", 7u, 0}, {"null", 3u, 1}}) {
    const std::string node = dir.path(name);
    if (::mknod(node.c_str(), S_IFCHR | 0666, makedev(1, minor)) != 0) continue;
    EXPECT_EQ(write_records(node.c_str(), *store), saved) << name;  // full takes the open only
    struct stat after {};
    EXPECT_TRUE(::stat(node.c_str(), &after) == 0 && S_ISCHR(after.st_mode)) << name;
  }
  // A link stays a link to the new bytes.
  std::filesystem::create_directories(dir.path("real"));
  test::write_file(dir.path("real/data.vdr"), std::string("old"));
  std::filesystem::create_symlink(dir.path("real/data.vdr"), dir.path("link.vdr"));
  ASSERT_EQ(write_records(dir.path("link.vdr").c_str(), *store), 1);
  EXPECT_EQ(std::tuple(std::filesystem::is_symlink(dir.path("link.vdr")),
                       test::entries_in(dir.path("real")),
                       test::read_file(dir.path("real/data.vdr")).size()),
            std::tuple(true, 1, kEventBytes));

  // A full store, 16 MB, saved whole or not at all; the CSV export of 600.
  store->count = kStoreCapacity;
  for (uint32_t i = 0; i < store->count; ++i) {
    store->records[i] = test::example_event();
    set_field(store->records[i], kCol, i % 84);
  }
  test::check_whole_or_nothing("event data", store->count * kEventBytes,
                               [&](const char* path) { return write_records(path, *store); });
  store->count = 600;
  set_data_keys(*store, time);
  ASSERT_EQ(export_csv(dir.path("full.csv").c_str(), *store, time, AreaTable{}), 1);
  test::check_whole_or_nothing(
      "CSV export", test::read_file(dir.path("full.csv")).size(),
      [&](const char* path) { return export_csv(path, *store, time, AreaTable{}); });
  // Any save replaces its file only when every write succeeded.
  const std::tuple<const char*, std::function<int(std::FILE*)>, bool> writers[] = {
      {"all written", [](std::FILE* f) { return std::fputs("new bytes", f) >= 0 ? 1 : 0; }, true},
      {"writer gives up half-way", [](std::FILE* f) { return std::fputs("new", f) * 0; }, false},
      {"stream error", [](std::FILE* f) { return std::fputs("new", f) >= 0 && std::fgetc(f); },
       false}};
  for (const auto& [name, write, saved] : writers) {
    test::ScratchDir tmp;
    const std::string target = tmp.path("kept.vdr");
    test::write_file(target, std::string("old bytes"));
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(save_whole_file(target.c_str(), write), saved ? 1 : 0) << name;
    EXPECT_EQ(std::tuple(test::read_file(target), test::entries_in(tmp.root()), mode_of(target)),
              std::tuple(saved ? "new bytes" : "old bytes", 1, 0640u))
        << name;
  }
  const mode_t mask = ::umask(022);
  EXPECT_EQ(save_whole_file(dir.path("new.csv").c_str(), [](std::FILE*) { return 1; }), 1);
  EXPECT_EQ(mode_of(dir.path("new.csv")), 0644u);
  for (const std::string& bad : {dir.path("no/such/folder.csv"), std::string()})
    EXPECT_EQ(save_whole_file(bad.c_str(), [](std::FILE*) { return 1; }), 0) << bad;
  ::umask(mask);
  // The generator's draws on hand-built cell tables: placement and ranges.
  RandomState random;
  auto table = std::make_unique<CellTable>();
  for (auto& entry : table->words) entry[0] = make_cell_word(4, 0, false, 12, 0, false);
  ASSERT_EQ(generate_events(1, *table, random, *store, time), 1);
  EXPECT_EQ(test::record_hex(store->records[0]), "6E 63 00 00 A9 1A 03 04 34 01 02 12 20 30 68 00");
  // Zips 7-11 and district 3 but in row 0; the replay draws two per cell tried, eight per record.
  for (int i = 0; i < kCellCount; ++i)
    table->words[i][0] = i < kGridCols ? 0 : make_cell_word(3, 0, false, 7 + i % 5u, 0, false);
  random = RandomState{};
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
    ASSERT_TRUE(row < 66 && col < 84) << i;
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
  EXPECT_EQ(store->count, kGenerateCapacity);
}

}  // namespace valdrin::store_test
