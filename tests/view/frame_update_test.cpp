// The partial redraw against the whole frame, byte for byte, over the steps
// playback makes; and the cases that must fall back to a whole frame.
#include <GL/gl.h>

#include "core/generator.h"
#include "tests/core/test_files.h"
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

// Day steps, a jump back, a selection, a tall column rising and going and
// steps with nothing to count redraw a few rectangles, also in a close view
// with columns off-screen; camera moves, a forgotten frame, an emptied view
// and a view cut by the near plane redraw the whole frame. Every result is
// the whole frame.
TEST_F(FrameUpdate, EveryUpdateGivesTheWholeFrame) {
  const auto days = [&](int n) {
    return [this, n] {
      for (int d = 0; d < std::abs(n); ++d)
        n > 0 ? step_time_forward(query.key, kStepDay) : step_time_back(query.key, kStepDay);
    };
  };
  const auto camera = [&](float tilt, float distance) {
    return
        [this, tilt, distance] { std::tie(view.tilt, view.distance) = std::tuple(tilt, distance); };
  };
  const std::vector<Event> last(store->records + store->count - 30, store->records + store->count);
  struct Step {
    const char* what;
    std::function<void()> change;
    bool whole;
  };
  const Step steps[] = {
      {"a month before the end", days(-30), false},
      {"a day on", days(1), false},
      {"a day on", days(1), false},
      {"a day on", days(1), false},
      {"a day on", days(1), false},
      {"a day back", days(-1), false},
      {"a day back", days(-1), false},
      {"nothing changed", [] {}, false},
      {"a month back", days(-30), false},
      {"a selected block",
       [&] {
         for (int i = 0; i < 30; ++i)
           cells->words[(30 + i / 6) * kGridCols + 40 + i % 6][0] |= kSelectedBit;
       },
       false},
      {"every cell empty", [&] { time.window_start = time.last_key; }, true},
      {"the whole store", [&] { time.window_start = 0, query.key = time.last_key; }, true},
      {"thirty into one cell",
       [&] {
         for (int k = 1; k <= 30; ++k)
           store->records[store->count - k] = test::event_at(time.last_key, 33, 42);
       },
       false},
      {"and out again",
       [&] { std::copy(last.begin(), last.end(), store->records + store->count - 30); }, false},
      {"turned", [&] { view.heading += 1; }, true},
      {"a forgotten frame", [&] { forget_frame(scene->frame); }, true},
      {"close and level", camera(80, 30), true},
      {"close and level, a month back", days(-30), false},
      {"at the ground", camera(89, 5), true},
      {"at the ground, a month on", days(30), true},
  };
  query.key = time.last_key;
  rebuild_columns(*scene, sources);
  draw_frame(*scene, view);
  int partial = 0;
  for (const Step& step : steps) {
    step.change();
    rebuild_columns(*scene, sources);
    const int rects = planned();
    EXPECT_EQ(rects < 0, step.whole) << step.what << " " << rects;
    partial += rects > 0;
    expect_whole_frame(step.what);
  }
  EXPECT_GE(partial, 7);  // some days have no incident
}

}  // namespace
}  // namespace valdrin
