// The main window "Valdrin 1.0d": the GL view as central widget, the menu
// bar and command dispatch, timer 1, and both ways out. Start-up shows it
// and starts the timer first; once it is up, set_up builds the scene, the
// menu and the five panels, once in a run. The panels are its children,
// kept in Program::panels, and go with it. It installs the platform's
// services in Program::services. A .vdr file dropped on it loads as "Load
// Data.." loads the file it chooses.
#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <optional>
#include <string>

#include "app/gl_view.h"
#include "app/navigation.h"
#include "app/program.h"

class QCloseEvent;
class QDragEnterEvent;
class QDropEvent;
class QMimeData;
class QShowEvent;

namespace valdrin {

// Menu command ids; 3, 4, 5 and 9 are not used.
// clang-format off
enum CommandId : int {
  kCommandLoadData = 1,           kCommandGenerateData = 2,
  kCommandAbout = 6,              kCommandSaveSnapshot = 7,
  kCommandPrint = 8,              kCommandQuit = 10,
  kCommandShowGisPanel = 11,      kCommandShowQueryPanel = 12,
  kCommandShowTimelinePanel = 13, kCommandShowInfoPanel = 14,
  kCommandShowAnalysisPanel = 15,
  kCommandDefaultLocation = 21,   kCommandSavedLocation = 22,
  kCommandDefaultTime = 31,       kCommandSavedTime = 32,
  kCommandDefaultQuery = 41,      kCommandSavedQuery = 42,
};
// clang-format on

class MainWindow : public QMainWindow {
 public:
  explicit MainWindow(Program& program);
  // Forgets the panels and the services, which go with the window, so
  // that the program holds nothing that points into it.
  ~MainWindow() override;

  GlView* view() const { return view_; }
  QTimer& timer() { return timer_; }

  // The rest of start-up once the window is up: the scene (with the view's
  // context current), the menu, the working directory and the file
  // dialogs, then the panels, of which the Timeline Panel's set-up runs the
  // time-window reset. Runs once in a run; showing the window schedules it.
  void set_up();
  // Runs once at the end of set_up, with the panels built: what the
  // command line and the saved settings ask of start-up.
  void set_after_set_up(std::function<void()> then) { after_set_up_ = std::move(then); }
  // The client size the window takes when first shown, instead of the
  // 1024 x 768 outer frame.
  void set_first_client_size(QSize size) { first_client_size_ = size; }

  // Runs a menu command; every command but Quit ends with a redraw.
  void on_command(int id);
  // A timer's tick: timer 1 steps a playing Time window; a frame asked for
  // since the last one is drawn.
  void on_timer(int id);
  // The Quit command: stop the timer, release the scene, close the window.
  void quit_app();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  // A drag that carries a local .vdr file is taken; its drop loads it once
  // the drop is over, so that the loader's message boxes don't run inside
  // the drag and drop exchange.
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void build_menu();
  // Builds the five panels from kPanelRows, in start-up order, into
  // Program::panels, and stacks them so that the first lies on top.
  void create_panels();
  // "Show ... Panel" and "About..": visible where it was, or unchanged.
  void show_panel(Panel* panel);
  void present_frame();

  Program& program_;
  GlView* view_;
  QTimer timer_;
  bool sized_ = false;
  bool frame_due_ = false;  // a change asked for a frame since the last one
  std::function<void()> after_set_up_;
  std::optional<QSize> first_client_size_;
};

// The first local .vdr file (any letter case) that `data` carries, or "".
std::string dropped_data_file(const QMimeData* data);

}  // namespace valdrin
