// valdrin: the viewer. Reads the command line first (--help and --version
// need no display), forgets the settings when asked, makes sure OpenGL is
// there, finds the data folder, makes the one Program with the saved
// choices in it, shows the main window (which then sets up the scene and
// the panels, and finishes start-up as the command line asks), runs the
// message loop, and keeps the settings when the loop ends.
#include <QApplication>
#include <QSettings>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <memory>

#include "app/command_line.h"
#include "app/main_window.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/start_up.h"
#include "core/data_folder.h"
#include "core/message.h"

int main(int argc, char** argv) {
  using namespace valdrin;
  StartOptions options;
  const std::string error = parse_start_options(argc, argv, options);
  if (!error.empty()) {
    std::fprintf(stderr, "valdrin: %s (try --help)\n", error.c_str());
    return 2;
  }
  if (options.help || options.version) {
    std::fputs(options.help ? kStartUsage : "valdrin " VALDRIN_VERSION "\n", stdout);
    return 0;
  }
  if (options.reset_settings && !forget_user_settings())
    std::fprintf(stderr, "valdrin: can't remove %s\n", user_settings_path().c_str());

  set_default_surface_format();
  // The command line is the viewer's own: Qt gets none of it.
  int qt_argc = 1;
  QApplication application(qt_argc, argv);
  // QApplication has set the C library's locale from the environment. The
  // viewer's number formats are fixed, as valdrin-cli's are: numbers are
  // read and written with '.' whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");
  if (const std::string missing = opengl_unavailable(); !missing.empty()) {
    std::fputs(missing.c_str(), stderr);
    return 1;
  }

  QSettings store(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                  kSettingsApplication);
  const ViewerSettings saved = load_settings(store);
  // A damaged value keeps its first-start value; the user hears which and why.
  for (const QString& refused : saved.refused)
    std::fprintf(stderr, "valdrin: %s: %s; the first-start value is kept\n",
                 store.fileName().toLocal8Bit().constData(), refused.toLocal8Bit().constData());
  auto program = std::make_unique<Program>();
  options.quit_after_start ? install_message_printer() : install_message_boxes();
  const DataFolderSearch search =
      find_data_folder(options.data, data_folder_candidates(executable_path(argv[0])));
  if (search.folder.empty())
    show_message("ERROR", data_folder_error(search).c_str());
  else
    program->data_dir = search.folder;
  apply_saved_choices(*program, saved);

  MainWindow window(*program);
  if (saved.window_size) window.set_first_client_size(*saved.window_size);
  apply_saved_window_place(window, saved);
  window.set_after_set_up([&] {
    finish_start_up(*program, options, saved);
    if (!options.quit_after_start) return;
    std::printf("%s\n", start_summary(*program).c_str());
    std::fflush(stdout);
    QTimer::singleShot(0, &window, [&window] { window.quit_app(); });
  });
  window.show();
  const int code = application.exec();
  if (!save_settings(store, current_settings(*program, window)))
    std::fprintf(stderr, "valdrin: can't write the settings to %s\n",
                 store.fileName().toLocal8Bit().constData());
  return code;
}
