// The geometry of the column field as plain data: one top quad per cell,
// carrying its piece of the map, and four striped side quads, built from
// the Cell counts and each column's look (column_style.h). The GL code only
// submits them; tests check them without a context.
#pragma once

#include <cstdint>
#include <vector>

#include "core/query.h"
#include "view/column_style.h"
#include "view/texcoords.h"

namespace valdrin {

// A top quad: the colour that tints its map piece, then four corners each with a map texture
// coordinate and an integer vertex (c, r, h), (c + 1, r, h), (c + 1, r + 1, h),
// (c, r + 1, h).
struct TopQuad {
  float colour[3];
  TexCoord tex[4];
  int32_t vertex[4][3];
};

// A side quad: its face's colour, then four texture coordinates and integer
// vertices; t climbs from 0 at the ground to h / events_per_band at the top,
// one stripe per band (a part of one for the remainder).
struct SideQuad {
  float colour[3];
  float tex[4][2];
  int32_t vertex[4][3];
};

// Rows 0..65 outer, columns 0..83 inner: 5,544 quads.
void build_top_quads(const CountTables& counts, const ColumnLook looks[kCellCount],
                     const CellTexcoords& texcoords, std::vector<TopQuad>& quads);
// Four per cell in the same order: along y = r, x = c + 1, y = r + 1, x = c.
void build_side_quads(const CountTables& counts, const ColumnLook looks[kCellCount],
                      float events_per_band, std::vector<SideQuad>& quads);

}  // namespace valdrin
