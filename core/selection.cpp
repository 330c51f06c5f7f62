// Area selection and the Statistics report.
#include "core/selection.h"

#include <cstdarg>
#include <cstdio>

#include "core/text.h"
#include "core/time_key.h"

namespace valdrin {

namespace {

bool in_grid(int16_t row, int16_t col) {
  return row >= 0 && row < kGridRows && col >= 0 && col < kGridCols;
}

// Appends to a fixed text that is cut, never overrun, at its size.
struct ReportText {
  char text[kReportSize] = {};
  size_t length = 0;

  [[gnu::format(printf, 2, 3)]] void append(const char* format, ...) {
    if (length >= kReportSize - 1) return;
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(text + length, kReportSize - length, format, args);
    va_end(args);
    if (n > 0) length += static_cast<size_t>(n);
    if (length > kReportSize - 1) length = kReportSize - 1;
  }
};

uint32_t zip_count(const CountTables& counts, uint32_t zip) {
  return zip <= kMaxZipIndex ? counts.zip[zip] : 0;
}

uint32_t council_count(const CountTables& counts, uint32_t council) {
  return council <= kMaxCouncil ? counts.council[council] : 0;
}

}  // namespace

int select_area(CellTable& table, uint8_t mode, int16_t row, int16_t col) {
  if (!in_grid(row, col)) return 0;
  uint32_t(&clicked)[2] = table.words[row * kGridCols + col];
  const uint32_t word0 = clicked[0];
  const uint32_t k1 = first_council(word0);
  const uint32_t k2 = second_council(word0);
  const bool k = (word0 & kSecondCouncilBit) != 0;
  const uint32_t z1 = first_zip(word0);
  const uint32_t z2 = second_zip(word0);
  const bool z = (word0 & kSecondZipBit) != 0;
  for (auto& entry : table.words) {
    // Both codes of every cell compare, whatever its own present bits say.
    const uint32_t c1 = first_council(entry[0]);
    const uint32_t c2 = second_council(entry[0]);
    const uint32_t y1 = first_zip(entry[0]);
    const uint32_t y2 = second_zip(entry[0]);
    const bool council =
        (k1 != 0 && (c1 == k1 || c2 == k1)) || (k && k2 != 0 && (c1 == k2 || c2 == k2));
    const bool zip =
        (z1 != 0 && (y1 == z1 || y2 == z1)) || (z && z2 != 0 && (y1 == z2 || y2 == z2));
    const bool selected = (mode == kSelectCouncil && council) || (mode == kSelectZip && zip);
    entry[0] = selected ? (entry[0] | kSelectedBit) : (entry[0] & ~kSelectedBit);
  }
  if (mode == kSelectKeymap) clicked[0] |= kSelectedBit;
  return 1;
}

void clear_selection(CellTable& table) {
  for (auto& entry : table.words) entry[0] &= ~kSelectedBit;
}

std::string compose_report(const CellTable& table, const AreaTable& areas, int16_t row, int16_t col,
                           const CountTables& counts, const TimeState& time, const Event& query) {
  const bool valid = in_grid(row, col);
  const uint32_t word0 = valid ? table.words[row * kGridCols + col][0] : 0;
  const uint32_t word1 = valid ? table.words[row * kGridCols + col][1] : 0;
  const uint32_t cell_count = valid ? counts.cells[row * kGridCols + col] : 0;
  const uint32_t total = counts.total;
  const float f = total != 0 ? 100.0f / static_cast<float>(total) : 0.0f;
  auto share = [f](uint32_t count) {
    return FixedText(static_cast<double>(static_cast<float>(count) * f), 2);
  };

  ReportText report;
  char label[kDateLabelSize];
  format_time_key(time.window_start, label);
  report.append("From: %s\r\n", label);
  format_time_key(query.key, label);
  report.append("To: %s\r\n", label);
  report.append("Total Events: %u\r\n", total);

  char keymap[24];
  if ((word1 & 0xFFu) == '.') {
    std::snprintf(keymap, sizeof keymap, "(%u, %u)", static_cast<unsigned>(row),
                  static_cast<unsigned>(col));
  } else {
    int n = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = static_cast<char>((word1 >> (8 * i)) & 0xFFu);
      if (c == '\0') break;
      keymap[n++] = c;
    }
    keymap[n] = '\0';
  }
  report.append("Keymap %s: %u, %s%%\r\n", keymap, cell_count, share(cell_count).text);

  const uint32_t z1 = first_zip(word0);
  const uint32_t z2 = second_zip(word0);
  if (z1 != 0)
    report.append("Zip Code %u: %u, %s%%\r\n", zip_code(areas, z1), zip_count(counts, z1),
                  share(zip_count(counts, z1)).text);
  if ((word0 & kSecondZipBit) != 0)
    report.append("Zip Code %u: %u, %s%%\r\n", zip_code(areas, z2), zip_count(counts, z2),
                  share(zip_count(counts, z2)).text);
  const uint32_t k1 = first_council(word0);
  const uint32_t k2 = second_council(word0);
  if (k1 != 0)
    report.append("Council District %c: %u, %s%%\r\n", static_cast<char>(64 + k1),
                  council_count(counts, k1), share(council_count(counts, k1)).text);
  if ((word0 & kSecondCouncilBit) != 0)
    report.append("Council District %c: %u, %s%%\r\n", static_cast<char>(64 + k2),
                  council_count(counts, k2), share(council_count(counts, k2)).text);
  return std::string(report.text, report.length);
}

}  // namespace valdrin
