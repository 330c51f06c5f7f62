// The temporary-file-and-rename save. The temporary file lives in the
// target's folder so that the rename stays on one file system and is atomic.
#include "core/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
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

// A device, pipe or terminal can't be replaced, only written into: it gets
// the bytes directly, every write and the close still checked. Renaming a
// file over it would put a plain file where the device was (as root, even
// over /dev/full or /dev/stdout).
int write_into(const char* path, const std::function<int(std::FILE*)>& write) {
  std::FILE* file = std::fopen(path, "wb");
  if (file == nullptr) return 0;
  bool ok = write(file) == 1;
  ok = std::fflush(file) == 0 && ok;
  ok = std::ferror(file) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  return ok ? 1 : 0;
}

}  // namespace

int save_whole_file(const char* path, const std::function<int(std::FILE*)>& write) {
  if (path == nullptr || *path == '\0') return 0;
  std::string target = path;
  struct stat existing;
  if (::stat(path, &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return write_into(path, write);
    // A link to a file keeps being a link: the file it names is replaced,
    // in that file's folder.
    if (char* real = ::realpath(path, nullptr)) {
      target = real;
      std::free(real);
    }
  }
  std::string temp = target + ".tmp-XXXXXX";
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
  ok = ::fchmod(fd, new_file_mode(target.c_str())) == 0 && ok;
  ok = ::fsync(fd) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  if (ok && ::rename(temp.c_str(), target.c_str()) == 0) return 1;
  ::unlink(temp.c_str());
  return 0;
}

}  // namespace valdrin
