// The one change path of the viewer. Whatever edits the state (a panel, the
// mouse, a menu command, a producer of new data, a tick of playback)
// reports what it changed, once, to apply_change; nothing else recounts,
// remakes the map, refreshes a panel or asks for a frame.
//
// The panels are rows of one table (kPanelRows): the template each is
// built from, the slot it is kept in, what it is set up with, the changes
// it shows, and the function that shows the state on it. Start-up builds
// them from the table; apply_change refreshes them from it.
#pragma once

#include <cstdint>
#include <functional>

#include "app/program.h"

namespace valdrin {

// One panel of the viewer, in start-up order.
struct PanelRow {
  uint16_t template_id;
  Panel* PanelWindows::*slot;
  // Wires the panel's controls to its logic over `program`; each user
  // change is handed to `report`, which runs apply_change.
  void (*init)(Panel& panel, Program& program, const std::function<void(unsigned)>& report);
  unsigned shows;  // the ChangeBits after which the panel shows the state again
  void (*show)(Panel& panel, Program& program);
};

extern const PanelRow kPanelRows[6];

// Runs the change through: for new data the band scale chosen again; the
// counting pass for a new store, window or query; the colouring's
// statistics after a recount or a new colouring; the columns restyled
// after any of these or a new selection; then every panel that shows what changed shows the state;
// then the map remade for new map settings, with the view's context
// current; then a frame is asked for. Nothing is drawn here, so a panel's
// change reaches the screen at the next tick of timer 1.
void apply_change(Program& program, unsigned changed);

// The time-window reset after new data (Window end := First key; the
// bar's range := the data's keys), reported as new data: one counting
// pass.
void reset_timeline(Program& program);

}  // namespace valdrin
