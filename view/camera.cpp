// The camera's matrices, built in the order the fixed-function pipeline
// composes translate, rotate and scale.
#include "view/camera.h"

#include <cmath>
#include <cstring>

namespace valdrin {

namespace {

constexpr double kPi = 3.14159265358979323846;

void identity(double m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0 : 0.0;
}

// m := m * b.
void multiply(double m[16], const double b[16]) {
  double r[16];
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += m[k * 4 + row] * b[c * 4 + k];
      r[c * 4 + row] = sum;
    }
  std::memcpy(m, r, sizeof r);
}

void translate(double m[16], double x, double y, double z) {
  const double t[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, x, y, z, 1};
  multiply(m, t);
}

// About the x axis (axis 0) or the z axis (axis 2), as glRotate turns.
void rotate(double m[16], double degrees, int axis) {
  const double a = degrees * kPi / 180.0, c = std::cos(a), s = std::sin(a);
  if (axis == 0) {
    const double r[16] = {1, 0, 0, 0, 0, c, s, 0, 0, -s, c, 0, 0, 0, 0, 1};
    multiply(m, r);
  } else {
    const double r[16] = {c, s, 0, 0, -s, c, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    multiply(m, r);
  }
}

void scale(double m[16], double x, double y, double z) {
  const double s[16] = {x, 0, 0, 0, 0, y, 0, 0, 0, 0, z, 0, 0, 0, 0, 1};
  multiply(m, s);
}

// The inverse of a matrix with an invertible upper 3 x 3 and a last row of
// (0, 0, 0, 1), as every model-view here has.
void invert_affine(const double m[16], double out[16]) {
  const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
               i = m[10];
  const double co[9] = {e * i - f * h,    -(d * i - f * g), d * h - e * g,
                        -(b * i - c * h), a * i - c * g,    -(a * h - b * g),
                        b * f - c * e,    -(a * f - c * d), a * e - b * d};
  const double det = a * co[0] + b * co[1] + c * co[2];
  identity(out);
  // out's upper 3 x 3 is the transposed cofactors over the determinant.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) out[col * 4 + row] = co[col * 3 + row] / det;
  for (int row = 0; row < 3; ++row)
    out[12 + row] = -(out[row] * m[12] + out[4 + row] * m[13] + out[8 + row] * m[14]);
}

}  // namespace

Camera make_camera(const ViewState& view) {
  Camera camera;
  double* mv = camera.model_view;
  identity(mv);
  translate(mv, 0, 0, -view.distance);
  rotate(mv, -view.tilt, 0);
  rotate(mv, -view.heading, 2);
  translate(mv, -view.look_at[0], -view.look_at[1], -view.look_at[2]);
  scale(mv, 1, 1, kEventHeight);

  // glFrustum(-a, a, -1, 1, near, far).
  const double a = view.last_aspect, n = kNearPlane, f = kFarPlane;
  const double projection[16] = {
      n / a, 0, 0, 0, 0, n, 0, 0, 0, 0, -(f + n) / (f - n), -1, 0, 0, -2 * f * n / (f - n), 0};
  std::memcpy(camera.projection, projection, sizeof projection);

  std::memcpy(camera.clip, projection, sizeof projection);
  multiply(camera.clip, mv);
  invert_affine(mv, camera.eye_to_grid);
  return camera;
}

void resize_camera(ViewState& view, int16_t width, int16_t height) {
  view.viewport_width = width;
  view.viewport_height = height;
  if (height > 0) view.last_aspect = static_cast<float>(width) / static_cast<float>(height);
}

void default_location(ViewState& view) {
  for (int i = 0; i < 3; ++i) view.look_at[i] = view.default_look_at[i];
}

void transform_point(const double m[16], double x, double y, double z, double w, double out[4]) {
  for (int k = 0; k < 4; ++k) out[k] = m[k] * x + m[4 + k] * y + m[8 + k] * z + m[12 + k] * w;
}

}  // namespace valdrin
