// The main window "Valdrin 1.0d": the GL view as central widget, the menu
// bar, timer 1 and command dispatch, and both ways out.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include "app/gl_view.h"
#include "app/program.h"

class QCloseEvent;
class QShowEvent;

namespace valdrin {

// Menu command ids.
enum CommandId : int { kCommandQuit = 10 };

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Program& program);

  GlView* view() const { return view_; }

  // Runs a menu command; every command but Quit ends with a redraw.
  void on_command(int id);
  // Timer 1's tick: the periodic redraw.
  void on_timer(int id);
  // The Quit command: stop the timer, release the scene, close the window.
  void quit_app();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menu();
  void start_up_with_context();

  Program& program_;
  GlView* view_;
  QTimer timer_;
  bool sized_ = false;
};

}  // namespace valdrin
