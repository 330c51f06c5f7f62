// The grid-to-map mapping: its four reference points, the extrapolated far
// grid corner and the inverse mapping. The corner order of the cell table
// is checked through the column tops.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace valdrin {
namespace {

TEST(Texcoords, ReferencePointsAndTheFarCorner) {
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
  for (const Case& c : cases) {
    const TexCoord at_corner = cell_corner_texcoord(c.row, c.col);
    const TexCoord at_point = grid_texcoord(static_cast<float>(c.row), static_cast<float>(c.col));
    for (const TexCoord& tc : {at_corner, at_point}) {
      EXPECT_NEAR(tc.s, c.s, c.tolerance) << c.row << "," << c.col;
      EXPECT_NEAR(tc.t, c.t, c.tolerance) << c.row << "," << c.col;
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
