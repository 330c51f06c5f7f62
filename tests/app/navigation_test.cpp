// The mouse rules: turning, zooming, re-centring, timeline steps and area
// selection, without a window.
#include "app/navigation.h"

#include <gtest/gtest.h>

#include <tuple>

#include "core/cell_table.h"
#include "tests/app/app_rig.h"

namespace valdrin {
namespace {

constexpr unsigned kLeft = kLeftButton, kRight = kRightButton;

class Navigation : public ::testing::Test {
 protected:
  test::AppRig rig;
  Program& p = *rig.program;
  void move(unsigned flags, int x, int y) {
    on_mouse_move(p, rig.hooks, flags, static_cast<int16_t>(x), static_cast<int16_t>(y));
  }
};

// Turning clamps rather than wraps and comes back from a limit at once;
// Shift turns the drag into a zoom down to 5, Ctrl alone doesn't.
TEST_F(Navigation, RightDragTurnsAndZoomsWithClamps) {
  p.view.heading = 100;
  on_right_down(p, rig.hooks, kRight, 0, 0);
  const int moves[][3] = {{200, 0, -100}, {300, 0, -180}, {290, 0, -170}};
  for (const auto& [x, y, heading] : moves) {
    move(kRight, x, y);
    EXPECT_EQ(p.view.heading, heading) << x;
  }
  p.view.tilt = 80;
  on_right_down(p, rig.hooks, kRight, 0, 100);
  move(kRight, 0, 70);
  EXPECT_EQ(p.view.tilt, 90);
  move(kRight, 0, 400);
  EXPECT_EQ(p.view.tilt, -90);
  move(kRight, 0, 390);
  EXPECT_EQ(p.view.tilt, -80);

  on_right_down(p, rig.hooks, kRight | kShiftKey, 0, 300);
  const int zooms[][3] = {{kShiftKey, 100, 5},
                          {kShiftKey, 130, 35},
                          {kControlKey, 140, 35},
                          {kShiftKey | kControlKey, 150, 45}};
  for (const auto& [keys, y, distance] : zooms) {
    move(kRight | keys, 0, y);
    EXPECT_EQ(p.view.distance, distance) << y;
  }
  EXPECT_EQ(rig.rebuilds, 0);
  EXPECT_EQ(p.pointer.last_y, 150);
}

// One step per message whatever the distance, by the step unit; vertical
// motion only recounts; the first drag after a left press measures from the
// last stored position, which the press itself doesn't set.
TEST_F(Navigation, LeftDragStepsOncePerMessage) {
  p.query.key = pack_time_key(1, 10, 3, 4);
  on_right_up(p, rig.hooks, 0, 0);
  on_left_down(p, rig.hooks, kLeft, 5, 5);
  const int moves[][4] = {{1, 0, 11, 3}, {51, 0, 12, 3}, {51, 80, 12, 3}, {10, 80, 11, 3}};
  for (const auto& [x, y, day, month] : moves) {
    move(kLeft, x, y);
    EXPECT_EQ(p.query.key,
              pack_time_key(1, static_cast<uint8_t>(day), static_cast<uint8_t>(month), 4))
        << x << "," << y;
  }
  EXPECT_EQ(rig.rebuilds, 4);
  p.playback.step_unit = kStepMonth;
  move(kLeft, 20, 80);
  EXPECT_EQ(p.query.key, pack_time_key(1, 11, 4, 4));
  EXPECT_EQ(p.time.window_start, TimeState{}.window_start);  // never stepped
  on_left_up(p, rig.hooks, 100, 0);
  on_left_down(p, rig.hooks, kLeft, 50, 0);
  move(kLeft, 60, 0);  // 40 left of (100, 0)
  EXPECT_EQ(p.query.key, pack_time_key(1, 11, 3, 4));
}

TEST_F(Navigation, ModifiedOrTwoButtonDragsDoNotStep) {
  const uint16_t start = p.query.key = pack_time_key(2, 5, 5, 5);
  move(kLeft | kControlKey, 30, 0);
  move(kLeft | kShiftKey, 60, 0);
  EXPECT_EQ(p.query.key, start);
  EXPECT_EQ(rig.rebuilds, 0);
  move(kLeft | kRight, 90, 0);  // both buttons: turn only
  EXPECT_EQ(p.query.key, start);
  EXPECT_EQ(p.view.heading, -30);
  const int redraws = rig.redraws;
  move(0, 500, 500);  // no button: nothing at all, and the last position stays
  EXPECT_EQ(rig.redraws, redraws);
  EXPECT_EQ(p.pointer.last_x, 90);
  // Every handler redraws; releases and right presses store the position.
  on_left_down(p, rig.hooks, kLeft, 1, 1);
  on_left_up(p, rig.hooks, 2, 2);
  on_right_down(p, rig.hooks, kRight, 3, 3);
  on_right_up(p, rig.hooks, 4, 4);
  on_key_up(p, rig.hooks, 65);
  EXPECT_EQ(rig.redraws, redraws + 5);
  EXPECT_EQ(p.pointer.last_x, 4);
}

TEST_F(Navigation, CtrlRightPressRecentresOnThePickedCell) {
  on_right_down(p, rig.hooks, kRight | kControlKey, 400, 300);
  EXPECT_EQ(std::tuple(p.view.look_at[0], p.view.look_at[1], p.view.look_at[2]),
            std::tuple(41.5f, 32.5f, 0.0f));
  p.view.look_at[0] = -200;  // off the grid: the view stays
  on_right_down(p, rig.hooks, kRight | kControlKey, 400, 300);
  EXPECT_EQ(p.view.look_at[0], -200);
  EXPECT_EQ(p.pointer.last_x, 400);
}

TEST_F(Navigation, CtrlLeftPressSelectsAndReportsOrClears) {
  const int cell = 32 * kGridCols + 41;
  p.cells.words[cell][0] = make_cell_word(2, 0, false, 3, 0, false);
  p.cells.words[0][0] |= kSelectedBit;
  on_left_down(p, rig.hooks, kLeft | kControlKey, 400, 300);
  EXPECT_TRUE(p.cells.words[cell][0] & kSelectedBit);
  EXPECT_FALSE(p.cells.words[0][0] & kSelectedBit);
  ASSERT_EQ(rig.reports.size(), 1u);
  EXPECT_EQ(rig.reports[0].rfind("From: ", 0), 0u);
  EXPECT_NE(rig.reports[0].find("Zip Code 77002: 0, 0.00%\r\n"), std::string::npos);
  EXPECT_EQ(rig.rebuilds, 1);
  p.view.look_at[0] = -200;  // beside the grid: every flag cleared, no report
  on_left_down(p, rig.hooks, kLeft | kControlKey, 400, 300);
  EXPECT_FALSE(p.cells.words[cell][0] & kSelectedBit);
  EXPECT_EQ(rig.reports.size(), 1u);
  EXPECT_EQ(rig.rebuilds, 2);
  on_left_down(p, rig.hooks, kLeft, 400, 300);  // without Ctrl only a redraw
  EXPECT_EQ(rig.rebuilds, 2);
}

}  // namespace
}  // namespace valdrin
