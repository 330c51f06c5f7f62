// The scratch folder and staging of fuzz inputs into files.
#include "fuzz/fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "core/message.h"

namespace valdrin::fuzz {

const std::string& scratch_dir() {
  static const std::string dir = [] {
    // /dev/shm keeps millions of small writes off the disk.
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/valdrin-fuzz-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
  }();
  return dir;
}

std::string stage_file(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = scratch_dir() + "/" + name;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) std::abort();
  if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  if (std::fclose(file) != 0) std::abort();
  return path;
}

void silence_messages() { set_message_sink(MessageSink{}); }

}  // namespace valdrin::fuzz
