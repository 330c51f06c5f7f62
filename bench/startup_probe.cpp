// Start-up to the first frame on screen, measured the way the viewer starts:
// the same surface format, Program, message boxes and main window as
// app/main.cpp, then the time at which the GL view has swapped its first
// frame, counted from the process's own start (as the kernel records it,
// 10 ms ticks) and from main(). Prints both and quits. Run it from the
// source tree, under an X server:
//   xvfb-run -a build/bench/startup_probe
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

#include "app/main_window.h"
#include "app/shell.h"

namespace {

double boot_seconds() {
  timespec now;
  clock_gettime(CLOCK_BOOTTIME, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Field 22 of /proc/self/stat: the process's start in clock ticks since boot.
// The command name (field 2) may hold spaces, so fields are counted from the
// ')' that closes it.
double process_start_seconds() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream rest(text.substr(text.rfind(')') + 1));
  std::string field;
  for (int f = 3; f <= 22; ++f) rest >> field;
  return static_cast<double>(std::stoull(field)) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

}  // namespace

int main(int argc, char** argv) {
  const double at_main = boot_seconds();
  valdrin::set_default_surface_format();
  QApplication application(argc, argv);

  auto program = std::make_unique<valdrin::Program>();
  valdrin::install_message_boxes();
  valdrin::MainWindow window(*program);
  bool seen = false;
  QObject::connect(window.view(), &QOpenGLWidget::frameSwapped, [&] {
    if (seen || program->set_up_runs == 0) return;  // the scene's first frame
    seen = true;
    const double now = boot_seconds();
    std::printf("first frame: %.3f s after the process started, %.3f s after main()\n",
                now - process_start_seconds(), now - at_main);
    QTimer::singleShot(0, &application, &QApplication::quit);
  });
  window.show();
  return application.exec();
}
