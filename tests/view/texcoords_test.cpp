// The inverse of the grid-to-map mapping. The mapping itself is pinned by
// the regenerated atlas, the column tops and the drawn frames.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace valdrin {
namespace {

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
