// The main window: start-up order, menu, timer, dispatch and shutdown.
#include "app/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QMenuBar>

#include "app/shell.h"

namespace valdrin {

namespace {
constexpr int kTimerId = 1;
constexpr int kTimerMs = 500;
constexpr int kOuterWidth = 1024;
constexpr int kOuterHeight = 768;
}  // namespace

MainWindow::MainWindow(Program& program)
    : program_(program),
      view_(new GlView(
          program, [this] { start_up_with_context(); }, this)) {
  setObjectName("mainw");
  setWindowTitle("Valdrin 1.0d");
  setCentralWidget(view_);
  resize(kOuterWidth, kOuterHeight);
  build_menu();
  timer_.setInterval(kTimerMs);
  connect(&timer_, &QTimer::timeout, this, [this] { on_timer(kTimerId); });
  timer_.start();
}

void MainWindow::build_menu() {
  QMenu* file = menuBar()->addMenu("File");
  QAction* quit = file->addAction("Quit");
  quit->setData(kCommandQuit);
  connect(menuBar(), &QMenuBar::triggered, this,
          [this](QAction* action) { on_command(action->data().toInt()); });
}

void MainWindow::start_up_with_context() {
  // What follows the scene in start-up and needs the context: the Timeline
  // Panel's creation runs the time-window reset.
  reset_timeline(program_);
}

void MainWindow::on_command(int id) {
  switch (id) {
    case kCommandQuit: quit_app(); return;
    default: break;
  }
  view_->present_frame();
}

void MainWindow::on_timer(int id) {
  if (id != kTimerId) return;
  view_->present_frame();
}

void MainWindow::quit_app() {
  timer_.stop();
  view_->release_scene();
  close();
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (sized_) return;
  sized_ = true;
  // The outer frame is 1024 x 768: take the window manager's decorations,
  // if any, off the client size.
  const QSize frame = frameGeometry().size();
  const QSize inner = geometry().size();
  resize(kOuterWidth - (frame.width() - inner.width()),
         kOuterHeight - (frame.height() - inner.height()));
}

void MainWindow::closeEvent(QCloseEvent* event) {
  // Both ways out, the Quit command and the close box, end here; the loop
  // then returns 0.
  QMainWindow::closeEvent(event);
  if (event->isAccepted()) QCoreApplication::exit(0);
}

}  // namespace valdrin
