// Where the grid lies on the map image: the bilinear map from grid points to
// Map texture coordinates, the per-cell corner table the column tops use, and
// its inverse for tools that paint grid-space geometry onto the images.
#pragma once

#include <cstdint>

#include "core/event.h"

namespace valdrin {

struct TexCoord {
  float s = 0;
  float t = 0;
};

// Texture coordinates of grid point (row 0..66, column 0..84).
TexCoord cell_corner_texcoord(uint32_t row, uint32_t col);

// The same map at a fractional grid position (row and column as reals).
TexCoord grid_texcoord(float row, float col);

// The grid position (row, column) whose texture coordinates are (s, t); the
// map is affine, so this is exact up to rounding.
void texcoord_grid(double s, double t, double& row, double& col);

// Four corners (s, t) per cell, in the order (r, c), (r, c+1), (r+1, c+1),
// (r+1, c); cells row by row. The program holds one.
struct CellTexcoords {
  TexCoord corners[kCellCount][4];
};

void build_cell_texcoords(CellTexcoords& table);

}  // namespace valdrin
