// Whole-or-nothing saves: a failed save never harms the file it replaces
// and never leaves its temporary file behind.
#include "core/whole_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "tests/core/test_files.h"

namespace valdrin {
namespace {

int entries_in(const std::string& dir) {
  int n = 0;
  DIR* d = opendir(dir.c_str());
  while (dirent* e = readdir(d))
    n += std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0;
  closedir(d);
  return n;
}

TEST(SaveWholeFile, ReplacesOnlyWhenEveryWriteSucceeded) {
  struct Case {
    const char* name;
    std::function<int(std::FILE*)> write;
    bool saved;
  };
  const Case cases[] = {
      {"all written", [](std::FILE* f) { return std::fputs("new bytes", f) >= 0 ? 1 : 0; }, true},
      {"writer gives up half-way", [](std::FILE* f) { return std::fputs("new", f) * 0; }, false},
      {"stream error", [](std::FILE* f) { return std::fputs("new", f) >= 0 && std::fgetc(f); },
       false}};
  for (const Case& c : cases) {
    test::ScratchDir dir;
    const std::string target = dir.path("kept.vdr");
    test::write_file(target, std::string("old bytes"));
    ::chmod(target.c_str(), 0640);
    EXPECT_EQ(save_whole_file(target.c_str(), c.write), c.saved ? 1 : 0) << c.name;
    EXPECT_EQ(test::read_file(target), c.saved ? "new bytes" : "old bytes") << c.name;
    EXPECT_EQ(entries_in(dir.root()), 1) << c.name << ": a temporary file was left";
    struct stat st;
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << c.name;
  }
}

TEST(SaveWholeFile, NewFileTakesUmaskModeAndMissingFolderFails) {
  test::ScratchDir dir;
  const mode_t mask = ::umask(022);
  const std::string target = dir.path("new.csv");
  EXPECT_EQ(save_whole_file(target.c_str(), [](std::FILE*) { return 1; }), 1);
  struct stat st;
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
  for (const std::string& bad : {dir.path("no/such/folder.csv"), std::string()})
    EXPECT_EQ(save_whole_file(bad.c_str(), [](std::FILE*) { return 1; }), 0) << bad;
  ::umask(mask);
}

}  // namespace
}  // namespace valdrin
