// Building the top and side quads of every column.
#include "view/columns.h"

namespace valdrin {

void build_top_quads(const CountTables& counts, const ColumnLook looks[kCellCount],
                     const CellTexcoords& texcoords, std::vector<TopQuad>& quads) {
  quads.resize(kCellCount);
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridCols; ++c) {
      const int i = r * kGridCols + c;
      const int32_t h = static_cast<int32_t>(counts.cells[i]);
      TopQuad& q = quads[i];
      for (int k = 0; k < 3; ++k) q.colour[k] = looks[i].top[k];
      const int32_t corners[4][2] = {{c, r}, {c + 1, r}, {c + 1, r + 1}, {c, r + 1}};
      for (int k = 0; k < 4; ++k) {
        q.tex[k] = texcoords.corners[i][k];
        q.vertex[k][0] = corners[k][0];
        q.vertex[k][1] = corners[k][1];
        q.vertex[k][2] = h;
      }
    }
  }
}

void build_side_quads(const CountTables& counts, const ColumnLook looks[kCellCount],
                      float events_per_band, std::vector<SideQuad>& quads) {
  quads.resize(kCellCount * 4);
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridCols; ++c) {
      const int i = r * kGridCols + c;
      const int32_t h = static_cast<int32_t>(counts.cells[i]);
      // Each face's two ground corners, in the order that runs once around
      // the cell.
      const int32_t ground[4][2][2] = {{{c, r}, {c + 1, r}},
                                       {{c + 1, r}, {c + 1, r + 1}},
                                       {{c + 1, r + 1}, {c, r + 1}},
                                       {{c, r + 1}, {c, r}}};
      for (int f = 0; f < 4; ++f) {
        SideQuad& q = quads[i * 4 + f];
        for (int k = 0; k < 3; ++k) q.colour[k] = looks[i].sides[f][k];
        const int32_t* a = ground[f][0];
        const int32_t* b = ground[f][1];
        const int32_t vertices[4][3] = {
            {a[0], a[1], 0}, {b[0], b[1], 0}, {b[0], b[1], h}, {a[0], a[1], h}};
        const float t = static_cast<float>(h) / events_per_band;
        const float tex[4][2] = {{0, 0}, {1, 0}, {1, t}, {0, t}};
        for (int k = 0; k < 4; ++k) {
          for (int d = 0; d < 3; ++d) q.vertex[k][d] = vertices[k][d];
          q.tex[k][0] = tex[k][0];
          q.tex[k][1] = tex[k][1];
        }
      }
    }
  }
}

}  // namespace valdrin
