// The grid-to-map mapping: its four reference points, the extrapolated far
// grid corner, the corner order of the cell table and the inverse mapping.
#include "view/texcoords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace valdrin {
namespace {

constexpr float kTolerance = 2e-6f;

TEST(Texcoords, ReferenceGridPoints) {
  struct Case {
    uint32_t row, col;
    float s, t;
  };
  const Case cases[] = {
      {0, 0, 0.082205f, -0.092692f},
      {0, 83, 0.988951f, -0.029723f},
      {65, 0, 0.034998f, 0.975143f},
      {65, 83, 0.941745f, 1.038112f},
  };
  for (const Case& c : cases) {
    const TexCoord tc = cell_corner_texcoord(c.row, c.col);
    EXPECT_NEAR(tc.s, c.s, kTolerance) << c.row << "," << c.col;
    EXPECT_NEAR(tc.t, c.t, kTolerance) << c.row << "," << c.col;
    const TexCoord fractional = grid_texcoord(static_cast<float>(c.row), static_cast<float>(c.col));
    EXPECT_NEAR(fractional.s, c.s, kTolerance);
    EXPECT_NEAR(fractional.t, c.t, kTolerance);
  }
}

TEST(Texcoords, FarCornerExtrapolates) {
  // Grid point (66, 84) lies one step past (65, 83): u = 84/83, v = 66/65.
  const double u = 84.0 / 83.0;
  const double v = 66.0 / 65.0;
  const double s =
      (1 - v) * ((1 - u) * 0.082205 + u * 0.988951) + v * ((1 - u) * 0.034998 + u * 0.941745);
  const double t =
      (1 - v) * ((1 - u) * -0.092692 + u * -0.029723) + v * ((1 - u) * 0.975143 + u * 1.038112);
  const TexCoord tc = cell_corner_texcoord(66, 84);
  EXPECT_NEAR(tc.s, s, 1e-5);
  EXPECT_NEAR(tc.t, t, 1e-5);
  EXPECT_GT(tc.t, 1.038112f);
}

TEST(Texcoords, CellCornersRunRoundEachCell) {
  auto table = std::make_unique<CellTexcoords>();
  build_cell_texcoords(*table);
  struct Case {
    uint32_t row, col;
  };
  const Case cells[] = {{0, 0}, {0, 83}, {20, 10}, {65, 0}, {65, 83}};
  for (const Case& c : cells) {
    const TexCoord* corners = table->corners[c.row * kGridCols + c.col];
    const TexCoord expected[4] = {
        cell_corner_texcoord(c.row, c.col), cell_corner_texcoord(c.row, c.col + 1),
        cell_corner_texcoord(c.row + 1, c.col + 1), cell_corner_texcoord(c.row + 1, c.col)};
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(corners[k].s, expected[k].s) << c.row << "," << c.col << " corner " << k;
      EXPECT_EQ(corners[k].t, expected[k].t) << c.row << "," << c.col << " corner " << k;
    }
  }
  // Neighbouring cells share their corners.
  const TexCoord* left = table->corners[20 * kGridCols + 10];
  const TexCoord* right = table->corners[20 * kGridCols + 11];
  EXPECT_EQ(left[1].s, right[0].s);
  EXPECT_EQ(left[2].t, right[3].t);
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
