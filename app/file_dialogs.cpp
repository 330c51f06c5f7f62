// The open and save choosers over the swappable dialog runner.
#include "app/file_dialogs.h"

#include <QDir>

#include "core/message.h"

namespace valdrin {

namespace {

std::string folder_of(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

int choose(Program& program, std::string& path, const std::string& extension, bool save) {
  FileDialogs& dialogs = program.dialogs;
  const auto& run = program.services.run_file_dialog;
  if (!run) return 0;
  std::string chosen = run(save, dialogs.dialog_directory, extension);
  if (chosen.empty()) return 0;
  const std::string folder = folder_of(chosen);
  if (save && !chosen.ends_with(extension)) chosen += extension;
  if (chosen.size() >= kPathCapacity) {
    // Cutting the name would write or read a file the user did not choose.
    QDir::setCurrent(QString::fromStdString(dialogs.working_directory));
    show_message("Error", "The chosen path is too long (at most 255 characters)");
    return 0;
  }
  path = chosen;
  dialogs.dialog_directory = folder;
  // The dialog may have moved the current directory; data/ is found from
  // the working directory only.
  QDir::setCurrent(QString::fromStdString(dialogs.working_directory));
  return 1;
}

}  // namespace

void init_file_dialogs(FileDialogs& dialogs) {
  dialogs.working_directory = QDir::currentPath().toStdString();
  dialogs.dialog_directory = dialogs.working_directory;
}

int choose_open_file(Program& program, std::string& path, const std::string& extension) {
  return choose(program, path, extension, false);
}

int choose_save_file(Program& program, std::string& path, const std::string& extension) {
  return choose(program, path, extension, true);
}

}  // namespace valdrin
