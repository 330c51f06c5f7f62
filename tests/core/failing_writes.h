// A disk that fills up half-way: while a WriteLimit lives, writes past
// `bytes` fail (the file size limit, its signal ignored).
#pragma once

#include <sys/resource.h>

#include <csignal>

#include "tests/core/test_files.h"

namespace valdrin::test {

struct WriteLimit {
  rlimit previous{};
  void (*previous_handler)(int) = std::signal(SIGXFSZ, SIG_IGN);
  explicit WriteLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limit{bytes, previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~WriteLimit() { ::setrlimit(RLIMIT_FSIZE, &previous), std::signal(SIGXFSZ, previous_handler); }
  WriteLimit(const WriteLimit&) = delete;
};

inline int entries_in(const std::string& dir) {
  const std::filesystem::directory_iterator entries(dir);
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// `save` (1 or 0) succeeds with room for `full_size` bytes; cut off short, it
// fails, leaves the old file byte for byte and no temporary file.
inline void check_whole_or_nothing(const std::string& name, size_t full_size,
                                   const std::function<int(const char*)>& save) {
  const std::string old_bytes(full_size + 7, 'o');  // longer than the new file
  for (size_t limit : {size_t{0}, size_t{1}, full_size / 2, full_size - 1, full_size}) {
    ScratchDir dir;
    const std::string target = dir.path("kept");
    write_file(target, old_bytes);
    const int saved = [&] {
      WriteLimit cut(limit);
      return save(target.c_str());
    }();
    const bool whole = limit == full_size;
    EXPECT_EQ(saved, whole ? 1 : 0) << name << " cut at " << limit;
    const std::string now = read_file(target);
    EXPECT_TRUE(whole ? now.size() == full_size : now == old_bytes) << name << " cut at " << limit;
    EXPECT_EQ(entries_in(dir.root()), 1) << name << " cut at " << limit << ": temporary file left";
  }
}

}  // namespace valdrin::test
