// What the viewer keeps between runs, in the user's configuration folder
// ($XDG_CONFIG_HOME/valdrin/valdrin.conf, through QSettings): the window's
// size and place, each panel's place and whether it is shown, the Step
// unit, the GIS Panel's map, selection and overlay choices, the Analysis
// Panel's colouring, neighbourhood, correction and band scale, and the file
// dialogs' folder. Written when the program ends; read at start-up, where
// the choices go into the state before the scene and the panels are made,
// and the places are put once the panels stand.
//
// Nothing saved is trusted: each value is read on its own, of its type and
// in its range, and anything else (a missing key, a Step unit of 9, text
// where a number belongs, a panel off the window) is left out, so that it
// keeps its first-start value. With no file at all the viewer starts
// exactly as it always has.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QVariantMap>
#include <cstdint>
#include <optional>
#include <string>

class QSettings;
class QWidget;

namespace valdrin {

struct Program;

// The settings file's organisation and application names.
constexpr const char* kSettingsOrganization = "valdrin";
constexpr const char* kSettingsApplication = "valdrin";

// The panels in kPanelRows order, by the names their keys carry.
constexpr const char* kPanelKeys[] = {"gis", "query", "timeline", "info", "about", "analysis"};
constexpr size_t kSavedPanels = sizeof kPanelKeys / sizeof kPanelKeys[0];

struct SavedPanel {
  std::optional<QPoint>
      place;  // the top left, in its parent's coordinates (the About box: the screen's)
  std::optional<bool> shown;
};

// Each value that was saved and makes sense; an empty one keeps its
// first-start value.
struct ViewerSettings {
  std::optional<QPoint> window_place;  // the frame's top left on the screen
  std::optional<QSize> window_size;    // the client area
  SavedPanel panels[kSavedPanels];
  std::optional<uint8_t> step_unit;
  std::optional<uint8_t> map_choice;
  std::optional<uint8_t> selection_mode;
  std::optional<uint16_t> overlay_flags;
  std::optional<uint8_t> colouring, neighbourhood;
  std::optional<bool> fdr;
  std::optional<uint16_t> band_scale;        // one of the Analysis Panel's entries
  std::optional<std::string> dialog_folder;  // an existing folder
  // What was read but left out, each as "KEY: expected ...".
  QStringList refused;
};

// The smallest and largest window side taken back.
constexpr int kMinWindowSide = 100;
constexpr int kMaxWindowSide = 16384;
// How much of a caption bar must lie in view for a place to count.
constexpr int kPlaceGrip = 24;

// Reads what makes sense of `values` (keys as settings_values writes them).
ViewerSettings read_settings(const QVariantMap& values);
// The keys and values of `settings`, those it holds only.
QVariantMap settings_values(const ViewerSettings& settings);

// Whether a window or panel at `place` can be seen and dragged within
// `bounds`: its top edge (the caption bar) lies inside them and at least
// kPlaceGrip pixels of its width do.
bool place_fits(const QRect& place, const QRect& bounds);

// The state the settings keep, taken from the program and its window.
ViewerSettings current_settings(const Program& program, const QWidget& window);

// The choices into the state, before the scene and the panels are made:
// the Step unit, the GIS settings and the analysis settings.
void apply_saved_choices(Program& program, const ViewerSettings& settings);
// The window's place, before it is shown; its size is the caller's, as the
// window sizes itself once shown.
void apply_saved_window_place(QWidget& window, const ViewerSettings& settings);
// Once the panels stand: each panel's place (when it fits its window, or
// for the About box the screen) and whether it shows, and the dialogs'
// folder.
void apply_saved_panels(Program& program, const ViewerSettings& settings);

// The user's settings file, and the whole read and write over it.
std::string user_settings_path();
ViewerSettings load_settings(QSettings& store);
// Return false when the file could not be written (it then stays as it was).
bool save_settings(QSettings& store, const ViewerSettings& settings);
// Forgets the user's settings: the file goes. Return false when it stays.
bool forget_user_settings();

}  // namespace valdrin
