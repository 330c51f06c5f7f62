// Loading the Cell table from its selection file.
#include "core/cell_table.h"

#include <cstdio>
#include <cstring>

#include "core/message.h"

namespace valdrin {

uint32_t make_cell_word(uint32_t council1, uint32_t council2, bool has_council2, uint32_t zip1,
                        uint32_t zip2, bool has_zip2) {
  return (has_council2 ? kSecondCouncilBit : 0u) | ((council1 & 15u) << 1) |
         ((council2 & 15u) << 5) | (has_zip2 ? kSecondZipBit : 0u) | ((zip1 & 1023u) << 10) |
         ((zip2 & 1023u) << 20);
}

uint32_t make_keymap_word(const char code[4]) {
  uint32_t word = 0;
  for (int i = 0; i < 4; ++i)
    word |= static_cast<uint32_t>(static_cast<unsigned char>(code[i])) << (8 * i);
  return word;
}

int init_selection(const char* path, CellTable& table) {
  std::FILE* file = std::fopen(path, "rb");
  static uint8_t bytes[kSelectionFileBytes];
  size_t got = 0;
  bool failed = file == nullptr;
  if (file != nullptr) {
    got = std::fread(bytes, 1, sizeof bytes, file);
    failed = std::ferror(file) != 0;
    std::fclose(file);
  }
  if (failed) {
    show_message("ERROR", "init_selection(): can't read selection");
    return 0;
  }
  std::memset(&table, 0, sizeof table);
  const size_t entries = got / 8;  // a torn last entry is not taken
  for (size_t i = 0; i < entries; ++i) {
    for (int w = 0; w < 2; ++w) {
      const uint8_t* p = bytes + i * 8 + w * 4;
      table.words[i][w] = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                          (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
    }
  }
  return 1;
}

}  // namespace valdrin
