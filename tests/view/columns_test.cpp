// Column geometry and the camera values, without a GL context.
#include "view/columns.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "view/camera.h"

namespace valdrin {
namespace {

class Columns : public ::testing::Test {
 protected:
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  std::unique_ptr<CellTable> cells = std::make_unique<CellTable>();
  std::unique_ptr<CellTexcoords> texcoords = std::make_unique<CellTexcoords>();
  std::vector<TopQuad> tops;
  std::vector<SideQuad> sides;

  void SetUp() override {
    clear_counts(*counts);
    *cells = CellTable{};
    build_cell_texcoords(*texcoords);
  }
  void build() {
    build_top_quads(*counts, *cells, *texcoords, tops);
    build_side_quads(*counts, sides);
  }
};

TEST_F(Columns, OneTopAndFourSidesPerCellInScanOrder) {
  build();
  ASSERT_EQ(tops.size(), static_cast<size_t>(kCellCount));
  ASSERT_EQ(sides.size(), static_cast<size_t>(kCellCount) * 4);
  // Cell (1, 0) follows cell (0, 83).
  EXPECT_EQ(tops[84].vertex[0][0], 0);
  EXPECT_EQ(tops[84].vertex[0][1], 1);
  EXPECT_EQ(tops[83].vertex[0][0], 83);
  EXPECT_EQ(tops[83].vertex[0][1], 0);
}

TEST_F(Columns, TopOfAZeroCountCellLiesOnTheGroundWithItsMapPiece) {
  const int r = 20, c = 10, i = r * kGridCols + c;
  build();
  const TopQuad& q = tops[i];
  EXPECT_EQ(q.grey, 1.0f);
  const int corners[4][2] = {{c, r}, {c + 1, r}, {c + 1, r + 1}, {c, r + 1}};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(q.vertex[k][0], corners[k][0]);
    EXPECT_EQ(q.vertex[k][1], corners[k][1]);
    EXPECT_EQ(q.vertex[k][2], 0);
    const TexCoord want = cell_corner_texcoord(static_cast<uint32_t>(corners[k][1]),
                                               static_cast<uint32_t>(corners[k][0]));
    EXPECT_EQ(q.tex[k].s, want.s);
    EXPECT_EQ(q.tex[k].t, want.t);
  }
  // Zero-height sides draw nothing: their top and bottom coincide.
  for (int f = 0; f < 4; ++f) {
    const SideQuad& s = sides[i * 4 + f];
    EXPECT_EQ(s.vertex[2][2], 0);
    EXPECT_EQ(s.vertex[3][2], 0);
  }
}

TEST_F(Columns, ColumnOfThreeAndSelectedTop) {
  const int r = 7, c = 30, i = r * kGridCols + c;
  counts->cells[i] = 3;
  cells->words[i][0] = kSelectedBit;
  build();
  EXPECT_EQ(tops[i].grey, kSelectedGrey);
  EXPECT_EQ(tops[i + 1].grey, 1.0f);
  for (int k = 0; k < 4; ++k) EXPECT_EQ(tops[i].vertex[k][2], 3);

  struct Face {
    float grey;
    int vertices[4][3];
  };
  const Face faces[4] = {
      {0.9f, {{c, r, 0}, {c + 1, r, 0}, {c + 1, r, 3}, {c, r, 3}}},
      {0.93f, {{c + 1, r, 0}, {c + 1, r + 1, 0}, {c + 1, r + 1, 3}, {c + 1, r, 3}}},
      {0.96f, {{c + 1, r + 1, 0}, {c, r + 1, 0}, {c, r + 1, 3}, {c + 1, r + 1, 3}}},
      {0.99f, {{c, r + 1, 0}, {c, r, 0}, {c, r, 3}, {c, r + 1, 3}}},
  };
  const int tex[4][2] = {{0, 0}, {1, 0}, {1, 3}, {0, 3}};
  for (int f = 0; f < 4; ++f) {
    const SideQuad& s = sides[i * 4 + f];
    EXPECT_EQ(s.grey, faces[f].grey) << f;
    for (int k = 0; k < 4; ++k) {
      for (int d = 0; d < 3; ++d) EXPECT_EQ(s.vertex[k][d], faces[f].vertices[k][d]) << f << k;
      EXPECT_EQ(s.tex[k][0], tex[k][0]);
      EXPECT_EQ(s.tex[k][1], tex[k][1]);
    }
  }
}

TEST(Camera, FrustumFollowsTheViewportAndSurvivesHeightZero) {
  ViewState view;
  Frustum f = resize_frustum(view, 800, 600);
  EXPECT_EQ(view.viewport_width, 800);
  EXPECT_EQ(view.viewport_height, 600);
  EXPECT_NEAR(f.left, -1.3333, 1e-4);
  EXPECT_NEAR(f.right, 1.3333, 1e-4);
  EXPECT_EQ(f.bottom, -1);
  EXPECT_EQ(f.top, 1);
  EXPECT_EQ(f.near_plane, 4);
  EXPECT_EQ(f.far_plane, 256000);
  // A minimised window keeps the last projection.
  f = resize_frustum(view, 800, 0);
  EXPECT_EQ(view.viewport_height, 0);
  EXPECT_NEAR(f.right, 1.3333, 1e-4);
  f = resize_frustum(view, 1000, 500);
  EXPECT_NEAR(f.right, 2.0, 1e-6);
}

TEST(Camera, DefaultLocationRestoresOnlyTheLookAtPoint) {
  ViewState view;
  view.look_at[0] = 3;
  view.look_at[1] = 4;
  view.distance = 17;
  view.heading = 20;
  view.tilt = -30;
  default_location(view);
  EXPECT_EQ(view.look_at[0], 42.0f);
  EXPECT_EQ(view.look_at[1], 33.0f);
  EXPECT_EQ(view.look_at[2], 0.0f);
  EXPECT_EQ(view.distance, 17.0f);
  EXPECT_EQ(view.heading, 20.0f);
  EXPECT_EQ(view.tilt, -30.0f);
}

}  // namespace
}  // namespace valdrin
