// The main window "Valdrin 1.0d": the GL view as central widget, the menu
// bar and command dispatch, timer 1, and both ways out. It builds the five
// panels over the view once the scene stands and keeps them in
// Program::panels; they are its children and go with it.
#pragma once

#include <QMainWindow>
#include <QTimer>

#include "app/gl_view.h"
#include "app/navigation.h"
#include "app/program.h"

class QCloseEvent;
class QShowEvent;

namespace valdrin {

// Menu command ids; 3, 4, 5 and 9 are not used.
enum CommandId : int {
  kCommandLoadData = 1,
  kCommandGenerateData = 2,
  kCommandAbout = 6,
  kCommandSaveSnapshot = 7,
  kCommandPrint = 8,
  kCommandQuit = 10,
  kCommandShowGisPanel = 11,
  kCommandShowQueryPanel = 12,
  kCommandShowTimelinePanel = 13,
  kCommandShowInfoPanel = 14,
  kCommandDefaultLocation = 21,
  kCommandSavedLocation = 22,
  kCommandDefaultTime = 31,
  kCommandSavedTime = 32,
  kCommandDefaultQuery = 41,
  kCommandSavedQuery = 42,
};

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Program& program);
  // Forgets the panels and the refresh, which go with the window, so that
  // the program holds nothing that points into it.
  ~MainWindow() override;

  GlView* view() const { return view_; }
  QTimer& timer() { return timer_; }

  // Runs a menu command; every command but Quit ends with a redraw.
  void on_command(int id);
  // A timer's tick: timer 1 steps a playing Time window and redraws.
  void on_timer(int id);
  // The Quit command: stop the timer, release the scene, close the window.
  void quit_app();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void build_menu();
  void start_up_with_context();
  // Builds the five panels in start-up order into Program::panels.
  void create_panels();
  // "Show ... Panel" and "About..": visible where it was, or unchanged.
  void show_panel(Panel* panel);

  Program& program_;
  GlView* view_;
  // The timeline logic's view of the program for the Timeline Panel and
  // the tick: rebuild, refresh the panel, draw.
  TimelineSources timeline_;
  QTimer timer_;
  bool sized_ = false;
};

}  // namespace valdrin
