// Picking: the worked examples, and picks at tilted views against an
// independent answer: the cell tops drawn in id colours by GL itself.
#include "view/picking.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>
#include <utility>

#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

TEST(Picking, StraightDownAndDegenerateViewports) {
  auto counts = std::make_unique<CountTables>();
  clear_counts(*counts);
  ViewState view;
  resize_frustum(view, 801, 601);
  int16_t row = -1, col = -1;
  ASSERT_EQ(pick_cell(view, *counts, 400, 300, row, col), 1);  // through the shared corner
  EXPECT_EQ(std::tuple(row, col), std::tuple(32, 41));
  view.look_at[0] = -100;  // beside the grid nothing is hit
  EXPECT_EQ(pick_cell(view, *counts, 400, 300, row, col), 0);
  for (const auto& [width, height] : {std::pair<int16_t, int16_t>{1, 600}, {800, 1}, {0, 0}}) {
    ViewState small;
    resize_frustum(small, width, height);
    EXPECT_EQ(pick_cell(small, *counts, 0, 0, row, col), 0) << width << "x" << height;
  }
}

// Every cell top drawn with depth testing in a colour that names it: (row +
// 1, column + 1, 0), black where no cell is.
void draw_ids(const ViewState& view, const CountTables& counts) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  apply_camera(view);
  glBegin(GL_QUADS);
  for (int i = 0; i < kCellCount; ++i) {
    const int r = i / kGridCols, c = i % kGridCols;
    glColor3ub(static_cast<GLubyte>(r + 1), static_cast<GLubyte>(c + 1), 0);
    for (const auto& [dc, dr] : {std::pair{0, 0}, {1, 0}, {1, 1}, {0, 1}})
      glVertex3i(c + dc, r + dr, static_cast<int>(counts.cells[i]));
  }
  glEnd();
  glFinish();
}

TEST(Picking, TiltedPicksAgreeWithWhatGlDraws) {
  constexpr int kWidth = 320, kHeight = 240;
  HeadlessGl gl;
  ASSERT_EQ(open_headless_gl(kWidth, kHeight, gl), 1);
  // A field of varied heights, low enough that no side hides a top the
  // pick would report.
  auto counts = std::make_unique<CountTables>();
  for (int i = 0; i < kCellCount; ++i) counts->cells[i] = static_cast<uint32_t>((i * 7) % 5);
  // look-at x, y, distance, heading, tilt
  const float views[][5] = {
      {42, 33, 60, 0, 0}, {40, 30, 50, 30, 40}, {20, 45, 40, -120, 55}, {60, 20, 70, 170, -35}};
  for (const auto& [x0, y0, distance, heading, tilt] : views) {
    SCOPED_TRACE(heading);
    ViewState view;
    view.look_at[0] = x0;
    view.look_at[1] = y0;
    std::tie(view.distance, view.heading, view.tilt) = std::tuple(distance, heading, tilt);
    resize_view(view, kWidth, kHeight);
    draw_ids(view, *counts);
    Image ids;
    read_frame(kWidth, kHeight, ids);
    auto id_at = [&](int x, int y) {
      const uint8_t* p = ids.pixels + ((kHeight - 1 - std::clamp(y, 0, kHeight - 1)) * kWidth +
                                       std::clamp(x, 0, kWidth - 1)) *
                                          3;
      return std::pair<int, int>{p[0] - 1, p[1] - 1};  // (-1, -1): no cell
    };
    int compared = 0, agreed = 0;
    for (int y = 3; y < kHeight; y += 7)
      for (int x = 3; x < kWidth; x += 7) {
        int16_t row = -1, col = -1;
        std::pair<int, int> picked{-1, -1};
        if (pick_cell(view, *counts, static_cast<int16_t>(x), static_cast<int16_t>(y), row, col))
          picked = {row, col};
        // The pick spans pixel 0 to pixel w - 1, GL the edge of pixel 0 to
        // the edge of pixel w: compare the GL pixel at the same place.
        const int gx = static_cast<int>(std::lround(x * kWidth / (kWidth - 1.0) - 0.5));
        const int gy = static_cast<int>(std::lround(y * kHeight / (kHeight - 1.0) - 0.5));
        ++compared;
        agreed += id_at(gx, gy) == picked;
        // Near a cell boundary (a grazed wall, a far pixel spanning cells)
        // a neighbour may show the picked cell instead.
        bool nearby = false, boundary = false;
        for (int d = 0; d < 25; ++d) {
          nearby = nearby || id_at(gx + d % 5 - 2, gy + d / 5 - 2) == picked;
          boundary = boundary || id_at(gx + d % 5 - 2, gy + d / 5 - 2) != id_at(gx, gy);
        }
        EXPECT_TRUE(nearby || boundary) << x << "," << y << ": picked " << picked.first << ","
                                        << picked.second << " gl " << id_at(gx, gy).first;
      }
    EXPECT_GT(agreed, compared * 9 / 10);
    free_image(ids);
  }
  close_headless_gl(gl);
}

}  // namespace
}  // namespace valdrin
