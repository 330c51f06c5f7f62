// The panels' dialog templates as data: for each panel its id, caption,
// place and size, and the table of its controls (id, kind, text, place and
// size, style, and the name a screen reader announces where the text alone
// would not say what a control does). Places and sizes are dialog units of
// the panel font. One builder in panels/ turns a template into widgets, and
// tests walk the same tables. Standard library only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace valdrin {

enum class ControlKind : uint8_t {
  kLabel,          // static text
  kGroupBox,       // a titled frame around other controls
  kPushButton,     // acts on a click
  kDefaultButton,  // a push button that Enter presses
  kPlayButton,     // push-like radio button; the buttons of one panel form one group
  kCheckBox,       // two-state check box
  kDropDownList,   // a drop-down list that allows no typing
  kProgressBar,    // a bar with no text
  kTextBox,        // multi-line, read-only text
  kPicture,        // an image
};

// Style bits of a control.
enum ControlStyle : uint32_t {
  kStyleNone = 0,
  kStyleCentred = 1u << 0,  // text centred
  kStyleSunken = 1u << 1,   // sunken edge
  kStyleSmooth = 1u << 2,   // progress bar drawn in one piece
};

struct ControlTemplate {
  uint16_t id;
  ControlKind kind;
  const char* text;  // caption, or nullptr for none
  int16_t x, y, width, height;
  uint32_t style;
  // The accessible name, for controls whose text does not say what they
  // do; nullptr keeps the text (or, for a list, its label's text).
  const char* accessible_name;
  // A drop-down list's label: the id of the label that names it (0: none).
  uint16_t buddy;
};

// How a panel sits in the main window.
enum class PanelKind : uint8_t {
  kChild,  // floats in the main window's client area at its position
  kPopup,  // a window of its own, owned by the main window, centred
};

struct PanelTemplate {
  uint16_t id;
  const char* caption;
  PanelKind kind;
  int16_t x, y, width, height;
  bool visible_at_start;
  const ControlTemplate* controls;
  size_t control_count;
};

// Template ids, in the order the panels are created at start-up.
constexpr uint16_t kGisTemplate = 103;
constexpr uint16_t kQueryTemplate = 101;
constexpr uint16_t kTimelineTemplate = 106;
constexpr uint16_t kInfoTemplate = 109;
constexpr uint16_t kAboutTemplate = 108;

constexpr uint16_t kPanelCreationOrder[] = {kGisTemplate, kQueryTemplate, kTimelineTemplate,
                                            kInfoTemplate, kAboutTemplate};

// The template with id `id`, or nullptr when there is none.
const PanelTemplate* find_template(uint16_t id);

// The control with id `id` in `panel`, or nullptr when it has none.
const ControlTemplate* find_control_template(const PanelTemplate& panel, uint16_t id);

}  // namespace valdrin
