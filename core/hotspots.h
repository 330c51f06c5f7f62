// Hot spots and change, as crime analysts measure them. Hot spots: the
// Getis-Ord Gi* statistic of every cell inside the city over the counts of
// the last counting pass, with binary weights over the square of cells
// within a neighbourhood distance, its two-sided p-value, and its class at
// 90, 95 and 99% confidence (optionally with the Benjamini-Hochberg false
// discovery rate over all the city's cells). Change: the window against a
// base window of the same length that ends just before it, per cell,
// district and zip area, as a Poisson z-score 2 (sqrt(now) - sqrt(before)).
//
// The study area is the cells with a zip area; the others get no statistic
// (z 0, p 1, class 0). Window sums come from a summed-area table, so a pass
// costs the same whatever the distance.
#pragma once

#include <cstdint>

#include "core/cell_table.h"
#include "core/query.h"

namespace valdrin {

constexpr int kMaxNeighbourhood = 3;

struct HotSpots {
  int study_cells = 0;             // n
  double z[kCellCount] = {};       // Gi*, a z-score
  double p[kCellCount] = {};       // two-sided, from the standard normal
  int8_t bin[kCellCount] = {};     // +-3, +-2, +-1 for 99, 95, 90% confidence, else 0
  uint8_t study[kCellCount] = {};  // 1 for a cell inside the city
};

// Gi* of every study cell over `counts` (row * 84 + col), with weights 1 for
// the study cells within `distance` cells in both directions (the cell
// itself included). All counts equal: every z is 0. With `fdr`, a class's
// critical p is the Benjamini-Hochberg cut at its level over all study
// cells; without, it is the level itself.
void compute_hot_spots(const uint32_t counts[kCellCount], const CellTable& cells, int distance,
                       bool fdr, HotSpots& out);

// The two-sided p-value of a standard normal z-score.
double two_sided_p(double z);

// The Benjamini-Hochberg cut for `level` over n p-values: the largest
// p_(k) with p_(k) <= k / n * level, or -1 when none is. `sorted_p` holds
// the smallest `count` of them, ascending; the rest may be left out as long
// as each is above `level`, since none of those can be a cut.
double fdr_cut(const double* sorted_p, int count, int n, double level);

// 2 (sqrt(now) - sqrt(before)).
double change_z(uint32_t now, uint32_t before);

// +-2 for |z| >= 3, +-1 for |z| >= 2, else 0.
int change_class(double z);

// The base window of [start, end]: as many shifts long, calendar-true, its
// end the shift just before start. A key with no shift counts as the Day
// shift of its date. The calendar starts in 2000: a base window that would
// reach back before it starts at Day, January 1, 2000 instead. Return 1; 0
// when the window starts at that very shift and no base window lies before
// it (then both keys are kFirstValidKey and the caller counts nothing).
int base_window(uint16_t start, uint16_t end, uint16_t& base_start, uint16_t& base_end);

}  // namespace valdrin
