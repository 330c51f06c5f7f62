#include "tests/core/test_files.h"

#include <stdlib.h>
#include <sys/resource.h>

#include <csignal>
#include <fstream>
#include <sstream>

namespace valdrin::test {

ScratchDir::ScratchDir() {
  root_ = (std::filesystem::temp_directory_path() / "valdrin-test-XXXXXX").string();
  if (::mkdtemp(root_.data()) == nullptr) throw std::runtime_error("can't make " + root_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("can't write " + path);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string hex_bytes(const std::string& hex) {
  std::istringstream in(hex);
  std::string bytes;
  for (unsigned value; in >> std::hex >> value;) bytes.push_back(static_cast<char>(value));
  return bytes;
}

std::vector<std::string> split(const std::string& text, char between) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, between);) parts.push_back(part);
  return parts;
}

template <bool kOwned>
static void record(void* self, const char* caption, const char* text) {
  static_cast<MessageRecorder*>(self)->log +=
      std::string(caption) + ": " + text + (kOwned ? " (owned)\n" : "\n");
}
MessageRecorder::MessageRecorder()
    : previous(set_message_sink(MessageSink{record<false>, this, record<true>})) {}
MessageRecorder::~MessageRecorder() { set_message_sink(previous); }

int entries_in(const std::string& dir) {
  const std::filesystem::directory_iterator entries(dir);
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

void check_whole_or_nothing(const std::string& name, size_t full_size,
                            const std::function<int(const char*)>& save) {
  const std::string old_bytes(full_size + 7, 'o');       // longer than the new file
  void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit just fail
  for (size_t limit : {size_t{0}, size_t{1}, full_size / 2, full_size - 1, full_size}) {
    ScratchDir dir;
    const std::string target = dir.path("kept");
    write_file(target, old_bytes);
    rlimit previous{};
    ::getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit cut{limit, previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &cut);
    const int saved = save(target.c_str());
    ::setrlimit(RLIMIT_FSIZE, &previous);
    const bool whole = limit == full_size;
    EXPECT_EQ(saved, whole ? 1 : 0) << name << " cut at " << limit;
    const std::string now = read_file(target);
    EXPECT_TRUE(whole ? now.size() == full_size : now == old_bytes) << name << " cut at " << limit;
    EXPECT_EQ(entries_in(dir.root()), 1) << name << " cut at " << limit << ": temporary file left";
  }
  std::signal(SIGXFSZ, handler);
}

}  // namespace valdrin::test
