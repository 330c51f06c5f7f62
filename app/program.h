// The viewer's state: one instance of every state struct, held by main()
// for the whole run and handed by reference to the functions that use it,
// and beside it the services that reach the platform. Tests build a fresh
// Program and install their own services.
#pragma once

#include <functional>
#include <string>

#include "core/analysis.h"
#include "core/info_text.h"
#include "panels/timeline.h"
#include "view/camera.h"
#include "view/scene.h"

class QPrinter;

namespace valdrin {

class Panel;

// The panels, in the order start-up creates them: the five of the window's
// first design, then the Analysis Panel. The main window
// builds each once from its template (panels/panel.h) when the scene
// stands, and Qt's parent chain owns them until the window goes; the
// pointers stay null without a window (tests of the plain logic).
struct PanelWindows {
  Panel* gis = nullptr;
  Panel* query = nullptr;
  Panel* timeline = nullptr;
  Panel* info = nullptr;
  Panel* about = nullptr;
  Panel* analysis = nullptr;
};

// Where drags are measured from: set by a right press, by either release
// and by every move with a button down, but not by a left press.
struct PointerState {
  int16_t last_x = 0;
  int16_t last_y = 0;
};

// The file dialogs' shared state. The dialog directory follows the folder
// of the last file chosen; the working directory is the one the program
// started in, put back after every confirmed choice so that data/ is found.
struct FileDialogs {
  std::string working_directory;
  std::string dialog_directory;
};

// The hooks that reach the platform. The main window installs the real
// ones; tests install their own, and without a window each may stay empty.
// (Message boxes go through the core's message sink, core/message.h.)
struct Services {
  // Runs GL work with the view's context current. Empty: the caller's
  // context is taken as current (headless use).
  std::function<void(const std::function<void()>&)> with_gl;
  // Asks for a frame: the window draws it at the next tick of timer 1, or
  // at the end of the mouse message or menu command under way.
  std::function<void()> request_frame;
  // Runs one file dialog in `directory` for files ending in `extension`
  // and returns the chosen path, or "" when cancelled.
  std::function<std::string(bool save, const std::string& directory, const std::string& extension)>
      run_file_dialog;
  // Runs the print dialog on `printer`: 1 when the user chose to print, 0
  // when cancelled.
  std::function<int(QPrinter& printer)> run_print_dialog;
};

struct Program {
  AnalysisState analysis;
  ViewState view;
  Scene scene;
  PlaybackState playback;
  PointerState pointer;
  FileDialogs dialogs;
  InfoText info;  // the Info Panel's text
  PanelWindows panels;
  // Where the maps, overlays and cell table are found: data/ of the working
  // directory, or the folder that start-up found (--data, or the one
  // installed beside the program; core/data_folder.h).
  std::string data_dir = "data";
  // How many times start-up's set-up (scene, menu, panels) has run: once in
  // a run, whatever Qt does to the GL context afterwards.
  int set_up_runs = 0;
  Services services;
};

// Runs `work` through the with_gl service, or at once without one.
inline void with_gl(Program& program, const std::function<void()>& work) {
  if (program.services.with_gl)
    program.services.with_gl(work);
  else
    work();
}

}  // namespace valdrin
