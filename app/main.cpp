// valdrin: the viewer. Sets the GL surface format, makes the one Program,
// opens the main window and runs the message loop.
#include <QApplication>
#include <QSurfaceFormat>
#include <memory>

#include "app/main_window.h"
#include "app/shell.h"

int main(int argc, char** argv) {
  // The format must be the default before the application object exists:
  // a depth buffer for the columns, the compatibility profile for the fixed
  // function calls, double buffering.
  QSurfaceFormat format;
  format.setDepthBufferSize(24);
  format.setProfile(QSurfaceFormat::CompatibilityProfile);
  format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
  QSurfaceFormat::setDefaultFormat(format);
  QApplication application(argc, argv);

  auto program = std::make_unique<valdrin::Program>();
  valdrin::install_message_boxes();
  valdrin::MainWindow window(*program);
  window.show();
  return application.exec();
}
