// The cell read-out text.
#include "core/readout.h"

#include <cstdio>

namespace valdrin {

std::string cell_readout(const CellTable& table, const AreaTable& areas, const CountTables& counts,
                         int16_t row, int16_t col) {
  if (row < 0 || row >= kGridRows || col < 0 || col >= kGridCols) return {};
  const int cell = row * kGridCols + col;
  const uint32_t word0 = table.words[cell][0];
  const uint32_t word1 = table.words[cell][1];
  char line[64];
  std::snprintf(line, sizeof line, "Row %d, Column %d\nEvents: %u\n", row, col, counts.cells[cell]);
  std::string text = line;

  // A code that starts with '.' (outside the city) or with nothing (no cell
  // table) names no page: the grid position stands in for it.
  char keymap[5] = {};
  for (int i = 0; i < 4; ++i) {
    const char c = static_cast<char>((word1 >> (8 * i)) & 0xFFu);
    if (c == '\0') break;
    keymap[i] = c;
  }
  if (keymap[0] == '\0' || keymap[0] == '.')
    std::snprintf(line, sizeof line, "Keymap (%d, %d)", row, col);
  else
    std::snprintf(line, sizeof line, "Keymap %s", keymap);
  text += line;

  auto add = [&text, &line](const char* format, unsigned value) {
    std::snprintf(line, sizeof line, format, value);
    text += '\n';
    text += line;
  };
  if (first_zip(word0) != 0) add("Zip Code %u", zip_code(areas, first_zip(word0)));
  if ((word0 & kSecondZipBit) != 0 && second_zip(word0) != 0)
    add("Zip Code %u", zip_code(areas, second_zip(word0)));
  if (first_council(word0) != 0) add("Council District %c", 64 + first_council(word0));
  if ((word0 & kSecondCouncilBit) != 0 && second_council(word0) != 0)
    add("Council District %c", 64 + second_council(word0));
  return text;
}

}  // namespace valdrin
