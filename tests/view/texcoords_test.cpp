// The grid-to-map mapping: its inverse, and the per-cell corner table the
// column tops are drawn with. The mapping itself is pinned by the
// regenerated atlas and the drawn frames.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <tuple>

namespace valdrin {
namespace {

TEST(Texcoords, InverseFindsTheGridPositionAndTheTableHoldsEachCellsCorners) {
  double worst = 0;
  for (float row = -1.0f; row <= 67.0f; row += 0.25f)
    for (float col = -1.0f; col <= 85.0f; col += 0.25f) {
      const TexCoord tc = grid_texcoord(row, col);
      double r = 0, c = 0;
      texcoord_grid(tc.s, tc.t, r, c);
      worst = std::max({worst, std::abs(r - row), std::abs(c - col)});
    }
  EXPECT_LT(worst, 1e-4);
  auto table = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*table);
  const uint32_t corners[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};  // (row, column) steps
  for (uint32_t i = 0; i < kCellCount; ++i)
    for (int k = 0; k < 4; ++k) {
      const TexCoord want =
          cell_corner_texcoord(i / kGridCols + corners[k][0], i % kGridCols + corners[k][1]);
      ASSERT_EQ(std::tuple(table->corners[i][k].s, table->corners[i][k].t),
                std::tuple(want.s, want.t))
          << i << " " << k;
    }
}

}  // namespace
}  // namespace valdrin
