// Scratch folders, file helpers and the message recorder for the tests.
#include "tests/core/test_files.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

namespace valdrin::test {

ScratchDir::ScratchDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "valdrin-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("can't make " + pattern);
  root_ = pattern;
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

std::vector<uint8_t> hex_bytes(const std::string& hex) {
  std::istringstream in(hex);
  std::vector<uint8_t> bytes;
  for (unsigned value; in >> std::hex >> value;) bytes.push_back(static_cast<uint8_t>(value));
  return bytes;
}

std::vector<std::string> split(const std::string& text, char between) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, between);) parts.push_back(part);
  return parts;
}

static void record(void* context, const char* caption, const char* text) {
  static_cast<MessageRecorder*>(context)->messages.emplace_back(caption, text);
}
MessageRecorder::MessageRecorder() : previous_(set_message_sink(MessageSink{record, this})) {}

MessageRecorder::~MessageRecorder() { set_message_sink(previous_); }

}  // namespace valdrin::test
