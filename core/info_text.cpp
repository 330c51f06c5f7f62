// The Info text's limits and its saved form.
#include "core/info_text.h"

#include <algorithm>

#include "core/whole_file.h"

namespace valdrin {

namespace {

// Removes the first line with its line break; a text of one line is left
// alone (it has no line break to remove with it). Return 1 when it removed.
int drop_first_line(std::string& text) {
  const size_t end = text.find('\n');
  if (end == std::string::npos) return 0;
  text.erase(0, end + 1);
  return 1;
}

}  // namespace

size_t info_line_count(std::string_view text) {
  return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
}

void info_append(InfoText& info, std::string_view text) {
  const size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  info.text.append(text);
  info.text.append("\r\n");
  while (info_line_count(info.text) > kInfoMaxLines && drop_first_line(info.text)) {
  }
  // By characters, lines go while more than the newest one is left.
  while (info.text.size() > kInfoMaxChars && info.text.find('\n') != info.text.rfind('\n') &&
         drop_first_line(info.text)) {
  }
  // The newest line alone is too long: keep its end, the final line break
  // among it, so that the newest text stays in view.
  if (info.text.size() > kInfoMaxChars) info.text.erase(0, info.text.size() - kInfoMaxChars);
}

void info_clear(InfoText& info) { info.text.clear(); }

std::string info_file_text(const InfoText& info) {
  std::string out = info.text;
  std::replace(out.begin(), out.end(), '\r', ' ');
  return out;
}

int write_info_text(const InfoText& info, const char* path) {
  const std::string out = info_file_text(info);
  return save_whole_file(path, [&out](std::FILE* file) {
    return std::fwrite(out.data(), 1, out.size(), file) == out.size() ? 1 : 0;
  });
}

}  // namespace valdrin
