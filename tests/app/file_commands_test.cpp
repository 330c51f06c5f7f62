// The file choosers and the file commands, with scripted dialogs.
#include "app/file_commands.h"

#include <gtest/gtest.h>

#include <QDir>
#include <deque>
#include <filesystem>

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

TEST_F(Chooser, SaveAppendsAMissingExtensionCaseForCase) {
  struct Case {
    const char* typed;
    const char* saved;
  };
  for (const Case c : {Case{"report", "report.txt"}, Case{"REPORT.TXT", "REPORT.TXT.txt"},
                       Case{"report.txt", "report.txt"}, Case{"a.txt.bak", "a.txt.bak.txt"}}) {
    answers = {dir.path("elsewhere/") + c.typed};
    std::string path;
    ASSERT_EQ(choose_save_file(p.dialogs, path, ".txt"), 1);
    EXPECT_EQ(path, dir.path("elsewhere/") + c.saved);
  }
  // The open chooser takes the name as it is.
  answers = {dir.path("elsewhere/report")};
  std::string path;
  ASSERT_EQ(choose_open_file(p.dialogs, path, ".txt"), 1);
  EXPECT_EQ(path, dir.path("elsewhere/report"));
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

TEST_F(Chooser, APathThatWouldNotFitIsRefused) {
  const std::string folder = dir.path("elsewhere/");
  const std::string name(kPathCapacity - 1 - folder.size() - 2, 'n');  // fits without ".txt"
  answers = {folder + name};
  std::string path = "unchanged";
  EXPECT_EQ(choose_save_file(p.dialogs, path, ".txt"), 0);
  EXPECT_EQ(path, "unchanged");
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0].first, "Error");
  answers = {folder + name};
  EXPECT_EQ(choose_open_file(p.dialogs, path, ".txt"), 1);
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

TEST_F(Chooser, LoadDataGoodMissingAndCancelled) {
  test::write_file(dir.path("elsewhere/good.vdr"), two_records());
  answers = {dir.path("elsewhere/good.vdr")};
  load_data_command(p);
  EXPECT_EQ(p.store.count, 2u);
  EXPECT_EQ(p.query.key, 0x1085);  // the reset gave the First key a shift
  EXPECT_EQ(p.playback.range_max, 0x1090);
  EXPECT_EQ(rig.rebuilds, 2);  // the reset's and the command's own
  ASSERT_EQ(recorder.messages.size(), 1u);
  EXPECT_EQ(recorder.messages[0], (std::pair<std::string, std::string>{"Info", "Load complete"}));

  recorder.messages.clear();
  answers = {dir.path("elsewhere/missing.vdr")};
  load_data_command(p);
  EXPECT_EQ(p.store.count, 2u);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[0],
            (std::pair<std::string, std::string>{"ERROR", "read_records(): fopen error"}));
  EXPECT_EQ(recorder.messages[1],
            (std::pair<std::string, std::string>{"Error", "Can't load data file!!"}));

  recorder.messages.clear();
  answers = {""};
  load_data_command(p);
  EXPECT_TRUE(recorder.messages.empty());
  EXPECT_EQ(rig.rebuilds, 2);
}

TEST_F(Chooser, SaveImportExportSayHowItWent) {
  test::write_file(dir.path("elsewhere/in.vdr"), two_records());
  answers = {dir.path("elsewhere/in.vdr"), dir.path("elsewhere/copy"),
             dir.path("elsewhere/no/such/dir/x"), dir.path("elsewhere/out")};
  load_data_command(p);
  save_data_command(p);
  save_data_command(p);
  export_csv_command(p);
  EXPECT_EQ(test::read_file(dir.path("elsewhere/copy.vdr")), two_records());
  EXPECT_TRUE(std::filesystem::exists(dir.path("elsewhere/out.csv")));
  ASSERT_EQ(recorder.messages.size(), 4u);
  EXPECT_EQ(recorder.messages[1].second, "Save complete");
  EXPECT_EQ(recorder.messages[2].first, "Error");
  EXPECT_EQ(recorder.messages[3].second, "Export complete");

  recorder.messages.clear();
  test::write_file(dir.path("elsewhere/in.csv"), "header\n2000,1,1,B,,45,10,1,CENTRAL\n");
  answers = {dir.path("elsewhere/in.csv"), dir.path("elsewhere/missing.csv")};
  import_csv_command(p);
  EXPECT_EQ(p.store.count, 1u);
  import_csv_command(p);
  EXPECT_EQ(p.store.count, 1u);
  ASSERT_EQ(recorder.messages.size(), 2u);
  EXPECT_EQ(recorder.messages[0].second, "Load complete");
  EXPECT_EQ(recorder.messages[1],
            (std::pair<std::string, std::string>{"Error", "Can't load csv file!!"}));
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
