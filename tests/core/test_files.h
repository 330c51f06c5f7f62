// Test helpers every suite includes (with GoogleTest and the shared standard headers): scratch
// folders, whole files, table rows, a message recorder, saves cut short, example events.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/event.h"
#include "core/message.h"
#include "core/time_key.h"

namespace valdrin::test {

struct ScratchDir {  // a fresh folder under the temporary folder, removed afterwards
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  std::string path(const std::string& name) const { return root_ + "/" + name; }
  const std::string& root() const { return root_; }
  std::string root_;
};

void write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);
std::string hex_bytes(const std::string& hex);                          // "85 00 0A"
std::vector<std::string> split(const std::string& text, char between);  // rows of a table

struct MessageRecorder {  // "Caption: text\n" each, the main window's own marked "(owned)"
  std::string log;
  MessageSink previous;
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
};

// A save of `full_size` bytes is whole or nothing: it succeeds (1) with room for all of it; cut
// short by the file size limit it fails (0), leaving the old file and no temporary file.
int entries_in(const std::string& dir);
void check_whole_or_nothing(const std::string& name, size_t full_size,
                            const std::function<int(const char*)>& save);

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
