// Pick rays and the column-top test.
#include "view/picking.h"

#include <cmath>

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

int make_pick_ray(const ViewState& view, int16_t x, int16_t y, PickRay& ray) {
  ray = PickRay{};
  // A viewport of one pixel or less leaves the formula's divisors at 0.
  if (view.viewport_width <= 1 || view.viewport_height <= 1) return 0;
  const Camera camera = make_camera(view);
  // The pixel on a plane just beyond the near plane, in eye coordinates:
  // x runs over -a..a and y over 1..-1 from the first pixel to the last.
  const double a = static_cast<double>(view.viewport_width) / view.viewport_height;
  const double px = 2 * a * x / (view.viewport_width - 1) - a;
  const double py = 1 - 2.0 * y / (view.viewport_height - 1);
  const double pz = -(kNearPlane + 1e-5);
  double point[4], eye[4];
  transform_point(camera.eye_to_grid, px, py, pz, 1.0, point);
  transform_point(camera.eye_to_grid, 0, 0, 0, 1.0, eye);
  ray.origin =
      Vec3{static_cast<float>(eye[0]), static_cast<float>(eye[1]), static_cast<float>(eye[2])};
  ray.direction = Vec3{static_cast<float>(point[0] - eye[0]), static_cast<float>(point[1] - eye[1]),
                       static_cast<float>(point[2] - eye[2])};
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
