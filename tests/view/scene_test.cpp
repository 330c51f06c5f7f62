// Headless frames against immediate-mode lists, capture rows, picks, partial redraws.
#include "view/scene.h"

#include <GL/gl.h>

#include <cmath>

#include "core/generator.h"
#include "tests/core/test_files.h"
#include "view/capture.h"
#include "view/headless.h"
#include "view/picking.h"

namespace valdrin::scene_test {

constexpr int kWidth = 800, kHeight = 600;
constexpr uint8_t kMapColour[3] = {200, 100, 50};
const int kGrey = static_cast<int>(kClearGrey * 255 + 0.5f);

struct SceneFrames : ::testing::Test {
  test::ScratchDir dir;
  test::MessageRecorder recorder;
  HeadlessGl gl;
  std::unique_ptr<AnalysisState> state = std::make_unique<AnalysisState>();
  EventStore* store = &state->store;
  TimeState& time = state->time;
  Event& query = state->query;
  CountTables* counts = &state->counts;
  CellTable* cells = &state->cells;
  GisSettings& gis = state->gis;
  std::unique_ptr<Scene> scene = std::make_unique<Scene>();
  ViewState view;
  Image frame;

  // A 64 x 64 map, one colour or a ramp; cell (33, 45) selected.
  void write_data(bool gradient) {
    gis.overlay_flags = 0;
    for (const char* folder : {"maps", "selections"})
      std::filesystem::create_directories(dir.path(folder));
    Image map;
    alloc_image(64, 64, 3, map);
    for (int i = 0; i < 64 * 64; ++i) {
      const uint8_t ramp[3] = {static_cast<uint8_t>(i % 64 * 4), static_cast<uint8_t>(i / 64 * 4),
                               255};
      std::memcpy(map.pixels + i * 3, gradient ? ramp : kMapColour, 3);
    }
    ASSERT_EQ(write_bmp(dir.path("maps/basemap.bmp").c_str(), map), 1);
    free_image(map);
    std::string table(kSelectionFileBytes, '\0');
    table[(33 * kGridCols + 45) * 8 + 3] = 0x40;  // bit 30
    test::write_file(dir.path("selections/default.sel"), table);
  }
  void open(int width, int height, const std::string& data = "") {
    ASSERT_EQ(open_headless_gl(width, height, gl), 1);
    init_scene(*scene, *state, data.empty() ? dir.root() : data);
    resize_view(view, static_cast<int16_t>(width), static_cast<int16_t>(height));
  }
  // `count` events in cell (row, col), all with one key inside the window.
  void add_events(int row, int col, int count) {
    for (int k = 0; k < count && store->count < kGenerateCapacity; ++k)
      store->records[store->count++] =
          test::event_at(0x1085, static_cast<uint32_t>(row), static_cast<uint32_t>(col));
  }
  void close() { free_scene(), close_headless_gl(gl); }
  void TearDown() override {
    free_image(frame);
    if (gl.context != nullptr) close();
  }
  void draw() {
    if (gl.context == nullptr) open(kWidth, kHeight);
    init_scene(*scene, *state, dir.root());
    resize_view(view, kWidth, kHeight);
    draw_frame(*scene, view);
    free_image(frame);
    read_frame(kWidth, kHeight, frame);
  }
  // Pixel (x, y) counted from the bottom-left, as the frame holds it.
  const uint8_t* pixel(int x, int y) const { return frame.pixels + (y * kWidth + x) * 3; }
};

// The plain frame: Map-textured tops, Side-textured sides; `ids`: tops as (row + 1, col + 1, 0).
void draw_reference(const CountTables& counts, const CellTable& cells,
                    const CellTexcoords& texcoords, const ViewState& view, bool ids = false) {
  if (ids) glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  apply_camera(view);  // pinned by the picks against GL and the column of three
  glEnable(GL_DEPTH_TEST);
  for (GLenum what : {GL_BLEND, GL_TEXTURE_2D}) ids ? glDisable(what) : glEnable(what);
  const int corner[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};  // round the cell from (c, r)
  glBindTexture(GL_TEXTURE_2D, kMapTexture);
  glBegin(GL_QUADS);
  for (int i = 0; i < kCellCount; ++i) {
    const int r = i / kGridCols, c = i % kGridCols;
    const float g = (cells.words[i][0] & kSelectedBit) ? 0.5f : 1.0f;
    ids ? glColor3ub(static_cast<GLubyte>(r + 1), static_cast<GLubyte>(c + 1), 0)
        : glColor3f(g, g, g);
    for (int k = 0; k < 4; ++k) {
      glTexCoord2fv(&texcoords.corners[i][k].s);
      glVertex3i(c + corner[k][0], r + corner[k][1], static_cast<GLint>(counts.cells[i]));
    }
  }
  glEnd();
  glBindTexture(GL_TEXTURE_2D, kSideTexture);
  glBegin(GL_QUADS);
  const float greys[4] = {0.9f, 0.93f, 0.96f, 0.99f};
  for (int i = 0; i < kCellCount && !ids; ++i) {
    const int r = i / kGridCols, c = i % kGridCols;
    const GLint h = static_cast<GLint>(counts.cells[i]);
    for (int f = 0; f < 4; ++f) {  // from the face's first ground corner to its second, then up
      glColor3f(greys[f], greys[f], greys[f]);
      for (int k = 0; k < 4; ++k) {
        const int* p = corner[(k == 1 || k == 2) ? (f + 1) % 4 : f];
        const GLint z = k >= 2 ? h : 0;
        glTexCoord2i(k == 1 || k == 2, z);
        glVertex3i(c + p[0], r + p[1], z);
      }
    }
  }
  glEnd();
  for (GLenum what : {GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST}) glDisable(what);
}

void expect_colour(const uint8_t* p, int r, int g, int b, int tolerance = 2) {
  EXPECT_LE(std::max({std::abs(p[0] - r), std::abs(p[1] - g), std::abs(p[2] - b)}), tolerance)
      << +p[0] << "," << +p[1] << "," << +p[2];
}

// The map, half bright where selected, grey beside the grid; a column of three seen level.
TEST_F(SceneFrames, MapSelectedTopsClearColourAndAColumnOfThree) {
  write_data(false);
  draw();
  // From 100 units a cell is 12 pixels: centres of (33, 42) and (33, 45).
  expect_colour(pixel(406, 306), kMapColour[0], kMapColour[1], kMapColour[2]);
  expect_colour(pixel(442, 306), kMapColour[0] / 2, kMapColour[1] / 2, kMapColour[2] / 2);
  resize_view(view, kWidth, 0);
  draw_frame(*scene, view);
  EXPECT_NEAR(view.last_aspect, 800.0f / 600.0f, 1e-6);
  view.look_at[0] = 0;  // the left half of the frame lies beside the grid
  draw();
  expect_colour(pixel(100, 300), kGrey, kGrey, kGrey);
  expect_colour(pixel(700, 300), kMapColour[0], kMapColour[1], kMapColour[2]);
  add_events(33, 42, 3);
  time.window_start = 0;
  std::tie(view.look_at[0], view.tilt, view.distance) = std::tuple(42.5f, 90.0f, 10.0f);
  draw();
  // 10 units away: 30 pixels per event up, each band capped by a black stripe.
  const int face_grey = static_cast<int>(0.9f * 255);
  for (int k = 0; k < 3; ++k) {
    expect_colour(pixel(400, 300 + k * 30 + 12), face_grey, face_grey, face_grey, 3);
    EXPECT_LT(std::max(pixel(400, 300 + k * 30 + 28)[0], pixel(400, 300 + k * 30 + 28)[1]), 40)
        << k;
  }
  expect_colour(pixel(400, 300 + 3 * 30 + 10), kGrey, kGrey, kGrey);  // the sky above
  EXPECT_EQ(recorder.log, "");
}

// Each capture row against the row read alone, which padding can't misplace.
TEST_F(SceneFrames, CaptureRowsComeBottomFirstTightlyPacked) {
  write_data(true);
  view.look_at[1] = 0;  // the grid's first row across the middle
  for (const auto& [width, height] : {std::pair{800, 600}, {1001, 120}}) {
    open(width, height);
    Image capture;
    ASSERT_EQ(capture_view(*scene, view, capture), 1);
    ASSERT_EQ(std::tuple(capture.width, capture.height, capture.channels),
              std::tuple(width, height, 3));
    const size_t row_bytes = static_cast<size_t>(width) * 3;
    std::vector<uint8_t> row(row_bytes + 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (int y : {0, 1, height / 2, height - 1}) {
      glReadPixels(0, y, width, 1, GL_RGB, GL_UNSIGNED_BYTE, row.data());
      EXPECT_EQ(std::memcmp(capture.pixels + y * row_bytes, row.data(), row_bytes), 0)
          << width << y;
    }
    const size_t middle = static_cast<size_t>(width / 2) * 3;
    EXPECT_NEAR(capture.pixels[middle + 2], kGrey, 2);
    EXPECT_GT(capture.pixels[(height - 1) * row_bytes + middle + 2], 250);
    free_image(capture), close();
  }
  EXPECT_EQ(recorder.log, "");
  open(64, 48);  // a view with no area captures nothing
  for (const auto& [w, h] : {std::pair<int16_t, int16_t>{0, 48}, {64, 0}, {0, 0}}) {
    std::tie(view.viewport_width, view.viewport_height) = std::tuple(w, h);
    Image capture;
    EXPECT_EQ(std::tuple(capture_view(*scene, view, capture), capture.pixels),
              std::tuple(0, nullptr));
  }
}

// Far views match exactly; close ones up to the rounding noise of quads batched apart.
TEST_F(SceneFrames, ArraysDrawTheFramesOfTheImmediateModeLists) {
  // clang-format off
  struct Case { const char* name; std::function<void()> change; float heading, tilt, distance, x, y;
                int noise; };  // change: before the rebuild; noise: pixels off by more than 1
  const Case cases[] = {
      {"empty store, straight down", [] {}, 0, 0, 170, 42, 33, 0},
      {"full store, tilted", [&] { RandomState random;
         ASSERT_EQ(generate_events(kGenerateCapacity, *cells, random, *store, time), 1);
         query.key = time.last_key; }, 20, 50, 170, 42, 33, 0},
      {"a selection on the full store", [&] { for (int i = 0; i < 500; ++i)
         cells->words[(20 + i / 25) * kGridCols + 30 + i % 25][0] |= kSelectedBit; },
       20, 50, 170, 42, 33, 0},
      {"close, tilted", [] {}, 20, 50, 100, 42, 33, 64},
      {"close, straight down", [] {}, 0, 0, 60, 42, 33, 64},
      {"closer, from the north", [] {}, 150, 40, 35, 42, 33, 64},
      {"close, beyond a corner", [] {}, 135, 60, 60, 10, 60, 64},
      {"close, level at an edge", [] {}, -90, 85, 30, 80, 5, 64},
      {"counts up to 40", [&] { store->count = 0, time.window_start = 0, query.key = 0xFE7F;
         for (int n = 1; n <= 40; ++n) add_events(10 + n % 45, 5 + (n * 7) % 75, n);
         for (int n = 0; n < 120; ++n) add_events(n % 66, (n * 13) % 84, n % 5); },
       0, 45, 170, 42, 33, 0},
      {"heading 135, tilt 60", [] {}, 135, 60, 170, 42, 33, 0},
      {"a step back to an empty window", [&] { query.key = 0x1081; }, 135, 60, 170, 42, 33, 0}};
  // clang-format on
  gis = GisSettings{};  // the shipped city map with its overlays, as the viewer starts
  open(kWidth, kHeight, std::string(VALDRIN_SOURCE_DIR) + "/data");
  ASSERT_EQ(recorder.log, "");
  auto texcoords = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*texcoords);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    c.change();
    rebuild_columns(*scene, *state);
    std::tie(view.heading, view.tilt, view.distance, view.look_at[0], view.look_at[1]) =
        std::tuple(c.heading, c.tilt, c.distance, c.x, c.y);
    if (c.noise != 0) {
      uint8_t in_view[kCellCount];
      const int columns = find_columns_in_view(view, *counts, in_view);
      EXPECT_TRUE(columns > 0 && columns < kCellCount) << columns;
    }
    Image fast, reference, again;
    draw_frame(*scene, view);
    read_frame(kWidth, kHeight, fast);
    draw_reference(*counts, *cells, *texcoords, view);
    read_frame(kWidth, kHeight, reference);
    draw_reference(*counts, *cells, *texcoords, view);  // an unrepeatable view tests nothing
    read_frame(kWidth, kHeight, again);
    int differ = 0, off_by_more = 0, varied = 0;
    for (int q = 0; q < kWidth * kHeight * 3; q += 3) {
      differ += std::memcmp(fast.pixels + q, reference.pixels + q, 3) != 0;
      off_by_more += std::max({std::abs(fast.pixels[q] - reference.pixels[q]),
                               std::abs(fast.pixels[q + 1] - reference.pixels[q + 1]),
                               std::abs(fast.pixels[q + 2] - reference.pixels[q + 2])}) > 1;
      varied += std::memcmp(reference.pixels, reference.pixels + q, 3) != 0;  // not one colour
      ASSERT_EQ(std::memcmp(again.pixels + q, reference.pixels + q, 3), 0) << "not repeatable";
    }
    EXPECT_LE(c.noise == 0 ? differ : off_by_more, c.noise);
    EXPECT_GT(varied, 0);
    for (Image* image : {&fast, &reference, &again}) free_image(*image);
  }
}

// Straight down, beside the grid, tiny viewports; then views against GL's ids.
TEST_F(SceneFrames, PicksStraightDownInDegenerateViewportsAndAsGlDraws) {
  clear_counts(*counts);
  int16_t row = -1, col = -1;
  const std::tuple<int16_t, int16_t, float, int> viewports[] = {
      {801, 601, 42, 1}, {801, 601, -100, 0}, {1, 600, 42, 0}, {800, 1, 42, 0}, {0, 0, 42, 0}};
  for (const auto& [width, height, x, picked] : viewports) {
    ViewState view;
    view.look_at[0] = x;
    resize_camera(view, width, height);
    EXPECT_EQ(pick_cell(view, *counts, width / 2, height / 2, row, col), picked) << width << x;
    EXPECT_TRUE(!picked || std::tuple(row, col) == std::tuple(32, 41)) << row << "," << col;
  }
  constexpr int kWidth = 320, kHeight = 240;  // of the id frame
  ASSERT_EQ(open_headless_gl(kWidth, kHeight, gl), 1);
  // Heights low enough that no side hides a top the pick would report.
  for (int i = 0; i < kCellCount; ++i) counts->cells[i] = static_cast<uint32_t>((i * 7) % 5);
  auto texcoords = std::make_unique<CellTexcoords>();
  const float views[][5] = {// look-at x, y, distance, heading, tilt
                            {42, 33, 60, 0, 0},
                            {40, 30, 50, 30, 40},
                            {20, 45, 40, -120, 55},
                            {60, 20, 70, 170, -35}};
  for (const auto& [x0, y0, distance, heading, tilt] : views) {
    ViewState view;
    std::tie(view.look_at[0], view.look_at[1], view.distance, view.heading, view.tilt) =
        std::tuple(x0, y0, distance, heading, tilt);
    resize_view(view, kWidth, kHeight);
    draw_reference(*counts, *cells, *texcoords, view, true);
    Image ids;
    read_frame(kWidth, kHeight, ids);
    auto id_at = [&](int x, int y) {
      const int i =
          (kHeight - 1 - std::clamp(y, 0, kHeight - 1)) * kWidth + std::clamp(x, 0, kWidth - 1);
      const uint8_t* p = ids.pixels + 3 * i;
      return std::pair<int, int>{p[0] - 1, p[1] - 1};  // (-1, -1): no cell
    };
    for (int y = 3; y < kHeight; y += 7)
      for (int x = 3; x < kWidth; x += 7) {
        std::pair<int, int> picked{-1, -1};
        if (pick_cell(view, *counts, static_cast<int16_t>(x), static_cast<int16_t>(y), row, col))
          picked = {row, col};
        // The pick spans pixels 0 to w - 1, GL 0 to w: near a boundary a neighbour may show it.
        const int gx = static_cast<int>(std::lround(x * kWidth / (kWidth - 1.0) - 0.5));
        const int gy = static_cast<int>(std::lround(y * kHeight / (kHeight - 1.0) - 0.5));
        bool nearby = false, boundary = false;
        for (int d = 0; d < 25; ++d) {
          nearby = nearby || id_at(gx + d % 5 - 2, gy + d / 5 - 2) == picked;
          boundary = boundary || id_at(gx + d % 5 - 2, gy + d / 5 - 2) != id_at(gx, gy);
        }
        EXPECT_TRUE(nearby || boundary)
            << heading << ": " << x << "," << y << ": picked " << picked.first << ","
            << picked.second << " gl " << id_at(gx, gy).first;
      }
    free_image(ids);
  }
}

// Data changes redraw a few rectangles, camera moves all: each result is the whole frame.
TEST_F(SceneFrames, EveryPartialRedrawGivesTheWholeFrame) {
  gis = GisSettings{};
  open(kWidth, kHeight, std::string(VALDRIN_SOURCE_DIR) + "/data");
  RandomState random;
  ASSERT_EQ(generate_events(kGenerateCapacity, *cells, random, *store, time), 1);
  std::tie(view.heading, view.tilt, view.distance) = std::tuple(20.0f, 50.0f, 100.0f);
  const auto days = [&](int n) {
    return [this, n] {
      for (int d = 0; d < std::abs(n); ++d)
        n > 0 ? step_time_forward(query.key, kStepDay) : step_time_back(query.key, kStepDay);
    };
  };
  const auto camera = [&](float t, float d) {
    return [this, t, d] { std::tie(view.tilt, view.distance) = std::tuple(t, d); };
  };
  const std::vector<Event> last(store->records + store->count - 30, store->records + store->count);
  // clang-format off
  const std::tuple<const char*, std::function<void()>, bool> steps[] = {  // what, change, whole
      {"a month before the end", days(-30), false}, {"a day on", days(1), false},
      {"a day on", days(1), false}, {"a day on", days(1), false}, {"a day on", days(1), false},
      {"a day back", days(-1), false}, {"a day back", days(-1), false},
      {"nothing changed", [] {}, false}, {"a month back", days(-30), false},
      {"a selected block", [&] { for (int i = 0; i < 30; ++i)
           cells->words[(30 + i / 6) * kGridCols + 40 + i % 6][0] |= kSelectedBit; }, false},
      {"every cell empty", [&] { time.window_start = time.last_key; }, true},
      {"the whole store", [&] { time.window_start = 0, query.key = time.last_key; }, true},
      {"thirty into one cell", [&] { for (int k = 1; k <= 30; ++k)
           store->records[store->count - k] = test::event_at(time.last_key, 33, 42); }, false},
      {"and out again", [&] { std::ranges::copy(last, store->records + store->count - 30); },
       false}, {"turned", [&] { view.heading += 1; }, true},
      {"a forgotten frame", [&] { forget_frame(scene->frame); }, true},
      {"close and level", camera(80, 30), true}, {"close, a month back", days(-30), false},
      {"at the ground", camera(89, 5), true}, {"at the ground, a month on", days(30), true}};
  // clang-format on
  query.key = time.last_key;
  rebuild_columns(*scene, *state);
  draw_frame(*scene, view);
  int partial = 0;
  for (const auto& [what, change, whole] : steps) {
    change();
    rebuild_columns(*scene, *state);
    uint8_t in_view[kCellCount];
    find_columns_in_view(view, scene->heights, in_view);
    RedrawPlan plan;
    const bool planned = plan_redraw(scene->frame, view, scene->heights.cells, scene->looks,
                                     in_view, scene->cell_rects, plan);
    EXPECT_EQ(!planned, whole) << what << " " << plan.rect_count;
    partial += planned && plan.rect_count > 0;
    Image redrawn;  // the partial redraw, then the whole frame over it: not a byte may differ
    redraw_view(*scene, view);
    read_frame(kWidth, kHeight, redrawn);
    draw_frame(*scene, view);
    free_image(frame);
    read_frame(kWidth, kHeight, frame);
    EXPECT_EQ(std::memcmp(redrawn.pixels, frame.pixels, kWidth * kHeight * 3), 0) << what;
    free_image(redrawn);
  }
  EXPECT_GE(partial, 7);  // some days have no incident
}

}  // namespace valdrin::scene_test
