// The panel frame: every panel of the viewer is a Panel built once from its
// dialog template (resources/templates.h) and never re-created.
//
//   Panel* panel = build_panel(kTimelineTemplate, main_window, client_origin);
//   auto* list = find_control_as<QComboBox>(*panel, kStepUnitList);
//
// A child panel is a framed widget floating over the main window's client
// area at its template position; the About box is a window of its own,
// centred on the screen. Each has a small caption bar (title and close box)
// by which it is dragged; a press on it or on a control raises the panel. Esc inside it or its
// close box hides it; show_panel() shows it again where it was, its controls as they were. Tab and
// Shift+Tab move round its own controls only, Enter presses the focused push button or else its
// default button, and no key typed into it reaches the windows behind. Its accessible name is its
// caption.
//
// Controls are made by kind: label QLabel, group box QGroupBox, push and
// default button QPushButton, play button a checkable QPushButton in the
// panel's one exclusive QButtonGroup, check box QCheckBox, drop-down list a
// non-editable QComboBox, progress bar a SolidBar (a QProgressBar without
// text, its chunk solid), text box a read-only QPlainTextEdit, picture a
// QLabel.
#pragma once

#include <QFrame>
#include <QPoint>
#include <cstdint>
#include <utility>
#include <vector>

#include "resources/templates.h"

class QButtonGroup;
class QLabel;
class QToolButton;

namespace valdrin {

// Pixels per dialog unit, from the panel font: x is the average character
// width / 4, y the character height / 8.
struct DialogUnits {
  double x = 1.5;
  double y = 1.625;
};

// The panel font: a sans font at 8 points.
QFont panel_font();
DialogUnits panel_dialog_units();

// Dialog units to pixels, rounded to the nearest pixel.
int dialog_x(const DialogUnits& units, int du);
int dialog_y(const DialogUnits& units, int du);

// Where a panel of size (width, height) dragged to `wanted` stays, in a
// parent of size (parent_width, parent_height): its caption bar (of
// `caption_height`) stays in the parent and at least `grip` pixels of it
// stay in view, so it can always be dragged back.
QPoint clamp_panel_position(QPoint wanted, int width, int parent_width, int parent_height,
                            int caption_height, int grip);

class Panel : public QFrame {
 public:
  Panel(const PanelTemplate& panel_template, QWidget* parent);

  const PanelTemplate& panel_template() const { return template_; }

  // The control with the template id, or nullptr.
  QWidget* control(uint16_t id) const;
  // The exclusive group of the play buttons (nullptr when there are none);
  // each button's id in the group is its control id.
  QButtonGroup* play_group() const { return play_group_; }
  // The widget that holds the controls, below the caption bar.
  QWidget* client() const { return client_; }
  QToolButton* close_box() const { return close_box_; }

  // Shows the panel where it was, in its place among the other panels (the
  // About box, a window of its own, comes to the front); a visible panel
  // stays as it is.
  void show_panel();
  // Hides the panel (Esc and the close box).
  void hide_panel();

  // Gives the keyboard focus to the panel's first tab stop, unless a
  // control of the panel has it already.
  void focus_first_control();

  // The caption bar drags the panel by this much.
  void drag_by(QPoint delta);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  // A press anywhere in the panel, on its caption bar or on any of its
  // controls, brings the panel to the front.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  friend Panel* build_panel(uint16_t, QWidget*, QPoint);

  const PanelTemplate& template_;
  QWidget* client_ = nullptr;
  QWidget* caption_ = nullptr;
  QToolButton* close_box_ = nullptr;
  QButtonGroup* play_group_ = nullptr;
  std::vector<std::pair<uint16_t, QWidget*>> controls_;  // in template order
};

// Builds the panel of template `template_id` with its controls into
// `parent`. A child panel is placed at its template position measured from
// `client_origin` (the top left of the main window's client area, in the
// parent's coordinates); the About box is centred on the screen. The panel
// is shown when its template says it is visible at start. Returns nullptr
// for an unknown template id.
Panel* build_panel(uint16_t template_id, QWidget* parent, QPoint client_origin = QPoint());

// The control with `id` in `panel`, or nullptr.
inline QWidget* find_control(const Panel& panel, uint16_t id) { return panel.control(id); }

template <class Widget>
Widget* find_control_as(const Panel& panel, uint16_t id) {
  return qobject_cast<Widget*>(panel.control(id));
}

}  // namespace valdrin
