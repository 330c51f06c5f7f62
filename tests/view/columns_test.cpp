// Column geometry and the camera values, without a GL context.
#include "view/columns.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "view/camera.h"

namespace valdrin {
namespace {

// One top and four sides per cell in scan order; a top lies at the cell's
// count with its map piece, grey unless selected; the sides run once round
// the cell, each in its own grey, with one texture unit per event upward.
TEST(Columns, TopsAndSidesOfAnEmptyCellAndAColumnOfThree) {
  auto counts = std::make_unique<CountTables>();
  auto cells = std::make_unique<CellTable>();
  auto texcoords = std::make_unique<CellTexcoords>();
  clear_counts(*counts);
  build_cell_texcoords(*texcoords);
  const int r = 7, c = 30, i = r * kGridCols + c;
  counts->cells[i] = 3;
  cells->words[i][0] = kSelectedBit;
  std::vector<TopQuad> tops;
  std::vector<SideQuad> sides;
  build_top_quads(*counts, *cells, *texcoords, tops);
  build_side_quads(*counts, sides);
  ASSERT_EQ(tops.size(), static_cast<size_t>(kCellCount));
  ASSERT_EQ(sides.size(), static_cast<size_t>(kCellCount) * 4);
  const float greys[4] = {0.9f, 0.93f, 0.96f, 0.99f};
  for (const int h : {0, 3}) {
    const int at = i + (h == 0);  // the empty cell beside the column
    const int x = c + (h == 0);
    EXPECT_EQ(tops[at].grey, h ? kSelectedGrey : 1.0f);
    const int corners[4][2] = {{x, r}, {x + 1, r}, {x + 1, r + 1}, {x, r + 1}};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(tops[at].vertex[k][0], corners[k][0]);
      EXPECT_EQ(tops[at].vertex[k][1], corners[k][1]);
      EXPECT_EQ(tops[at].vertex[k][2], h);
      const TexCoord want = cell_corner_texcoord(static_cast<uint32_t>(corners[k][1]),
                                                 static_cast<uint32_t>(corners[k][0]));
      EXPECT_EQ(tops[at].tex[k].s, want.s);
      EXPECT_EQ(tops[at].tex[k].t, want.t);
    }
    for (int f = 0; f < 4; ++f) {
      const SideQuad& s = sides[at * 4 + f];
      EXPECT_EQ(s.grey, greys[f]);
      const int* a = corners[f];
      const int* b = corners[(f + 1) % 4];
      const int vertices[4][3] = {
          {a[0], a[1], 0}, {b[0], b[1], 0}, {b[0], b[1], h}, {a[0], a[1], h}};
      const int tex[4][2] = {{0, 0}, {1, 0}, {1, h}, {0, h}};
      for (int k = 0; k < 4; ++k) {
        for (int d = 0; d < 3; ++d) EXPECT_EQ(s.vertex[k][d], vertices[k][d]) << f << k << d;
        EXPECT_EQ(std::tuple(s.tex[k][0], s.tex[k][1]), std::tuple(tex[k][0], tex[k][1])) << f << k;
      }
    }
  }
}

TEST(Camera, FrustumFollowsTheViewportAndSurvivesHeightZero) {
  ViewState view;
  Frustum f = resize_frustum(view, 800, 600);
  EXPECT_EQ(std::tuple(view.viewport_width, view.viewport_height), std::tuple(800, 600));
  EXPECT_NEAR(f.right, 4.0 / 3, 1e-6);
  EXPECT_NEAR(f.left, -4.0 / 3, 1e-6);
  EXPECT_EQ(std::tuple(f.bottom, f.top, f.near_plane, f.far_plane),
            std::tuple(-1.0, 1.0, 4.0, 256000.0));
  f = resize_frustum(view, 800, 0);  // a minimised window keeps the projection
  EXPECT_EQ(view.viewport_height, 0);
  EXPECT_NEAR(f.right, 4.0 / 3, 1e-6);
}

}  // namespace
}  // namespace valdrin
