// The camera's matrices, built in the order the fixed-function pipeline
// composes translate, rotate and scale.
#include "view/camera.h"

#include <cmath>
#include <cstring>

namespace valdrin {

namespace {

constexpr double kPi = 3.14159265358979323846;

void identity(float m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

// m := m * b, each entry summed from the first term to the last.
void multiply(float m[16], const float b[16]) {
  float r[16];
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row)
      r[c * 4 + row] = m[row] * b[c * 4] + m[4 + row] * b[c * 4 + 1] + m[8 + row] * b[c * 4 + 2] +
                       m[12 + row] * b[c * 4 + 3];
  std::memcpy(m, r, sizeof r);
}

// As glTranslatef: only the last column changes.
void translate(float m[16], float x, float y, float z) {
  for (int row = 0; row < 4; ++row)
    m[12 + row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
}

// As glRotatef about the x axis (axis 0) or the z axis (axis 2): the angle
// in radians rounded to float, its sine and cosine taken in float.
void rotate(float m[16], float degrees, int axis) {
  if (degrees == 0.0f) return;
  const float radians = static_cast<float>(degrees * kPi / 180.0);
  const float s = std::sin(radians), c = std::cos(radians);
  float r[16];
  identity(r);
  if (axis == 0) {
    r[5] = c, r[6] = s, r[9] = -s, r[10] = c;
  } else {
    r[0] = c, r[1] = s, r[4] = -s, r[5] = c;
  }
  multiply(m, r);
}

// As glScalef: each column scaled.
void scale(float m[16], float x, float y, float z) {
  const float by[3] = {x, y, z};
  for (int col = 0; col < 3; ++col)
    for (int row = 0; row < 4; ++row) m[col * 4 + row] *= by[col];
}

// As glFrustum(-aspect, aspect, -1, 1, near, far) on the identity.
void frustum(float m[16], float aspect) {
  const float left = -aspect, right = aspect, bottom = -1.0f, top = 1.0f;
  const float n = static_cast<float>(kNearPlane), f = static_cast<float>(kFarPlane);
  identity(m);
  m[0] = (2.0f * n) / (right - left);
  m[5] = (2.0f * n) / (top - bottom);
  m[8] = (right + left) / (right - left);
  m[9] = (top + bottom) / (top - bottom);
  m[10] = -(f + n) / (f - n);
  m[11] = -1.0f;
  m[14] = -(2.0f * f * n) / (f - n);
  m[15] = 0.0f;
}

// out := a * b in double.
void multiply_double(const float a[16], const float b[16], double out[16]) {
  for (int c = 0; c < 4; ++c)
    for (int row = 0; row < 4; ++row) {
      double sum = 0;
      for (int k = 0; k < 4; ++k) sum += static_cast<double>(a[k * 4 + row]) * b[c * 4 + k];
      out[c * 4 + row] = sum;
    }
}

// The inverse of a matrix with an invertible upper 3 x 3 and a last row of
// (0, 0, 0, 1), as every model-view here has, in double.
void invert_affine(const float m[16], double out[16]) {
  const double a = m[0], b = m[4], c = m[8], d = m[1], e = m[5], f = m[9], g = m[2], h = m[6],
               i = m[10];
  // Cofactors, row by row.
  const double co[9] = {e * i - f * h,    -(d * i - f * g), d * h - e * g,
                        -(b * i - c * h), a * i - c * g,    -(a * h - b * g),
                        b * f - c * e,    -(a * f - c * d), a * e - b * d};
  const double det = a * co[0] + b * co[1] + c * co[2];
  for (int k = 0; k < 16; ++k) out[k] = (k % 5 == 0) ? 1.0 : 0.0;
  // The upper 3 x 3 is the transposed cofactors over the determinant.
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 3; ++col) out[col * 4 + row] = co[col * 3 + row] / det;
  for (int row = 0; row < 3; ++row)
    out[12 + row] = -(out[row] * m[12] + out[4 + row] * m[13] + out[8 + row] * m[14]);
}

}  // namespace

Camera make_camera(const ViewState& view) {
  Camera camera;
  float* mv = camera.model_view;
  identity(mv);
  translate(mv, 0, 0, -view.distance);
  rotate(mv, -view.tilt, 0);
  rotate(mv, -view.heading, 2);
  translate(mv, -view.look_at[0], -view.look_at[1], -view.look_at[2]);
  scale(mv, 1, 1, static_cast<float>(kEventHeight) / view.events_per_band);
  frustum(camera.projection, view.last_aspect);
  multiply_double(camera.projection, mv, camera.clip);
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
