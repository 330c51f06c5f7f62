// Steering with the mouse: right drag turns, Shift + right drag zooms,
// Ctrl + right press re-centres on the picked cell, left drag steps the
// Window end, Ctrl + left press selects the area around the picked cell.
// Plain code over the program's state; the GL view feeds it Qt's events.
// Every change goes through apply_change; every message ends with a redraw.
#pragma once

#include <cstdint>
#include <functional>

#include "app/program.h"

namespace valdrin {

// Button and modifier state of a mouse message.
enum MouseFlags : unsigned {
  kLeftButton = 0x1,
  kRightButton = 0x2,
  kShiftKey = 0x4,
  kControlKey = 0x8,
};

// What the handlers ask of the window around them.
struct NavigationHooks {
  std::function<void()> redraw;   // draw and present a frame
  std::function<void()> capture;  // focus the view, grab the mouse
  std::function<void()> release;  // let the mouse go
};

void on_mouse_move(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                   int16_t y);
void on_left_down(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                  int16_t y);
void on_left_up(Program& program, const NavigationHooks& hooks, int16_t x, int16_t y);
void on_right_down(Program& program, const NavigationHooks& hooks, unsigned flags, int16_t x,
                   int16_t y);
void on_right_up(Program& program, const NavigationHooks& hooks, int16_t x, int16_t y);
void on_key_up(Program& program, const NavigationHooks& hooks, int key);

}  // namespace valdrin
