// The temporary-file-and-rename save. The temporary file lives in the
// target's folder so that the rename stays on one file system and is atomic.
#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

namespace valdrin {

namespace {

mode_t new_file_mode(const char* path) {
  struct stat existing;
  if (::stat(path, &existing) == 0) return existing.st_mode & 07777;
  // umask can only be read by setting it; the program has one thread.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

int save_whole_file(const char* path, const std::function<int(std::FILE*)>& write) {
  if (path == nullptr || *path == '\0') return 0;
  std::string temp = std::string(path) + ".tmp-XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return 0;
  std::FILE* file = ::fdopen(fd, "wb");
  if (file == nullptr) {
    ::close(fd);
    ::unlink(temp.c_str());
    return 0;
  }
  bool ok = write(file) == 1;
  ok = std::fflush(file) == 0 && ok;
  ok = std::ferror(file) == 0 && ok;
  ok = ::fchmod(fd, new_file_mode(path)) == 0 && ok;
  ok = ::fsync(fd) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok && ::rename(temp.c_str(), path) == 0) return 1;
  ::unlink(temp.c_str());
  return 0;
}

}  // namespace valdrin
