// The Info Panel's text: the program's one text output, where every
// Statistics report lands. The text is kept here as plain data with CR LF
// line ends; the panel widget only shows it. Appending keeps the newest 198
// logical lines and never more than 52,223 characters (what a 52,224-byte
// read-back buffer holds), dropping the oldest lines whole.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace valdrin {

constexpr size_t kInfoBufferSize = 52224;
constexpr size_t kInfoMaxChars = kInfoBufferSize - 1;
constexpr size_t kInfoMaxLines = 198;

// The program holds one InfoText.
struct InfoText {
  std::string text;  // CR LF line ends; at most kInfoMaxChars characters
};

// Logical lines as the text box counts them: one more than the line breaks,
// so the empty line after a final line break counts, and "" is one line.
size_t info_line_count(std::string_view text);

// Appends `text` (up to its first NUL, as a C string would end) and CR LF,
// then removes the oldest lines, each with its line break, while there are
// more than 198 lines or more than 52,223 characters. A single line longer
// than the character limit keeps its end. Showing the panel and scrolling it
// to the end is the caller's part.
void info_append(InfoText& info, std::string_view text);

// "Clear": the empty text.
void info_clear(InfoText& info);

// The text as a saved file holds it: every CR turned into a space, the LFs
// kept as the line ends of this platform.
std::string info_file_text(const InfoText& info);

// Writes info_file_text to `path` as a whole file. Return 1 when the file
// holds exactly that text; 0 when it could not be created or written, and
// then nothing was written anywhere.
int write_info_text(const InfoText& info, const char* path);

}  // namespace valdrin
