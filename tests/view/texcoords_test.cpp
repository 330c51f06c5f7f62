// The grid-to-map mapping: its four reference points, the extrapolated far
// grid corner, the corner order of the cell table and the inverse mapping.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

namespace valdrin {
namespace {

TEST(Texcoords, ReferenceGridPointsAndTheFarCorner) {
  struct Case {
    uint32_t row, col;
    float s, t, tolerance;
  };
  const Case cases[] = {
      {0, 0, 0.082205f, -0.092692f, 2e-6f},
      {0, 83, 0.988951f, -0.029723f, 2e-6f},
      {65, 0, 0.034998f, 0.975143f, 2e-6f},
      {65, 83, 0.941745f, 1.038112f, 2e-6f},
      // One step past (65, 83) each way: the map extrapolates, it doesn't
      // stop at the last reference point.
      {66, 84, 0.951943f, 1.055299f, 1e-5f},
  };
  for (const Case& c : cases) {
    const TexCoord tc = cell_corner_texcoord(c.row, c.col);
    EXPECT_NEAR(tc.s, c.s, c.tolerance) << c.row << "," << c.col;
    EXPECT_NEAR(tc.t, c.t, c.tolerance) << c.row << "," << c.col;
    const TexCoord fractional = grid_texcoord(static_cast<float>(c.row), static_cast<float>(c.col));
    EXPECT_NEAR(fractional.s, c.s, c.tolerance) << c.row << "," << c.col;
    EXPECT_NEAR(fractional.t, c.t, c.tolerance) << c.row << "," << c.col;
  }
}

TEST(Texcoords, CellCornersRunRoundEachCell) {
  auto table = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*table);
  for (const auto& [row, col] : {std::pair{0u, 0u}, {0u, 83u}, {20u, 10u}, {65u, 0u}, {65u, 83u}}) {
    const TexCoord* corners = table->corners[row * kGridCols + col];
    const TexCoord expected[4] = {
        cell_corner_texcoord(row, col), cell_corner_texcoord(row, col + 1),
        cell_corner_texcoord(row + 1, col + 1), cell_corner_texcoord(row + 1, col)};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(corners[k].s, expected[k].s) << row << "," << col << " corner " << k;
      EXPECT_EQ(corners[k].t, expected[k].t) << row << "," << col << " corner " << k;
    }
  }
}

TEST(Texcoords, InverseFindsTheGridPosition) {
  double worst = 0;
  for (float row = -1.0f; row <= 67.0f; row += 0.25f)
    for (float col = -1.0f; col <= 85.0f; col += 0.25f) {
      const TexCoord tc = grid_texcoord(row, col);
      double r = 0;
      double c = 0;
      texcoord_grid(tc.s, tc.t, r, c);
      worst = std::max({worst, std::abs(r - row), std::abs(c - col)});
    }
  EXPECT_LT(worst, 1e-4);
}

}  // namespace
}  // namespace valdrin
