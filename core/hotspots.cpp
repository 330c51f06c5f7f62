// Gi* by summed-area tables, the false discovery rate cut, and change.
#include "core/hotspots.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/time_key.h"

namespace valdrin {

namespace {

constexpr int kSatCols = kGridCols + 1;

// Sum over rows r0..r1 and columns c0..c1 (inclusive) of a summed-area table
// whose entry (r + 1, c + 1) holds the sum over rows 0..r, columns 0..c.
double box_sum(const std::vector<double>& sat, int r0, int c0, int r1, int c1) {
  return sat[(r1 + 1) * kSatCols + c1 + 1] - sat[r0 * kSatCols + c1 + 1] -
         sat[(r1 + 1) * kSatCols + c0] + sat[r0 * kSatCols + c0];
}

// Key steps of one shift, forward, from `from` until `to` is reached; at
// most a whole key range.
int shifts_between(uint16_t from, uint16_t to) {
  int n = 0;
  while (from < to && n < 100000) step_time_forward(from, kStepShift), ++n;
  return n;
}

}  // namespace

double two_sided_p(double z) { return std::erfc(std::fabs(z) / std::sqrt(2.0)); }

double fdr_cut(const double* sorted_p, int count, int n, double level) {
  double cut = -1;
  for (int k = 1; k <= count; ++k)
    if (sorted_p[k - 1] <= level * k / n) cut = sorted_p[k - 1];
  return cut;
}

void compute_hot_spots(const uint32_t counts[kCellCount], const CellTable& cells, int distance,
                       bool fdr, HotSpots& out) {
  distance = std::clamp(distance, 0, kMaxNeighbourhood);
  std::vector<double> x_sat(kSatCols * (kGridRows + 1), 0.0);
  std::vector<double> w_sat(kSatCols * (kGridRows + 1), 0.0);
  double sum = 0, sum_sq = 0;
  int n = 0;
  for (int r = 0; r < kGridRows; ++r) {
    double row_x = 0, row_w = 0;
    for (int c = 0; c < kGridCols; ++c) {
      const int i = r * kGridCols + c;
      out.study[i] = first_zip(cells.words[i][0]) != 0;
      const double x = out.study[i] ? counts[i] : 0.0;
      row_x += x, row_w += out.study[i];
      x_sat[(r + 1) * kSatCols + c + 1] = x_sat[r * kSatCols + c + 1] + row_x;
      w_sat[(r + 1) * kSatCols + c + 1] = w_sat[r * kSatCols + c + 1] + row_w;
      sum += x, sum_sq += x * x, n += out.study[i];
    }
  }
  out.study_cells = n;
  const double mean = n > 0 ? sum / n : 0;
  const double variance = n > 0 ? sum_sq / n - mean * mean : 0;
  // Counts are whole numbers: a variance this small is rounding of a flat
  // field, and every z is 0.
  const double s = variance > 1e-12 ? std::sqrt(variance) : 0;
  std::vector<double> study_p;
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridCols; ++c) {
      const int i = r * kGridCols + c;
      double z = 0;
      if (out.study[i] && s > 0 && n > 1) {
        const int r0 = std::max(0, r - distance), r1 = std::min(kGridRows - 1, r + distance);
        const int c0 = std::max(0, c - distance), c1 = std::min(kGridCols - 1, c + distance);
        const double w = box_sum(w_sat, r0, c0, r1, c1);
        const double spread = (n * w - w * w) / (n - 1);
        if (spread > 0) z = (box_sum(x_sat, r0, c0, r1, c1) - mean * w) / (s * std::sqrt(spread));
      }
      out.z[i] = z;
      out.p[i] = out.study[i] ? two_sided_p(z) : 1.0;
      // Only p-values at or below the loosest level can be a cut.
      if (out.study[i] && out.p[i] <= 0.10) study_p.push_back(out.p[i]);
    }
  // The critical p of 90, 95 and 99% confidence.
  double cut[3] = {0.10, 0.05, 0.01};
  if (fdr) {
    std::sort(study_p.begin(), study_p.end());
    const int count = static_cast<int>(study_p.size());
    for (double& level : cut) level = fdr_cut(study_p.data(), count, n, level);
  }
  for (int i = 0; i < kCellCount; ++i) {
    int bin = 0;
    for (int k = 0; k < 3; ++k)
      if (out.study[i] && out.z[i] != 0 && out.p[i] <= cut[k]) bin = k + 1;
    out.bin[i] = static_cast<int8_t>(out.z[i] < 0 ? -bin : bin);
  }
}

double change_z(uint32_t now, uint32_t before) {
  return 2.0 * (std::sqrt(static_cast<double>(now)) - std::sqrt(static_cast<double>(before)));
}

int change_class(double z) {
  const int level = std::fabs(z) >= 3 ? 2 : std::fabs(z) >= 2 ? 1 : 0;
  return z < 0 ? -level : level;
}

int base_window(uint16_t start, uint16_t end, uint16_t& base_start, uint16_t& base_end) {
  // A key with no shift stands for its date's Day shift.
  const auto with_shift = [](uint16_t key) {
    return static_cast<uint16_t>((key & 3u) == 0 ? key | 1u : key);
  };
  start = with_shift(start), end = with_shift(end);
  const int length = end > start ? shifts_between(start, end) + 1 : 1;
  base_end = start;
  if (start <= kFirstValidKey || !step_time_back(base_end, kStepShift)) {
    base_start = base_end = kFirstValidKey;
    return 0;
  }
  base_start = base_end;
  for (int k = 1; k < length; ++k) {
    uint16_t earlier = base_start;
    if (!step_time_back(earlier, kStepShift)) break;  // not past the start of 2000
    base_start = earlier;
  }
  return 1;
}

}  // namespace valdrin
