// The program's state: one instance of every state struct, held by main()
// for the whole run and handed by reference to the functions that use it.
#pragma once

#include <functional>
#include <string>

#include "core/cell_table.h"
#include "core/generator.h"
#include "core/info_text.h"
#include "core/query.h"
#include "core/store.h"
#include "core/time_key.h"
#include "panels/timeline.h"
#include "view/camera.h"
#include "view/map_layers.h"
#include "view/scene.h"

class QPrinter;

namespace valdrin {

class Panel;

// The five panels, in the order start-up creates them. The main window
// builds each once from its template (panels/panel.h) when the scene
// stands, and Qt's parent chain owns them until the window goes; the
// pointers stay null without a window (tests of the plain logic).
struct PanelWindows {
  Panel* gis = nullptr;
  Panel* query = nullptr;
  Panel* timeline = nullptr;
  Panel* info = nullptr;
  Panel* about = nullptr;
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
  // Runs one dialog in `directory` for files ending in `extension` and
  // returns the chosen path, or "" when cancelled. The window installs the
  // real dialogs; tests install their own.
  std::function<std::string(bool save, const std::string& directory, const std::string& extension)>
      run;
};

struct Program {
  EventStore store;
  TimeState time;
  Event query = initial_query();
  CountTables counts = {};
  CellTable cells = {};
  RandomState random;
  GisSettings gis;
  ViewState view;
  Scene scene;
  PlaybackState playback;
  PointerState pointer;
  FileDialogs dialogs;
  InfoText info;  // the Info Panel's text
  PanelWindows panels;
  // The print dialog, swappable as the file choosers are: runs it on
  // `printer` and returns 1 when the user chose to print, 0 when cancelled.
  // The window installs Qt's print dialog; tests install their own.
  std::function<int(QPrinter& printer)> run_print_dialog;
  // Shows the Time window on the Timeline Panel; installed by the window
  // with the panel. The rebuild step runs it first, before it makes the GL
  // context current, because a widget that repaints at once would switch
  // the context under the rebuild.
  std::function<void()> refresh_timeline;
  // Where the maps, overlays and cell table are found; relative to the
  // working directory, as the program always opens them.
  std::string data_dir = "data";

  // Runs GL work with the view's context current; installed by the window.
  // Without it (headless use) the caller's context is taken as current.
  std::function<void(const std::function<void()>&)> with_gl;

  SceneSources sources() { return SceneSources{store, query, time, counts, cells}; }
};

}  // namespace valdrin
