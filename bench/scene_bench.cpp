// The rebuild step over a full store, one frame at 1024 x 768, the
// renderer's floor (one textured quad over the whole view) and one playback
// tick (step, rebuild, frame), on the GL implementation at hand (Mesa's
// software renderer here), drawn headless. The frame and the tick are judged
// against the floor measured in the same run, by wall time; their CPU
// column counts the renderer's own threads too, which shows the work
// itself when the machine is shared.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "core/generator.h"
#include "core/time_key.h"
#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

struct Fixture {
  HeadlessGl gl;
  std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  ViewState view;
  bool ok = false;

  // `events`: the store's size; past the generator's 6000 the drawn keys are
  // stretched over the store and the places and attributes taken in turn
  // from records far apart; the band scale is chosen as a load chooses it.
  explicit Fixture(int width, int height, uint32_t events = kGenerateCapacity) {
    if (!open_headless_gl(width, height, gl)) return;
    // The shipped city, when run from the source tree; any cell table with
    // zip areas serves.
    AnalysisState& s = *state;
    init_scene(*scene, s, "data");
    for (int i = 0; i < kCellCount; ++i)
      if (s.cells.words[i][0] == 0)
        s.cells.words[i][0] = make_cell_word(1, 0, false, 1 + i % 80, 0, false);
    generate_events(kGenerateCapacity, s.cells, s.random, s.store, s.time);
    if (events > kGenerateCapacity) {
      const std::vector<Event> drawn(s.store.records, s.store.records + kGenerateCapacity);
      for (uint32_t i = 0; i < events; ++i)
        s.store.records[i] = drawn[uint64_t{i} * 7919 % kGenerateCapacity],
        s.store.records[i].key = drawn[uint64_t{i} * kGenerateCapacity / events].key;
      s.store.count = events;
    }
    choose_band_scale(s);
    window_end(s) = s.time.last_key;
    rebuild_columns(*scene, s);
    view.events_per_band = scene->events_per_band;  // as the viewer sets it
    resize_view(view, static_cast<int16_t>(width), static_cast<int16_t>(height));
    view.tilt = 50;
    view.heading = 20;
    ok = true;
  }
  ~Fixture() {
    free_scene();
    close_headless_gl(gl);
  }
};

void rebuild_6000_events(benchmark::State& state) {
  Fixture f(1024, 768);
  if (!f.ok) {
    state.SkipWithError("no headless GL context");
    return;
  }
  for (auto _ : state) {
    rebuild_columns(*f.scene, *f.state);
    glFinish();
  }
}
BENCHMARK(rebuild_6000_events)->Unit(benchmark::kMillisecond);

void draw_frame_1024x768(benchmark::State& state) {
  Fixture f(1024, 768);
  if (!f.ok) {
    state.SkipWithError("no headless GL context");
    return;
  }
  for (auto _ : state) {
    draw_frame(*f.scene, f.view);
    glFinish();
  }
}
BENCHMARK(draw_frame_1024x768)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// What any frame costs at least on this renderer: the clear, then one quad
// over the whole view with the Map texture and the frame's drawing state.
void draw_floor_1024x768(benchmark::State& state) {
  Fixture f(1024, 768);
  if (!f.ok) {
    state.SkipWithError("no headless GL context");
    return;
  }
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  for (auto _ : state) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, kMapTexture);
    glBegin(GL_QUADS);
    glColor3f(1, 1, 1);
    glTexCoord2f(0, 0);
    glVertex3f(-1, -1, 0);
    glTexCoord2f(1, 0);
    glVertex3f(1, -1, 0);
    glTexCoord2f(1, 1);
    glVertex3f(1, 1, 0);
    glTexCoord2f(0, 1);
    glVertex3f(-1, 1, 0);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glFinish();
  }
}
BENCHMARK(draw_floor_1024x768)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

// One playback tick as the timer runs it: the Window end steps forward by a
// day, the rebuild step, the view brought up to date as the viewer's paint
// does it, and the renderer finishing it (with `draw`; without, the
// program's own share of the tick). Args: 0 colours by events, 1 by hot
// spots (Gi* recomputed every step); the store's size; 0 for a window of
// nearly the whole store (the heaviest field), 1 for the month up to its
// end, as an analyst plays a large store. The end steps through the last
// 30 days of the data, over and over; the step back to the start redraws
// most of the view.
void play_ticks(benchmark::State& state, bool draw) {
  Fixture f(1024, 768, static_cast<uint32_t>(state.range(1)));
  if (!f.ok) {
    state.SkipWithError("no headless GL context");
    return;
  }
  f.state->colouring = static_cast<uint8_t>(state.range(0));
  uint16_t month_before_last = f.state->time.last_key;
  for (int i = 0; i < 30; ++i) step_time_back(month_before_last, kStepDay);
  int steps = 0;
  const bool month = state.range(2) != 0;
  for (auto _ : state) {
    if (steps++ % 30 == 0) window_end(*f.state) = month_before_last;
    step_time_forward(window_end(*f.state), kStepDay);
    if (month) {
      f.state->time.window_start = window_end(*f.state);
      step_time_back(f.state->time.window_start, kStepMonth);
    }
    rebuild_columns(*f.scene, *f.state);
    if (!draw) continue;
    redraw_view(*f.scene, f.view);
    glFinish();
  }
}

void step_latency(benchmark::State& state) { play_ticks(state, true); }
void step_rebuild(benchmark::State& state) { play_ticks(state, false); }

BENCHMARK(step_latency)
    ->Args({0, kGenerateCapacity, 0})
    ->Args({1, kGenerateCapacity, 0})
    ->Args({0, kStoreCapacity, 0})
    ->Args({1, kStoreCapacity, 0})
    ->Args({0, kStoreCapacity, 1})
    ->Args({1, kStoreCapacity, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();
BENCHMARK(step_rebuild)
    ->Args({0, kStoreCapacity, 0})
    ->Args({1, kStoreCapacity, 0})
    ->Args({0, kStoreCapacity, 1})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
