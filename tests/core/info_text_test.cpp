// The Info text: CR LF appends, the 198-line and 52,223-character limits
// that drop the oldest lines whole, and the saved file's form.
#include "core/info_text.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <tuple>

#include "tests/core/test_files.h"

namespace valdrin {
namespace {

std::string numbered_lines(int first, int count) {
  std::string text;
  for (int i = first; i < first + count; ++i) text += "line " + std::to_string(i) + "\r\n";
  return text;
}

// Appends end in CR LF; at most 198 lines and 52,223 characters stay, the
// oldest lines going whole, the newest kept last.
TEST(InfoText, AppendsKeepTheNewestLinesWithinBothLimits) {
  InfoText info;
  info_append(info, "abc");
  info_append(info, std::string_view("de\0fg", 5));  // a C string ends at its NUL
  EXPECT_EQ(std::tuple(info.text, info_line_count(info.text)), std::tuple("abc\r\nde\r\n", 3u));
  // Six-line reports, each followed by its empty line: 28 whole reports and
  // the empty last line of the one before.
  info_clear(info);
  for (int r = 0; r < 100; ++r) info_append(info, numbered_lines(6 * r, 6));
  EXPECT_EQ(info_line_count(info.text), kInfoMaxLines);
  EXPECT_EQ(info.text.rfind("\r\nline 432\r\n", 0), 0u);
  EXPECT_EQ(info.text.substr(info.text.size() - 12), "line 599\r\n\r\n");
  info_clear(info);  // a report longer than the limit loses its own first lines
  info_append(info, numbered_lines(0, 250));
  EXPECT_EQ(info_line_count(info.text), kInfoMaxLines);
  EXPECT_EQ(info.text.rfind("line 54\r\n", 0), 0u);
  EXPECT_EQ(info.text.substr(info.text.size() - 12), "line 249\r\n\r\n");
  // 150 lines of 400 characters: under the line limit, over the characters.
  const std::string wide(398, 'x');
  for (int i = 0; i < 150; ++i) info_append(info, std::to_string(i % 10) + wide);
  EXPECT_LE(info.text.size(), kInfoMaxChars);
  EXPECT_EQ(info.text.size() % 401, 0u);
  EXPECT_EQ(info.text.substr(info.text.size() - 3), "x\r\n");
  info_append(info, "head" + std::string(60000, 'y') + "tail");  // alone too long: keeps its end
  EXPECT_EQ(std::tuple(info.text.size(), info.text.substr(info.text.size() - 6)),
            std::tuple(kInfoMaxChars, "tail\r\n"));
  info_append(info, "next");
  EXPECT_LE(info.text.size(), kInfoMaxChars);
  EXPECT_EQ(info.text.substr(info.text.size() - 6), "next\r\n");
}

// Saved with spaces for the CRs; "Clear" then "Save" gives an empty file; a
// missing folder fails and leaves nothing behind.
TEST(InfoText, SavedFiles) {
  test::ScratchDir dir;
  InfoText info;
  info_append(info, "From: Day,January,1,2000\r\nTotal Events: 0\r\n");
  ASSERT_EQ(write_info_text(info, dir.path("a.txt").c_str()), 1);
  EXPECT_EQ(test::read_file(dir.path("a.txt")), "From: Day,January,1,2000 \nTotal Events: 0 \n \n");
  info_clear(info);
  ASSERT_EQ(write_info_text(info, dir.path("b.txt").c_str()), 1);
  struct stat st {};
  EXPECT_TRUE(::stat(dir.path("b.txt").c_str(), &st) == 0 && st.st_size == 0);
  info_append(info, "x");
  EXPECT_EQ(write_info_text(info, dir.path("missing/b.txt").c_str()), 0);
  EXPECT_NE(::stat(dir.path("missing").c_str(), &st), 0);
}

}  // namespace
}  // namespace valdrin
