// Loading and saving event data files.
#include "core/store.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/core/example_event.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

std::string record_bytes(const Event& e) {
  uint8_t bytes[kEventBytes];
  encode_event(e, bytes);
  return std::string(reinterpret_cast<char*>(bytes), kEventBytes);
}

// n records with rising keys whose reserved bytes are not zero.
std::string file_of(uint32_t n, uint16_t first_key = 0x0085) {
  std::string bytes;
  for (uint32_t i = 0; i < n; ++i) {
    Event e =
        test::event_at(static_cast<uint16_t>(first_key + i), i % 66, i % 84, i % 1001, i % 10);
    e.reserved = static_cast<uint16_t>(0xA500 + i);
    bytes += record_bytes(e);
  }
  return bytes;
}

class StoreFiles : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;
};

struct SizeCase {
  size_t bytes;
  uint32_t count;
};

TEST_F(StoreFiles, CountIsWholeRecordsOfTheFile) {
  for (const SizeCase c : {SizeCase{0, 0}, SizeCase{1, 0}, SizeCase{15, 0}, SizeCase{16, 1},
                           SizeCase{17, 1}, SizeCase{47, 2}, SizeCase{96000, 6000}}) {
    SCOPED_TRACE(c.bytes);
    const std::string all = file_of(6000, 0x1000);
    test::write_file(dir.path("f.vdr"), all.substr(0, c.bytes));
    store->count = 99;
    ASSERT_EQ(read_records(dir.path("f.vdr").c_str(), *store, time), 1);
    EXPECT_EQ(store->count, c.count);
    if (c.count == 0) {
      EXPECT_EQ(time.first_key, 0x0085);
      EXPECT_EQ(time.last_key, 0xFE7F);
    } else {
      EXPECT_EQ(time.first_key, 0x1000);
      EXPECT_EQ(time.last_key, 0x1000 + c.count - 1);
    }
    EXPECT_EQ(time.window_start, time.first_key);
  }
  EXPECT_TRUE(recorder.messages.empty());
}

TEST_F(StoreFiles, MoreThanCapacityKeepsTheFirst6000AndSaysSo) {
  test::write_file(dir.path("big.vdr"), file_of(6003) + "xyz");
  ASSERT_EQ(read_records(dir.path("big.vdr").c_str(), *store, time), 1);
  EXPECT_EQ(store->count, 6000u);
  EXPECT_EQ(time.last_key, 0x0085 + 5999);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_NE(recorder.messages[0].second.find("3 more"), std::string::npos);
}

TEST_F(StoreFiles, FailedLoadChangesNothing) {
  test::write_file(dir.path("good.vdr"), file_of(5, 0x2000));
  ASSERT_EQ(read_records(dir.path("good.vdr").c_str(), *store, time), 1);
  time.window_start = 0x2002;
  const TimeState before = time;
  // A missing file fails to open; a folder opens but fails to read.
  EXPECT_EQ(read_records(dir.path("missing.vdr").c_str(), *store, time), 0);
  EXPECT_EQ(read_records(dir.root().c_str(), *store, time), 0);
  EXPECT_EQ(store->count, 5u);
  EXPECT_EQ(store->records[4].key, 0x2004);
  EXPECT_EQ(time.first_key, before.first_key);
  EXPECT_EQ(time.last_key, before.last_key);
  EXPECT_EQ(time.window_start, 0x2002);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[0].first, "ERROR");
  EXPECT_EQ(recorder.messages[0].second, "read_records(): fopen error");
  EXPECT_EQ(recorder.messages[1].first, "ERROR");
}

TEST_F(StoreFiles, LoadKeepsFileOrderAndEqualKeys) {
  std::string bytes;
  for (int i = 0; i < 16; ++i)
    bytes += record_bytes(test::event_at(0x3000, 1, static_cast<uint32_t>(i)));
  bytes += record_bytes(test::event_at(0x1000, 2, 2));  // out of order: not sorted
  test::write_file(dir.path("eq.vdr"), bytes);
  ASSERT_EQ(read_records(dir.path("eq.vdr").c_str(), *store, time), 1);
  ASSERT_EQ(store->count, 17u);
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(get_field(store->records[i], kCol), i);
  EXPECT_EQ(time.first_key, 0x3000);
  EXPECT_EQ(time.last_key, 0x1000);
}

TEST_F(StoreFiles, SaveThenLoadIsByteIdentical) {
  const std::string original = file_of(321, 0x4000);
  test::write_file(dir.path("in.vdr"), original);
  ASSERT_EQ(read_records(dir.path("in.vdr").c_str(), *store, time), 1);
  ASSERT_EQ(write_records(dir.path("out.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(dir.path("out.vdr")), original);

  store->count = 0;
  ASSERT_EQ(write_records(dir.path("empty.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(dir.path("empty.vdr")), "");
}

TEST_F(StoreFiles, SaveReportsAFileItCannotWrite) {
  store->count = 1;
  store->records[0] = test::example_event();
  EXPECT_EQ(write_records(dir.path("no/such/folder/x.vdr").c_str(), *store), 0);
  EXPECT_EQ(write_records(dir.root().c_str(), *store), 0);
  // A full device takes the open but not the data.
  if (FILE* probe = std::fopen("/dev/full", "wb")) {
    std::fclose(probe);
    EXPECT_EQ(write_records("/dev/full", *store), 0);
  }
}

TEST(StoreSort, StableByKey) {
  auto store = std::make_unique<EventStore>();
  const uint16_t keys[] = {5, 3, 5, 1, 3, 5};
  for (uint32_t i = 0; i < 6; ++i) store->records[i] = test::event_at(keys[i], 0, i);
  store->count = 6;
  sort_store(*store);
  const uint32_t order[] = {3, 1, 4, 0, 2, 5};
  for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(get_field(store->records[i], kCol), order[i]);
  EXPECT_EQ(compare_time_keys(store->records[0], store->records[1]), -1);
  EXPECT_EQ(compare_time_keys(store->records[3], store->records[1]), 1);
  EXPECT_EQ(compare_time_keys(store->records[1], store->records[2]), 0);
  // Keys compare unsigned: Night, December 31, 2031 is above everything.
  EXPECT_EQ(compare_time_keys(test::event_at(0xFE7F, 0, 0), test::event_at(0x0085, 0, 0)), 1);
}

}  // namespace
}  // namespace valdrin
