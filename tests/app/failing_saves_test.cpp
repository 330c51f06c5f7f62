// The viewer's saves on a disk that fills up half-way: the command tells the
// user with its error box, never "complete", and the file it was to replace
// keeps every byte.
#include <gtest/gtest.h>

#include <QDir>
#include <functional>

#include "app/file_commands.h"
#include "app/file_dialogs.h"
#include "core/time_key.h"
#include "tests/app/app_rig.h"
#include "tests/core/failing_writes.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

TEST(FailingSaves, SaveDataAndExportCsvShowTheirErrorBox) {
  struct Case {
    const char* file;
    std::function<void(Program&)> command;
    const char* done;
    const char* failed;
  };
  const Case cases[] = {
      {"kept.vdr", save_data_command, "Save complete", "Can't save data file!!"},
      {"kept.csv", export_csv_command, "Export complete", "Can't export csv file!!"},
  };
  const QString previous_cwd = QDir::currentPath();
  for (const Case& c : cases) {
    test::ScratchDir dir;
    test::MessageRecorder recorder;
    test::AppRig rig;
    Program& p = *rig.program;
    QDir::setCurrent(QString::fromStdString(dir.root()));
    init_file_dialogs(p.dialogs);
    const std::string target = dir.path(c.file);
    p.dialogs.run = [&](bool, const std::string&, const std::string&) { return target; };
    p.store.count = 300;
    for (uint32_t i = 0; i < p.store.count; ++i)
      p.store.records[i].key = pack_time_key(1, 1 + i % 28, 1 + i % 12, 3);
    const std::string old_bytes(9000, 'o');
    test::write_file(target, old_bytes);
    {
      test::WriteLimit cut(1000);
      c.command(p);
    }
    EXPECT_EQ(test::read_file(target), old_bytes) << c.file;
    EXPECT_EQ(test::entries_in(dir.root()), 1) << c.file;
    ASSERT_EQ(recorder.messages.size(), 1u) << c.file;
    EXPECT_EQ(recorder.messages[0], (std::pair<std::string, std::string>{"Error", c.failed}));
    recorder.messages.clear();
    c.command(p);
    EXPECT_NE(test::read_file(target), old_bytes) << c.file;
    ASSERT_EQ(recorder.messages.size(), 1u) << c.file;
    EXPECT_EQ(recorder.messages[0], (std::pair<std::string, std::string>{"Info", c.done}));
  }
  QDir::setCurrent(previous_cwd);
}

}  // namespace
}  // namespace valdrin
