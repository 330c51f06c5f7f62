// The rebuild step (count + both lists) over a full store, and one frame at
// 1024 x 768, on the GL implementation at hand (Mesa's software renderer
// here), drawn headless.
#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <memory>

#include "core/generator.h"
#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

struct Fixture {
  HeadlessGl gl;
  std::unique_ptr<EventStore> store = std::make_unique<EventStore>();
  TimeState time;
  Event query = initial_query();
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  std::unique_ptr<CellTable> cells = std::make_unique<CellTable>();
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  SceneSources sources{*store, query, time, *counts, *cells};
  ViewState view;
  bool ok = false;

  explicit Fixture(int width, int height) {
    if (!open_headless_gl(width, height, gl)) return;
    // The shipped city, when run from the source tree; any cell table with
    // zip areas serves.
    init_scene(*scene, sources, GisSettings{}, "data");
    for (int i = 0; i < kCellCount; ++i)
      if (cells->words[i][0] == 0)
        cells->words[i][0] = make_cell_word(1, 0, false, 1 + i % 80, 0, false);
    RandomState random;
    generate_events(kStoreCapacity, *cells, random, *store, time);
    query.key = time.last_key;
    rebuild_columns(*scene, sources);
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
    rebuild_columns(*f.scene, f.sources);
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
    draw_frame(f.view);
    glFinish();
  }
}
BENCHMARK(draw_frame_1024x768)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
