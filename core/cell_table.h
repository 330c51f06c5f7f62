// The Cell table: for each of the 84 x 66 cells, word 0 with its council
// districts, zip areas and selected flag, and word 1 with its keymap code.
// It is read whole from the selection file and is the only knowledge of
// which areas a cell lies in.
#pragma once

#include <cstdint>

#include "core/event.h"

namespace valdrin {

// Where the program finds the table, relative to its working directory.
constexpr const char* kSelectionPath = "data/selections/default.sel";
constexpr uint32_t kSelectionFileBytes = kCellCount * 8;  // 44,352

// The program holds one CellTable; entry r * 84 + c is row r, column c.
struct CellTable {
  uint32_t words[kCellCount][2];
};

// Word 0 bits.
constexpr uint32_t kSecondCouncilBit = 1u << 0;
constexpr uint32_t kSecondZipBit = 1u << 9;
constexpr uint32_t kSelectedBit = 1u << 30;

inline uint32_t first_council(uint32_t word0) { return (word0 >> 1) & 15u; }
inline uint32_t second_council(uint32_t word0) { return (word0 >> 5) & 15u; }
inline uint32_t first_zip(uint32_t word0) { return (word0 >> 10) & 1023u; }
inline uint32_t second_zip(uint32_t word0) { return (word0 >> 20) & 1023u; }

// Builds word 0 from its parts (the selected flag clear).
uint32_t make_cell_word(uint32_t council1, uint32_t council2, bool has_council2, uint32_t zip1,
                        uint32_t zip2, bool has_zip2);

// Word 1 from four keymap characters, the first in the lowest byte.
uint32_t make_keymap_word(const char code[4]);

// Loads the selection file at `path`: up to 5,544 entries of two
// little-endian words; entries past the end of a short file are zero, bytes
// past the table are not read. Return 1; on a file that cannot be opened or
// read, shows "init_selection(): can't read selection", returns 0 and leaves
// the table as it was.
int init_selection(const char* path, CellTable& table);

}  // namespace valdrin
