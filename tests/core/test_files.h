// Test helpers: a scratch folder per test, whole-file read and write, table
// rows, and a message recorder installed as the core's sink while it lives.
// Every suite includes this, so it also brings in GoogleTest and the
// standard headers the suites share, instead of each listing them again.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "core/message.h"

namespace valdrin::test {

class ScratchDir {  // a fresh folder under the temporary folder, removed afterwards
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  std::string path(const std::string& name) const { return root_ + "/" + name; }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

void write_file(const std::string& path, const std::string& bytes);
inline void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  write_file(path, std::string(bytes.begin(), bytes.end()));
}
std::string read_file(const std::string& path);
std::vector<uint8_t> hex_bytes(const std::string& hex);                 // "85 00 0A"
std::vector<std::string> split(const std::string& text, char between);  // rows of a table

class MessageRecorder {
 public:
  MessageRecorder();
  ~MessageRecorder();
  MessageRecorder(const MessageRecorder&) = delete;
  std::vector<std::pair<std::string, std::string>> messages;  // caption, text

 private:
  MessageSink previous_;
};

}  // namespace valdrin::test
