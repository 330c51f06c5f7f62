// The frustum test of the column boxes.
#include "view/visibility.h"

#include <cmath>

namespace valdrin {

void corner_clip(const double m[16], int row, int col, double height, int corner, double clip[4]) {
  const double x = col + (corner & 1), y = row + ((corner >> 1) & 1),
               z = (corner & 4) ? height : 0.0;
  transform_point(m, x, y, z, 1.0, clip);
}

int find_columns_in_view(const ViewState& view, const CountTables& counts,
                         uint8_t in_view[kCellCount]) {
  const Camera camera = make_camera(view);
  const double* m = camera.clip;
  // A corner is beyond a face when its clip coordinate passes w by more
  // than this share of their size: far above the float rounding of the GL
  // transform, far below anything a pixel could show. Within it, the
  // corner's side is in doubt.
  constexpr double kMargin = 1e-4;
  // The corners (bit 0: +column, bit 1: +row, bit 2: top) of the top and of
  // each side face, as the faces run round the cell.
  constexpr uint8_t kTopCorners = 0xF0;
  constexpr uint8_t kFaceCorners[4] = {0x33, 0xAA, 0xCC, 0x55};
  int count = 0;
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridCols; ++c) {
      const int i = r * kGridCols + c;
      const double h = counts.cells[i];
      // Bit 2k: beyond -w on axis k; bit 2k + 1: beyond +w.
      unsigned beyond_all = 0x3F;
      uint8_t outside = 0, doubtful = 0;  // one bit per corner
      for (int corner = 0; corner < 8; ++corner) {
        double clip[4];
        corner_clip(m, r, c, h, corner, clip);
        const double w = clip[3];
        unsigned beyond = 0;
        for (int k = 0; k < 3; ++k) {
          const double slack = kMargin * (std::fabs(clip[k]) + std::fabs(w)) + 1e-9;
          if (clip[k] < -w - slack) beyond |= 1u << (2 * k);
          if (clip[k] > w + slack) beyond |= 1u << (2 * k + 1);
          if (std::fabs(std::fabs(clip[k]) - w) <= slack) doubtful |= 1u << corner;
        }
        beyond_all &= beyond;
        if (beyond != 0) outside |= 1u << corner;
      }
      uint8_t entry = 0;
      if (beyond_all == 0) {
        entry = kInView;
        if (outside & kTopCorners) entry |= kTopBeyond;
        for (int f = 0; f < 4; ++f)
          if (outside & kFaceCorners[f]) entry |= kFaceBeyond << f;
        if (doubtful != 0) entry |= kNearBoundary;
      }
      in_view[i] = entry;
      count += entry != 0;
    }
  }
  return count;
}

}  // namespace valdrin
