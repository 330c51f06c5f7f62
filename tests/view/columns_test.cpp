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
  ASSERT_EQ(std::tuple(tops.size(), sides.size()), std::tuple(kCellCount, kCellCount * 4u));
  const float greys[4] = {0.9f, 0.93f, 0.96f, 0.99f};
  for (const int h : {0, 3}) {
    const int at = i + (h == 0), x = c + (h == 0);  // the empty cell lies beside the column
    EXPECT_EQ(tops[at].grey, h ? kSelectedGrey : 1.0f);
    const int corners[4][2] = {{x, r}, {x + 1, r}, {x + 1, r + 1}, {x, r + 1}};
    for (int k = 0; k < 4; ++k) {
      const int *a = corners[k], *b = corners[(k + 1) % 4];
      const TexCoord want =
          cell_corner_texcoord(static_cast<uint32_t>(a[1]), static_cast<uint32_t>(a[0]));
      const int32_t* v = tops[at].vertex[k];
      EXPECT_EQ(std::tuple(v[0], v[1], v[2], tops[at].tex[k].s, tops[at].tex[k].t),
                std::tuple(a[0], a[1], h, want.s, want.t))
          << k;
      // Side k runs from corner k to the next, then up.
      const SideQuad& s = sides[at * 4 + k];
      EXPECT_EQ(s.grey, greys[k]);
      const int32_t expected[4][5] = {{a[0], a[1], 0, 0, 0},
                                      {b[0], b[1], 0, 1, 0},
                                      {b[0], b[1], h, 1, h},
                                      {a[0], a[1], h, 0, h}};
      for (int n = 0; n < 4; ++n)
        EXPECT_EQ(
            std::tuple(s.vertex[n][0], s.vertex[n][1], s.vertex[n][2], s.tex[n][0], s.tex[n][1]),
            std::tuple(expected[n][0], expected[n][1], expected[n][2], expected[n][3],
                       expected[n][4]))
            << k << " " << n;
    }
  }
}

TEST(Camera, FrustumFollowsTheViewportAndSurvivesHeightZero) {
  ViewState view;
  for (const int16_t height : {600, 0}) {  // a minimised window keeps the projection
    const Frustum f = resize_frustum(view, 800, height);
    EXPECT_EQ(std::tuple(view.viewport_width, view.viewport_height), std::tuple(800, height));
    EXPECT_NEAR(f.right, 4.0 / 3, 1e-6);
    EXPECT_NEAR(f.left, -4.0 / 3, 1e-6);
    EXPECT_EQ(std::tuple(f.bottom, f.top, f.near_plane, f.far_plane),
              std::tuple(-1.0, 1.0, 4.0, 256000.0));
  }
}

}  // namespace
}  // namespace valdrin
