// valdrin: the viewer. Sets the GL surface format, makes the one Program,
// shows the main window (which then sets up the scene and the panels) and
// runs the message loop.
#include <QApplication>
#include <clocale>
#include <memory>

#include "app/main_window.h"
#include "app/shell.h"

int main(int argc, char** argv) {
  valdrin::set_default_surface_format();
  QApplication application(argc, argv);
  // QApplication has set the C library's locale from the environment. The
  // viewer's number formats are fixed, as valdrin-cli's are: numbers are
  // read and written with '.' whatever the user's language.
  std::setlocale(LC_NUMERIC, "C");

  auto program = std::make_unique<valdrin::Program>();
  valdrin::install_message_boxes();
  valdrin::MainWindow window(*program);
  window.show();
  return application.exec();
}
