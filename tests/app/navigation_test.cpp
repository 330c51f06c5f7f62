// The mouse rules: turning, zooming, re-centring, timeline steps and area
// selection, without a window.
#include "app/navigation.h"

#include <gtest/gtest.h>

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

TEST_F(Navigation, RightDragTurnsWithClampsNotWraps) {
  p.view.heading = 100;
  on_right_down(p, rig.hooks, kRight, 0, 0);
  move(kRight, 200, 0);
  EXPECT_EQ(p.view.heading, -100);
  move(kRight, 300, 0);
  EXPECT_EQ(p.view.heading, -180);  // not 160
  move(kRight, 290, 0);
  EXPECT_EQ(p.view.heading, -170);  // back from the limit at once

  p.view.tilt = 80;
  on_right_down(p, rig.hooks, kRight, 0, 100);
  move(kRight, 0, 70);
  EXPECT_EQ(p.view.tilt, 90);  // not 110
  move(kRight, 0, 400);
  EXPECT_EQ(p.view.tilt, -90);
  EXPECT_EQ(rig.rebuilds, 0);
}

TEST_F(Navigation, ShiftRightDragZoomsDownToFive) {
  on_right_down(p, rig.hooks, kRight | kShiftKey, 0, 300);
  move(kRight | kShiftKey, 0, 100);
  EXPECT_EQ(p.view.distance, 5);  // not -100
  move(kRight | kShiftKey, 0, 130);
  EXPECT_EQ(p.view.distance, 35);
  // Ctrl alone does not zoom; Shift and Ctrl together do.
  move(kRight | kControlKey, 0, 140);
  EXPECT_EQ(p.view.distance, 35);
  move(kRight | kShiftKey | kControlKey, 0, 150);
  EXPECT_EQ(p.view.distance, 45);
}

TEST_F(Navigation, LeftDragStepsOncePerMessageWhateverTheDistance) {
  p.query.key = pack_time_key(1, 10, 3, 4);
  on_left_down(p, rig.hooks, kLeft, 5, 5);
  move(kLeft, 1, 0);  // 1 pixel right of the stored (0, 0)
  EXPECT_EQ(p.query.key, pack_time_key(1, 11, 3, 4));
  move(kLeft, 51, 0);  // 50 pixels: still one step
  EXPECT_EQ(p.query.key, pack_time_key(1, 12, 3, 4));
  move(kLeft, 51, 80);  // vertical only: recount, no step
  EXPECT_EQ(p.query.key, pack_time_key(1, 12, 3, 4));
  EXPECT_EQ(rig.rebuilds, 3);
  move(kLeft, 10, 80);
  EXPECT_EQ(p.query.key, pack_time_key(1, 11, 3, 4));
  p.playback.step_unit = kStepMonth;
  move(kLeft, 20, 80);
  EXPECT_EQ(p.query.key, pack_time_key(1, 11, 4, 4));
  EXPECT_EQ(p.time.window_start, TimeState{}.window_start);  // never stepped
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
  // No button: nothing at all, and the last position stays.
  const int redraws = rig.redraws;
  move(0, 500, 500);
  EXPECT_EQ(rig.redraws, redraws);
  EXPECT_EQ(p.pointer.last_x, 90);
}

TEST_F(Navigation, FirstDragAfterALeftPressMeasuresFromTheLastStoredPosition) {
  p.query.key = pack_time_key(1, 10, 3, 4);
  on_right_up(p, rig.hooks, 100, 0);
  on_left_down(p, rig.hooks, kLeft, 50, 0);  // does not store (50, 0)
  move(kLeft, 60, 0);                        // 40 left of (100, 0)
  EXPECT_EQ(p.query.key, pack_time_key(1, 9, 3, 4));
}

TEST_F(Navigation, CtrlRightPressRecentresOnThePickedCell) {
  on_right_down(p, rig.hooks, kRight | kControlKey, 400, 300);
  EXPECT_EQ(p.view.look_at[0], 41.5f);
  EXPECT_EQ(p.view.look_at[1], 32.5f);
  EXPECT_EQ(p.view.look_at[2], 0.0f);
  // Off the grid: the view stays.
  p.view.look_at[0] = -200;
  on_right_down(p, rig.hooks, kRight | kControlKey, 400, 300);
  EXPECT_EQ(p.view.look_at[0], -200);
  EXPECT_EQ(p.pointer.last_x, 400);
}

TEST_F(Navigation, CtrlLeftPressSelectsAndReportsOrClears) {
  p.cells.words[32 * kGridCols + 41][0] = make_cell_word(2, 0, false, 3, 0, false);
  p.cells.words[0][0] |= kSelectedBit;
  on_left_down(p, rig.hooks, kLeft | kControlKey, 400, 300);
  EXPECT_TRUE(p.cells.words[32 * kGridCols + 41][0] & kSelectedBit);
  EXPECT_FALSE(p.cells.words[0][0] & kSelectedBit);
  ASSERT_EQ(rig.reports.size(), 1u);
  EXPECT_EQ(rig.reports[0].rfind("From: ", 0), 0u);
  EXPECT_NE(rig.reports[0].find("Zip Code 77002: 0, 0.00%\r\n"), std::string::npos);
  EXPECT_EQ(rig.rebuilds, 1);
  // A click beside the grid clears every flag and reports nothing.
  p.view.look_at[0] = -200;
  on_left_down(p, rig.hooks, kLeft | kControlKey, 400, 300);
  EXPECT_FALSE(p.cells.words[32 * kGridCols + 41][0] & kSelectedBit);
  EXPECT_EQ(rig.reports.size(), 1u);
  EXPECT_EQ(rig.rebuilds, 2);
  // Without Ctrl a press only redraws.
  on_left_down(p, rig.hooks, kLeft, 400, 300);
  EXPECT_EQ(rig.rebuilds, 2);
}

TEST_F(Navigation, EveryHandlerRedraws) {
  on_left_down(p, rig.hooks, kLeft, 1, 1);
  on_left_up(p, rig.hooks, 2, 2);
  on_right_down(p, rig.hooks, kRight, 3, 3);
  on_right_up(p, rig.hooks, 4, 4);
  on_key_up(p, rig.hooks, 65);
  EXPECT_EQ(rig.redraws, 5);
  EXPECT_EQ(p.pointer.last_x, 4);
}

}  // namespace
}  // namespace valdrin
