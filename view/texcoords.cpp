// The grid-to-map bilinear mapping and its inverse.
#include "view/texcoords.h"

namespace valdrin {

namespace {

// Reference grid points (row, column) -> (s, t).
constexpr float kS00 = 0.082205f, kT00 = -0.092692f;  // (0, 0)
constexpr float kS01 = 0.988951f, kT01 = -0.029723f;  // (0, 83)
constexpr float kS10 = 0.034998f, kT10 = 0.975143f;   // (65, 0)
constexpr float kS11 = 0.941745f, kT11 = 1.038112f;   // (65, 83)

TexCoord bilinear(float u, float v) {
  TexCoord tc;
  tc.s = (1 - v) * ((1 - u) * kS00 + u * kS01) + v * ((1 - u) * kS10 + u * kS11);
  tc.t = (1 - v) * ((1 - u) * kT00 + u * kT01) + v * ((1 - u) * kT10 + u * kT11);
  return tc;
}

}  // namespace

TexCoord cell_corner_texcoord(uint32_t row, uint32_t col) {
  // The divisors are 83 and 65: row 66 and column 84 extrapolate a little.
  return bilinear(static_cast<float>(col) / 83.0f, static_cast<float>(row) / 65.0f);
}

TexCoord grid_texcoord(float row, float col) { return bilinear(col / 83.0f, row / 65.0f); }

void texcoord_grid(double s, double t, double& row, double& col) {
  // The four reference points form a parallelogram to within 1e-6, so the
  // map is affine: (s, t) = origin + u * du + v * dv. Invert the 2 x 2 part;
  // one Newton step takes up the remaining bilinear term.
  const double s0 = kS00, t0 = kT00;
  const double su = kS01 - kS00, tu = kT01 - kT00;
  const double sv = kS10 - kS00, tv = kT10 - kT00;
  const double suv = kS11 - kS10 - kS01 + kS00, tuv = kT11 - kT10 - kT01 + kT00;
  double u = 0;
  double v = 0;
  for (int i = 0; i < 4; ++i) {
    const double fs = s0 + su * u + sv * v + suv * u * v - s;
    const double ft = t0 + tu * u + tv * v + tuv * u * v - t;
    const double a = su + suv * v, b = sv + suv * u;
    const double c = tu + tuv * v, d = tv + tuv * u;
    const double det = a * d - b * c;
    u -= (d * fs - b * ft) / det;
    v -= (a * ft - c * fs) / det;
  }
  col = u * 83.0;
  row = v * 65.0;
}

void build_cell_texcoords(CellTexcoords& table) {
  for (uint32_t r = 0; r < kGridRows; ++r) {
    for (uint32_t c = 0; c < kGridCols; ++c) {
      TexCoord* corners = table.corners[r * kGridCols + c];
      corners[0] = cell_corner_texcoord(r, c);
      corners[1] = cell_corner_texcoord(r, c + 1);
      corners[2] = cell_corner_texcoord(r + 1, c + 1);
      corners[3] = cell_corner_texcoord(r + 1, c);
    }
  }
}

}  // namespace valdrin
