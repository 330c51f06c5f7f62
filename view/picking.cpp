// Pick rays and the column-top test.
#include "view/picking.h"

#include <cmath>
#include <cstring>

namespace valdrin {

float vec3_dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

float vec3_length(const Vec3& v) { return std::sqrt(vec3_dot(v, v)); }

void vec3_normalize(Vec3& v) {
  const float length = vec3_length(v);
  if (length == 0) return;
  v.x /= length;
  v.y /= length;
  v.z /= length;
}

Vec3 mat4_transform(const float m[16], const Vec3& v, float w) {
  const Vec3 in = v;  // the output may be v itself
  Vec3 out;
  out.x = m[0] * in.x + m[4] * in.y + m[8] * in.z + m[12] * w;
  out.y = m[1] * in.x + m[5] * in.y + m[9] * in.z + m[13] * w;
  out.z = m[2] * in.x + m[6] * in.y + m[10] * in.z + m[14] * w;
  return out;
}

namespace {

// current := current * right, both column-major.
void multiply(float current[16], const float right[16]) {
  float result[16];
  for (int col = 0; col < 4; ++col)
    for (int row = 0; row < 4; ++row) {
      float sum = 0;
      for (int k = 0; k < 4; ++k) sum += current[k * 4 + row] * right[col * 4 + k];
      result[col * 4 + row] = sum;
    }
  std::memcpy(current, result, sizeof result);
}

}  // namespace

void mat4_identity(float m[16]) {
  for (int i = 0; i < 16; ++i) m[i] = (i % 5 == 0) ? 1.0f : 0.0f;
}

void mat4_scale(float m[16], float x, float y, float z) {
  float s[16];
  mat4_identity(s);
  s[0] = x;
  s[5] = y;
  s[10] = z;
  multiply(m, s);
}

void mat4_translate(float m[16], float x, float y, float z) {
  float t[16];
  mat4_identity(t);
  t[12] = x;
  t[13] = y;
  t[14] = z;
  multiply(m, t);
}

void mat4_rotate(float m[16], float degrees, float x, float y, float z) {
  Vec3 axis{x, y, z};
  vec3_normalize(axis);
  const float radians = degrees * 3.14159265358979323846f / 180.0f;
  const float c = std::cos(radians), s = std::sin(radians), k = 1 - c;
  const float ax = axis.x, ay = axis.y, az = axis.z;
  float r[16];
  mat4_identity(r);
  r[0] = ax * ax * k + c;
  r[1] = ay * ax * k + az * s;
  r[2] = ax * az * k - ay * s;
  r[4] = ax * ay * k - az * s;
  r[5] = ay * ay * k + c;
  r[6] = ay * az * k + ax * s;
  r[8] = ax * az * k + ay * s;
  r[9] = ay * az * k - ax * s;
  r[10] = az * az * k + c;
  multiply(m, r);
}

void inverse_camera_matrix(const ViewState& view, float m[16]) {
  mat4_identity(m);
  mat4_scale(m, 1, 1, 4);
  mat4_translate(m, view.look_at[0], view.look_at[1], view.look_at[2]);
  mat4_rotate(m, view.heading, 0, 0, 1);
  mat4_rotate(m, view.tilt, 1, 0, 0);
  mat4_translate(m, 0, 0, view.distance);
}

int make_pick_ray(const ViewState& view, int16_t x, int16_t y, PickRay& ray) {
  ray = PickRay{};
  // A viewport of one pixel or less leaves the formula's divisors at 0.
  if (view.viewport_width <= 1 || view.viewport_height <= 1) return 0;
  float m[16];
  inverse_camera_matrix(view, m);
  const float a =
      static_cast<float>(view.viewport_width) / static_cast<float>(view.viewport_height);
  Vec3 p;
  p.x = 2 * a * x / (view.viewport_width - 1) - a;
  p.y = 1 - 2.0f * y / (view.viewport_height - 1);
  p.z = -4.00001f;
  const Vec3 point = mat4_transform(m, p, 1);
  const Vec3 eye = mat4_transform(m, Vec3{}, 1);
  ray.origin = eye;
  ray.direction = Vec3{point.x - eye.x, point.y - eye.y, point.z - eye.z};
  vec3_normalize(ray.direction);
  return 1;
}

void test_cell_top(PickRay& ray, const CountTables& counts, int row, int col) {
  const float h = static_cast<float>(counts.cells[row * kGridCols + col]);
  const Vec3& o = ray.origin;
  const Vec3& d = ray.direction;
  if (d.z == 0) return;
  const float t = (h - o.z) / d.z;
  // A top above the eye would be met behind it; such a hit must not win
  // over every cell in front.
  if (t < 0 || !(t < ray.best)) return;
  const float x = o.x + t * d.x;
  const float y = o.y + t * d.y;
  if (col <= x && x <= col + 1 && row <= y && y <= row + 1) {
    ray.best = t;
    ray.hit_row = static_cast<uint8_t>(row);
    ray.hit_col = static_cast<uint8_t>(col);
  }
}

int pick_cell(const ViewState& view, const CountTables& counts, int16_t x, int16_t y, int16_t& row,
              int16_t& col) {
  PickRay ray;
  if (!make_pick_ray(view, x, y, ray)) return 0;
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridCols; ++c) test_cell_top(ray, counts, r, c);
  if (ray.best == 1.0e30f) return 0;
  row = ray.hit_row;
  col = ray.hit_col;
  return 1;
}

}  // namespace valdrin
