// Test helpers (and GoogleTest and shared standard headers) every suite includes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include "core/event.h"
#include "core/message.h"
#include "core/time_key.h"

namespace valdrin::test {

struct ScratchDir {  // a fresh folder under the temporary folder, removed afterwards
  std::string root_ = (std::filesystem::temp_directory_path() / "valdrin-test-XXXXXX").string();
  ScratchDir() {
    if (!::mkdtemp(root_.data())) throw std::runtime_error("can't make " + root_);
  }
  ~ScratchDir() {
    std::error_code e;
    std::filesystem::remove_all(root_, e);
  }
  ScratchDir(const ScratchDir&) = delete;
  std::string path(const std::string& name) const { return root_ + "/" + name; }
  const std::string& root() const { return root_; }
};

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("can't write " + path);
}

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string hex_bytes(const std::string& hex) {  // "85 00 0A"
  std::istringstream in(hex);
  std::string bytes;
  for (unsigned value; in >> std::hex >> value;) bytes.push_back(static_cast<char>(value));
  return bytes;
}

struct MessageRecorder {  // "Caption: text\n" each, the main window's own marked "(owned)"
  std::string log;
  template <bool kOwned>
  static void record(void* self, const char* caption, const char* text) {
    static_cast<MessageRecorder*>(self)->log +=
        std::string(caption) + ": " + text + (kOwned ? " (owned)\n" : "\n");
  }
  MessageSink previous = set_message_sink(MessageSink{record<false>, this, record<true>});
  ~MessageRecorder() { set_message_sink(previous); }
};

inline int entries_in(const std::string& dir) {
  const std::filesystem::directory_iterator entries(dir);
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

// A save of `full_size` bytes cut short fails (0) leaving the old file and no temporary one.
inline void check_whole_or_nothing(const std::string& name, size_t full_size,
                                   const std::function<int(const char*)>& save) {
  const std::string old_bytes(full_size + 7, 'o');       // longer than the new file
  void (*handler)(int) = std::signal(SIGXFSZ, SIG_IGN);  // writes past the limit just fail
  for (size_t limit : {size_t{0}, size_t{1}, full_size / 2, full_size - 1, full_size}) {
    SCOPED_TRACE(name + " cut at " + std::to_string(limit));
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
    const std::string now = read_file(target);
    EXPECT_EQ(std::tuple(saved, whole ? now.size() == full_size : now == old_bytes),
              std::tuple(whole ? 1 : 0, true));
    EXPECT_EQ(entries_in(dir.root()), 1) << "temporary file left";
  }
  std::signal(SIGXFSZ, handler);
}

// The worked example incident the tests share (Day, January 1, 2000, ...).
inline Event example_event() {
  Event e;
  e.key = pack_time_key(1, 1, 1, 0);
  const std::pair<FieldId, uint32_t> fields[] = {
      {kCol, 10},   {kRow, 20},    {kZip, 3},   {kCouncil, 2}, {kDivision, 2}, {kSuccessful, 2},
      {kInjury, 1}, {kNumo, 2},    {kOrace, 4}, {kOgender, 1}, {kResponse, 1}, {kNums, 1},
      {kSrace, 2},  {kSgender, 1}, {kSage, 2},  {kReason, 1}};
  for (const auto& [field, code] : fields) set_field(e, field, code);
  return e;
}

// An event at a key and cell with the given location codes, other fields 0.
inline Event event_at(uint16_t key, uint32_t row, uint32_t col, uint32_t zip = 0,
                      uint32_t council = 0) {
  Event e;
  e.key = key;
  for (const auto& [field, code] :
       {std::pair{kRow, row}, {kCol, col}, {kZip, zip}, {kCouncil, council}})
    set_field(e, field, code);
  return e;
}

// The record's 16 bytes as event data files hold them, and as "85 00 0A ...".
inline std::string record_bytes(const Event& e) {
  uint8_t bytes[kEventBytes];
  encode_event(e, bytes);
  return std::string(reinterpret_cast<char*>(bytes), kEventBytes);
}
inline std::string record_hex(const Event& e) {
  char text[3 * kEventBytes + 1];
  const std::string bytes = record_bytes(e);
  for (size_t i = 0; i < kEventBytes; ++i)
    std::snprintf(text + 3 * i, 4, "%02X ", uint8_t(bytes[i]));
  return std::string(text, 3 * kEventBytes - 1);
}

}  // namespace valdrin::test
