// valdrin: the viewer. Sets the GL surface format, makes the one Program,
// shows the main window (which then sets up the scene and the panels) and
// runs the message loop.
#include <QApplication>
#include <memory>

#include "app/main_window.h"
#include "app/shell.h"

int main(int argc, char** argv) {
  valdrin::set_default_surface_format();
  QApplication application(argc, argv);

  auto program = std::make_unique<valdrin::Program>();
  valdrin::install_message_boxes();
  valdrin::MainWindow window(*program);
  window.show();
  return application.exec();
}
