// Picking the grid cell under the pointer: the ray through a pixel, taken
// back to grid units by the camera's inverse (camera.h), and the test of
// each column's top square. No GL context is needed.
#pragma once

#include <cstdint>

#include "core/query.h"
#include "view/camera.h"

namespace valdrin {

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

float vec3_dot(const Vec3& a, const Vec3& b);
float vec3_length(const Vec3& v);
// Scales v to unit length, unless its length is 0.
void vec3_normalize(Vec3& v);
struct PickRay {
  Vec3 origin;
  Vec3 direction;
  float best = 1.0e30f;  // ray parameter of the nearest hit; 1e30 is none
  uint8_t hit_row = 0;
  uint8_t hit_col = 0;
};

// The ray from the eye through pointer (x, y) of the viewport. Return 1, or
// 0 when the viewport is 1 pixel or less in either direction and no ray
// can be formed.
int make_pick_ray(const ViewState& view, int16_t x, int16_t y, PickRay& ray);

// Tests the top square of cell (row, col), at the height of its count, and
// keeps it when it is nearer than the best hit so far. Hits behind the eye
// are ignored.
void test_cell_top(PickRay& ray, const CountTables& counts, int row, int col);

// The cell whose top is nearest under pointer (x, y). Return 1 with its row
// and column, or 0 when no cell is hit.
int pick_cell(const ViewState& view, const CountTables& counts, int16_t x, int16_t y, int16_t& row,
              int16_t& col);

}  // namespace valdrin
