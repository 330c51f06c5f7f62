// Picking: the vector helpers, the inverse camera matrix against the one GL
// builds, the worked examples, and picks at tilted views against an
// independent answer: the cell tops drawn in id colours by GL itself.
#include "view/picking.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "view/headless.h"
#include "view/scene.h"

namespace valdrin {
namespace {

// A view from {look-at x, look-at y, distance, heading, tilt}.
ViewState view_of(const float (&v)[5]) {
  ViewState view;
  view.look_at[0] = v[0];
  view.look_at[1] = v[1];
  view.distance = v[2];
  view.heading = v[3];
  view.tilt = v[4];
  return view;
}

TEST(Vectors, DotLengthNormalizeTransform) {
  const Vec3 a{1, 2, 3}, b{4, -5, 6};
  EXPECT_FLOAT_EQ(vec3_dot(a, b), 12);
  EXPECT_FLOAT_EQ(vec3_length(Vec3{3, 4, 0}), 5);
  Vec3 v{0, 3, 4};
  vec3_normalize(v);
  EXPECT_FLOAT_EQ(v.y, 0.6f);
  EXPECT_FLOAT_EQ(v.z, 0.8f);
  Vec3 zero;
  vec3_normalize(zero);  // stays zero, no division by 0
  EXPECT_EQ(zero.x, 0);
  float m[16];
  mat4_identity(m);
  mat4_translate(m, 1, 2, 3);
  Vec3 p{5, 5, 5};
  p = mat4_transform(m, p, 1);  // the output may be the input
  EXPECT_FLOAT_EQ(p.x, 6);
  EXPECT_FLOAT_EQ(p.z, 8);
  EXPECT_FLOAT_EQ(mat4_transform(m, Vec3{5, 5, 5}, 0).x, 5);
}

class GlPicking : public ::testing::Test {
 protected:
  HeadlessGl gl;
  std::unique_ptr<CountTables> counts = std::make_unique<CountTables>();
  void SetUp() override {
    ASSERT_EQ(open_headless_gl(kWidth, kHeight, gl), 1);
    clear_counts(*counts);
  }
  void TearDown() override { close_headless_gl(gl); }
  static constexpr int kWidth = 320;
  static constexpr int kHeight = 240;
};

TEST_F(GlPicking, InverseCameraMatchesTheGlMatrixStack) {
  const float views[][5] = {{42, 33, 100, 0, 0}, {10, 50, 37, 120, 45}, {70, 5, 8, -170, -80}};
  for (const auto& v : views) {
    ViewState view = view_of(v);
    float ours[16];
    inverse_camera_matrix(view, ours);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glScalef(1, 1, 4);
    glTranslatef(view.look_at[0], view.look_at[1], view.look_at[2]);
    glRotatef(view.heading, 0, 0, 1);
    glRotatef(view.tilt, 1, 0, 0);
    glTranslatef(0, 0, view.distance);
    float theirs[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, theirs);
    glPopMatrix();
    for (int i = 0; i < 16; ++i)
      EXPECT_NEAR(ours[i], theirs[i], 1e-4f * (1 + std::fabs(theirs[i]))) << i;
  }
}

TEST(Picking, StraightDownThroughTheSharedCorner) {
  ViewState view;
  resize_frustum(view, 801, 601);
  auto counts = std::make_unique<CountTables>();
  clear_counts(*counts);
  int16_t row = -1, col = -1;
  ASSERT_EQ(pick_cell(view, *counts, 400, 300, row, col), 1);
  EXPECT_EQ(row, 32);
  EXPECT_EQ(col, 41);
  // Beside the grid nothing is hit.
  view.look_at[0] = -100;
  EXPECT_EQ(pick_cell(view, *counts, 400, 300, row, col), 0);
}

TEST(Picking, DegenerateViewportsPickNothing) {
  auto counts = std::make_unique<CountTables>();
  clear_counts(*counts);
  int16_t row, col;
  for (const auto& size : {std::pair<int16_t, int16_t>{1, 600}, {800, 1}, {800, 0}, {0, 0}}) {
    ViewState view;
    resize_frustum(view, size.first, size.second);
    EXPECT_EQ(pick_cell(view, *counts, 0, 0, row, col), 0);
  }
}

TEST(Picking, TopsAboveTheEyeDoNotWin) {
  // Looking level from low down, a tall column behind the eye would be met
  // at a negative parameter.
  ViewState view;
  resize_frustum(view, 200, 200);
  view.tilt = 90;
  view.distance = 10;
  auto counts = std::make_unique<CountTables>();
  clear_counts(*counts);
  counts->cells[20 * kGridCols + 42] = 400;  // behind the eye (eye at row 23)
  counts->cells[40 * kGridCols + 42] = 2;    // ahead of the eye, below its height
  PickRay ray;
  ASSERT_EQ(make_pick_ray(view, 100, 150, ray), 1);
  test_cell_top(ray, *counts, 20, 42);
  EXPECT_EQ(ray.best, 1.0e30f);
}

// Draws every cell top in a colour that names it, with depth testing, and
// reads back the cell GL shows at each pixel.
void draw_ids(const ViewState& view, const CountTables& counts) {
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glEnable(GL_DEPTH_TEST);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  apply_camera(view);
  glBegin(GL_QUADS);
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridCols; ++c) {
      const int h = static_cast<int>(counts.cells[r * kGridCols + c]);
      glColor3ub(static_cast<GLubyte>(r + 1), static_cast<GLubyte>(c + 1), 0);
      glVertex3i(c, r, h);
      glVertex3i(c + 1, r, h);
      glVertex3i(c + 1, r + 1, h);
      glVertex3i(c, r + 1, h);
    }
  glEnd();
  glFinish();
}

TEST_F(GlPicking, TiltedPicksAgreeWithWhatGlDraws) {
  // A field of varied heights, low enough that no side hides a top the
  // pick would report.
  for (int i = 0; i < kCellCount; ++i) counts->cells[i] = static_cast<uint32_t>((i * 7) % 5);
  const float views[][5] = {
      {42, 33, 60, 0, 0}, {40, 30, 50, 30, 40}, {20, 45, 40, -120, 55}, {60, 20, 70, 170, -35}};
  for (const auto& v : views) {
    ViewState view = view_of(v);
    resize_view(view, kWidth, kHeight);
    draw_ids(view, *counts);
    Image ids;
    read_frame(kWidth, kHeight, ids);
    auto id_at = [&](int x, int y) {
      x = std::clamp(x, 0, kWidth - 1);
      y = std::clamp(y, 0, kHeight - 1);
      const uint8_t* p = ids.pixels + ((kHeight - 1 - y) * kWidth + x) * 3;
      return std::pair<int, int>{p[0] - 1, p[1] - 1};  // (-1, -1): no cell
    };
    int compared = 0, agreed = 0;
    for (int y = 3; y < kHeight; y += 7) {
      for (int x = 3; x < kWidth; x += 7) {
        int16_t row = -1, col = -1;
        const int hit =
            pick_cell(view, *counts, static_cast<int16_t>(x), static_cast<int16_t>(y), row, col);
        const std::pair<int, int> picked =
            hit ? std::pair<int, int>{row, col} : std::pair<int, int>{-1, -1};
        // The pick spans the frustum from pixel 0 to pixel w - 1, GL from
        // the edge of pixel 0 to the edge of pixel w: look up the GL pixel at
        // the same place, and allow its neighbours where a cell boundary
        // falls between them (far off, a pixel spans more than one cell).
        const int gx = static_cast<int>(std::lround(x * kWidth / (kWidth - 1.0) - 0.5));
        const int gy = static_cast<int>(std::lround(y * kHeight / (kHeight - 1.0) - 0.5));
        ++compared;
        agreed += id_at(gx, gy) == picked;
        bool nearby = false, boundary = false;
        for (int dy = -2; dy <= 2; ++dy)
          for (int dx = -2; dx <= 2; ++dx) {
            nearby = nearby || id_at(gx + dx, gy + dy) == picked;
            boundary = boundary || id_at(gx + dx, gy + dy) != id_at(gx, gy);
          }
        // A ray that grazes the top edge of a wall between two heights may
        // meet a far top, or none, where GL a pixel off shows the near one;
        // that happens only on a boundary.
        EXPECT_TRUE(nearby || boundary)
            << x << "," << y << ": picked " << picked.first << "," << picked.second << " gl "
            << id_at(gx, gy).first << "," << id_at(gx, gy).second << " view " << v[3];
      }
    }
    EXPECT_GT(agreed, compared * 9 / 10) << v[3] << " " << v[4];
    free_image(ids);
  }
}

}  // namespace
}  // namespace valdrin
