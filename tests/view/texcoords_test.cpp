// The grid-to-map mapping: its four reference points, the extrapolated far
// grid corner, the corner order of the cell table and the inverse mapping.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace valdrin {
namespace {

TEST(Texcoords, ReferencePointsTheFarCornerAndTheCellTable) {
  struct Case {
    uint32_t row, col;
    float s, t, tolerance;
  };
  // One step past (65, 83) each way the map extrapolates.
  const Case cases[] = {{0, 0, 0.082205f, -0.092692f, 2e-6f},
                        {0, 83, 0.988951f, -0.029723f, 2e-6f},
                        {65, 0, 0.034998f, 0.975143f, 2e-6f},
                        {65, 83, 0.941745f, 1.038112f, 2e-6f},
                        {66, 84, 0.951943f, 1.055299f, 1e-5f}};
  auto table = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*table);
  for (const Case& c : cases) {
    const TexCoord at_corner = cell_corner_texcoord(c.row, c.col);
    const TexCoord at_point = grid_texcoord(static_cast<float>(c.row), static_cast<float>(c.col));
    for (const TexCoord& tc : {at_corner, at_point}) {
      EXPECT_NEAR(tc.s, c.s, c.tolerance) << c.row << "," << c.col;
      EXPECT_NEAR(tc.t, c.t, c.tolerance) << c.row << "," << c.col;
    }
    // The cell table runs round each cell from its own corner.
    const uint32_t row = std::min(c.row, 65u), col = std::min(c.col, 83u);
    const uint32_t corners[4][2] = {{row, col}, {row, col + 1}, {row + 1, col + 1}, {row + 1, col}};
    for (int k = 0; k < 4; ++k) {
      const TexCoord want = cell_corner_texcoord(corners[k][0], corners[k][1]);
      EXPECT_EQ(table->corners[row * kGridCols + col][k].s, want.s)
          << row << "," << col << " " << k;
      EXPECT_EQ(table->corners[row * kGridCols + col][k].t, want.t)
          << row << "," << col << " " << k;
    }
  }
}

TEST(Texcoords, InverseFindsTheGridPosition) {
  double worst = 0;
  for (float row = -1.0f; row <= 67.0f; row += 0.25f)
    for (float col = -1.0f; col <= 85.0f; col += 0.25f) {
      const TexCoord tc = grid_texcoord(row, col);
      double r = 0, c = 0;
      texcoord_grid(tc.s, tc.t, r, c);
      worst = std::max({worst, std::abs(r - row), std::abs(c - col)});
    }
  EXPECT_LT(worst, 1e-4);
}

}  // namespace
}  // namespace valdrin
