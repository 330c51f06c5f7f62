// Whole-or-nothing saves: a failed save never harms the file it replaces and
// never leaves its temporary file behind, a disk that fills up half-way
// included; a device or a link is written through, never replaced.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>

#include "core/csv.h"
#include "core/store.h"
#include "core/whole_file.h"
#include "tests/core/example_event.h"
#include "tests/core/failing_writes.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

mode_t mode_of(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 0777 : 0;
}

TEST(SaveWholeFile, ReplacesOnlyWhenEveryWriteSucceeded) {
  const std::tuple<const char*, std::function<int(std::FILE*)>, bool> cases[] = {
      {"all written", [](std::FILE* f) { return std::fputs("new bytes", f) >= 0 ? 1 : 0; }, true},
      {"writer gives up half-way", [](std::FILE* f) { return std::fputs("new", f) * 0; }, false},
      {"stream error", [](std::FILE* f) { return std::fputs("new", f) >= 0 && std::fgetc(f); },
       false}};
  for (const auto& [name, write, saved] : cases) {
    test::ScratchDir dir;
    const std::string target = dir.path("kept.vdr");
    test::write_file(target, std::string("old bytes"));
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(save_whole_file(target.c_str(), write), saved ? 1 : 0) << name;
    EXPECT_EQ(std::tuple(test::read_file(target), test::entries_in(dir.root()), mode_of(target)),
              std::tuple(saved ? "new bytes" : "old bytes", 1, 0640u))
        << name;
  }
  test::ScratchDir dir;
  const mode_t mask = ::umask(022);
  EXPECT_EQ(save_whole_file(dir.path("new.csv").c_str(), [](std::FILE*) { return 1; }), 1);
  EXPECT_EQ(mode_of(dir.path("new.csv")), 0644u);
  for (const std::string& bad : {dir.path("no/such/folder.csv"), std::string()})
    EXPECT_EQ(save_whole_file(bad.c_str(), [](std::FILE*) { return 1; }), 0) << bad;
  ::umask(mask);
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
  test::check_whole_or_nothing("CSV export", test::read_file(dir.path("full.csv")).size(),
                               [&](const char* path) { return export_csv(path, *store, time); });
}

// A device is written into and stays a device; a link stays a link to the
// file that now holds the new bytes.
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
    EXPECT_TRUE(S_ISCHR(after.st_mode) && after.st_rdev == before.st_rdev);
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
