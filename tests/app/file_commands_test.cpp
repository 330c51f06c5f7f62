// The file choosers and the file commands, with scripted dialogs.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <deque>
#include <filesystem>
#include <tuple>

#include "app/file_dialogs.h"
#include "core/csv.h"
#include "tests/app/app_rig.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

// Answers each dialog with the next scripted path ("" cancels) and records
// the folder it was opened in.
class Chooser : public ::testing::Test {
 protected:
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  test::AppRig rig;
  Program& p = *rig.program;
  std::deque<std::string> answers;
  std::vector<std::string> opened_in;
  QString previous_cwd = QDir::currentPath();

  void SetUp() override {
    std::filesystem::create_directories(dir.path("work/data"));
    std::filesystem::create_directories(dir.path("elsewhere"));
    test::write_file(dir.path("work/data/marker"), "x");
    QDir::setCurrent(QString::fromStdString(dir.path("work")));
    init_file_dialogs(p.dialogs);
    p.dialogs.run = [this](bool, const std::string& folder, const std::string&) {
      opened_in.push_back(folder);
      // A real dialog may leave the process in the folder it browsed.
      QDir::setCurrent(QString::fromStdString(dir.path("elsewhere")));
      std::string answer = answers.empty() ? "" : answers.front();
      if (!answers.empty()) answers.pop_front();
      return answer;
    };
  }
  void TearDown() override { QDir::setCurrent(previous_cwd); }
};

// Save appends a missing extension, case for case; open takes the name as
// it is; a name that would not fit whole is refused.
TEST_F(Chooser, ChosenNames) {
  const std::string folder = dir.path("elsewhere/");
  const std::string longest(kPathCapacity - 1 - folder.size() - 4, 'n');  // with ".txt"
  struct Case {
    bool save;
    std::string typed;
    std::string path;  // empty: refused
  };
  const Case cases[] = {{true, "report", "report.txt"},     {true, "REPORT.TXT", "REPORT.TXT.txt"},
                        {true, "report.txt", "report.txt"}, {true, "a.txt.bak", "a.txt.bak.txt"},
                        {false, "report", "report"},        {true, longest + "n", ""},
                        {true, longest, longest + ".txt"}};
  for (const Case& c : cases) {
    answers = {folder + c.typed};
    std::string path = "unchanged";
    const int chosen = c.save ? choose_save_file(p.dialogs, path, ".txt")
                              : choose_open_file(p.dialogs, path, ".txt");
    EXPECT_EQ(chosen, c.path.empty() ? 0 : 1) << c.typed;
    EXPECT_EQ(path, c.path.empty() ? "unchanged" : folder + c.path) << c.typed;
  }
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "Error");
}

TEST_F(Chooser, FoldersAndTheWorkingDirectory) {
  std::string path = "unchanged";
  answers = {""};
  EXPECT_EQ(choose_open_file(p.dialogs, path, ".vdr"), 0);
  EXPECT_EQ(path, "unchanged");
  answers = {dir.path("elsewhere/shot.bmp"), dir.path("elsewhere/data.vdr"), ""};
  ASSERT_EQ(choose_save_file(p.dialogs, path, ".bmp"), 1);
  // Data files are found again: the working directory is back.
  EXPECT_EQ(QDir::currentPath().toStdString(), dir.path("work"));
  EXPECT_TRUE(std::filesystem::exists("data/marker"));
  ASSERT_EQ(choose_open_file(p.dialogs, path, ".vdr"), 1);
  EXPECT_EQ(choose_open_file(p.dialogs, path, ".vdr"), 0);  // cancelled
  ASSERT_EQ(opened_in.size(), 4u);
  EXPECT_EQ(opened_in[0], dir.path("work"));
  EXPECT_EQ(opened_in[1], dir.path("work"));
  // The next dialog opens where the last file was chosen, whatever kind.
  EXPECT_EQ(opened_in[2], dir.path("elsewhere/"));
  EXPECT_EQ(opened_in[3], dir.path("elsewhere/"));
  EXPECT_EQ(p.dialogs.dialog_directory, dir.path("elsewhere/"));
  EXPECT_EQ(p.dialogs.working_directory, dir.path("work"));
}

std::string two_records() {
  std::string bytes;
  for (uint16_t key : {0x1084, 0x1090}) {
    Event e;
    e.key = key;
    set_field(e, kRow, 5);
    set_field(e, kCol, 6);
    uint8_t raw[kEventBytes];
    encode_event(e, raw);
    bytes.append(reinterpret_cast<char*>(raw), kEventBytes);
  }
  return bytes;
}

// Each command's messages, in order, and what it did to the program.
TEST_F(Chooser, FileCommandsSayHowTheyWent) {
  const std::string in = dir.path("elsewhere/");
  test::write_file(in + "good.vdr", two_records());
  test::write_file(in + "in.csv", "header\n2000,1,1,B,,45,10,1,CENTRAL\n");
  answers = {in + "good.vdr", in + "missing.vdr", "",          in + "copy", in + "no/such/x",
             in + "out",      in + "in.csv",      in + "x.csv"};
  load_data_command(p);
  EXPECT_EQ(p.store.count, 2u);
  EXPECT_EQ(p.query.key, 0x1085);  // the reset gave the First key a shift
  EXPECT_EQ(p.playback.range_max, 0x1090);
  EXPECT_EQ(rig.rebuilds, 2);  // the reset's and the command's own
  load_data_command(p);
  load_data_command(p);  // cancelled
  EXPECT_EQ(std::tuple(p.store.count, rig.rebuilds), std::tuple(2u, 2));
  save_data_command(p);
  save_data_command(p);
  export_csv_command(p);
  EXPECT_EQ(test::read_file(in + "copy.vdr"), two_records());
  EXPECT_EQ(test::read_file(in + "out.csv").substr(0, 30), "START\n-NA-,January,1,2002\nEND\n");
  import_csv_command(p);
  EXPECT_EQ(p.store.count, 1u);
  import_csv_command(p);
  EXPECT_EQ(p.store.count, 1u);
  std::string log;
  for (const auto& [caption, text] : recorder.messages) log += caption + ": " + text + "\n";
  EXPECT_EQ(log,
            "Info: Load complete\nERROR: read_records(): fopen error\n"
            "Error: Can't load data file!!\nInfo: Save complete\nError: Can't save data file!!\n"
            "Info: Export complete\nInfo: Load complete\nError: Can't load csv file!!\n");
}

TEST_F(Chooser, GenerateNeedsAZipArea) {
  generate_data_command(p);  // an all-zero cell table
  EXPECT_EQ(p.store.count, 0u);
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(rig.rebuilds, 0);
  p.cells.words[100][0] = make_cell_word(1, 0, false, 9, 0, false);
  generate_data_command(p);
  EXPECT_EQ(p.store.count, kGenerateCount);
  EXPECT_EQ(rig.rebuilds, 1);
  EXPECT_NE(p.query.key & 3u, 0u);
  EXPECT_EQ(p.query.key >> 2, p.time.first_key >> 2);
}

}  // namespace
}  // namespace valdrin
