// The partial redraw against the whole frame, byte for byte, over the steps
// playback makes; and the cases that must fall back to a whole frame.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <tuple>

#include "core/generator.h"
#include "core/time_key.h"
#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

constexpr int kWidth = 800, kHeight = 600;

class FrameUpdate : public ::testing::Test {
 protected:
  HeadlessGl gl;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;
  Event query = initial_query();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  std::unique_ptr<CellTable> cells = std::make_unique<CellTable>();
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  SceneSources sources{*store, query, time, *counts, *cells};
  ViewState view;

  void SetUp() override {
    ASSERT_EQ(open_headless_gl(kWidth, kHeight, gl), 1);
    init_scene(*scene, sources, GisSettings{}, std::string(VALDRIN_SOURCE_DIR) + "/data");
    RandomState random;
    ASSERT_EQ(generate_events(kStoreCapacity, *cells, random, *store, time), 1);
    resize_view(view, kWidth, kHeight);
    std::tie(view.heading, view.tilt, view.distance) = std::tuple(20.0f, 50.0f, 100.0f);
  }
  void TearDown() override {
    free_scene();
    close_headless_gl(gl);
  }
  // How redraw_view will go from the frame the framebuffer holds: -1 whole,
  // else the number of rectangles.
  int planned() {
    uint8_t in_view[kCellCount];
    find_columns_in_view(view, scene->heights, in_view);
    RedrawPlan plan;
    return plan_redraw(scene->frame, view, scene->heights.cells, scene->greys, in_view,
                       scene->cell_rects, plan)
               ? plan.rect_count
               : -1;
  }
  // Brings the view up to date the partial way, then draws the whole frame
  // over it; the two must not differ in a single byte.
  void expect_whole_frame(const char* what) {
    Image partial, whole;
    redraw_view(*scene, view);
    read_frame(kWidth, kHeight, partial);
    draw_frame(*scene, view);
    read_frame(kWidth, kHeight, whole);
    int differ = 0;
    for (int q = 0; q < kWidth * kHeight * 3; q += 3)
      differ += std::memcmp(partial.pixels + q, whole.pixels + q, 3) != 0;
    EXPECT_EQ(differ, 0) << what;
    free_image(partial), free_image(whole);
  }
};

// Day steps, a jump back, a selection and a step with nothing to count
// redraw a few rectangles, also in a close view with columns off-screen;
// camera moves, a forgotten frame, an emptied view and a view cut by the
// near plane redraw the whole frame. Every result is the whole frame.
TEST_F(FrameUpdate, EveryUpdateGivesTheWholeFrame) {
  uint16_t start = time.last_key;
  for (int i = 0; i < 30; ++i) step_time_back(start, kStepDay);
  query.key = start;
  rebuild_columns(*scene, sources);
  draw_frame(*scene, view);
  int partial = 0;
  const auto step = [&](const char* what, const std::function<void()>& change, bool whole) {
    change();
    rebuild_columns(*scene, sources);
    const int rects = planned();
    EXPECT_EQ(rects < 0, whole) << what << " " << rects;
    partial += rects > 0;
    expect_whole_frame(what);
  };
  const auto day_on = [&] { step_time_forward(query.key, kStepDay); };
  for (int d = 0; d < 6; ++d) step("a day on", day_on, false);
  EXPECT_GE(partial, 3);  // some days have no incident
  step(
      "nothing changed", [] {}, false);
  step(
      "a month back", [&] { step_time_back(query.key, kStepMonth); }, false);
  step(
      "a selected block",
      [&] {
        for (int i = 0; i < 30; ++i)
          cells->words[(30 + i / 6) * kGridCols + 40 + i % 6][0] |= kSelectedBit;
      },
      false);
  step(
      "every cell empty", [&] { time.window_start = time.last_key; }, true);
  step(
      "back to the whole store", [&] { time.window_start = 0; }, true);
  step(
      "turned", [&] { view.heading += 1; }, true);
  step(
      "a forgotten frame", [&] { forget_frame(scene->frame); }, true);
  std::tie(view.tilt, view.distance) = std::tuple(80.0f, 30.0f);
  step(
      "close and level", [] {}, true);
  step(
      "close and level, a month on", [&] { step_time_forward(query.key, kStepMonth); }, false);
  std::tie(view.tilt, view.distance) = std::tuple(89.0f, 5.0f);
  step(
      "at the ground", [] {}, true);
  step(
      "at the ground, a month back", [&] { step_time_back(query.key, kStepMonth); }, true);
  EXPECT_GE(partial, 6);
}

}  // namespace
}  // namespace valdrin
