// Gi* against its plain formula, a hand-worked field, a flat one; the FDR cut; change z, bases.
#include <cmath>
#include <random>

#include "core/analysis.h"
#include "core/hotspots.h"
#include "core/text.h"
#include "tests/core/test_files.h"

namespace valdrin::hotspot_test {

// Gi*_i straight from its definition: double loops over every study cell j.
double gi_star_oracle(const uint32_t* x, const uint8_t* study, int distance, int i) {
  double n = 0, sum = 0, sum_sq = 0;
  for (int j = 0; j < kCellCount; ++j)
    if (study[j]) n += 1, sum += x[j], sum_sq += double(x[j]) * x[j];
  const double mean = sum / n, s = std::sqrt(sum_sq / n - mean * mean);
  double wx = 0, w = 0, w2 = 0;
  for (int j = 0; j < kCellCount; ++j) {
    const bool near = std::abs(j / kGridCols - i / kGridCols) <= distance &&
                      std::abs(j % kGridCols - i % kGridCols) <= distance;
    const double wij = study[j] && near ? 1 : 0;
    wx += wij * x[j], w += wij, w2 += wij * wij;
  }
  return (wx - mean * w) / (s * std::sqrt((n * w2 - w * w) / (n - 1)));
}

// A table whose study cells are those where `inside` holds.
template <class Inside>
std::unique_ptr<CellTable> city(Inside inside) {
  auto cells = std::make_unique<CellTable>();
  for (int i = 0; i < kCellCount; ++i)
    cells->words[i][0] =
        inside(i / kGridCols, i % kGridCols) ? make_cell_word(1, 0, false, 5, 0, false) : 0;
  return cells;
}

TEST(HotSpots, MatchTheFormulaAtEveryDistanceAndEdgeAFieldWorkedByHandAndAFlatOne) {
  std::mt19937 random(7);
  auto hot = std::make_unique<HotSpots>();
  // A ragged city with holes that runs into the grid's top and left edges.
  const auto cells = city([](int r, int c) { return (r * 7 + c * 3) % 11 != 0 && r + c < 90; });
  std::vector<uint32_t> x(kCellCount);
  for (int trial = 0; trial < 3; ++trial) {
    for (uint32_t& v : x) v = random() % (trial == 0 ? 3 : 40);
    for (int distance = 1; distance <= 3; ++distance) {
      compute_hot_spots(x.data(), *cells, distance, false, *hot);
      for (int i = 0; i < kCellCount; i += 7)
        EXPECT_NEAR(hot->z[i],
                    hot->study[i] ? gi_star_oracle(x.data(), hot->study, distance, i) : 0, 1e-9)
            << "cell " << i << " distance " << distance;
    }
  }
  // A 5 x 5 city at the grid's corner, 25 events in its centre: n 25, mean 1, s sqrt(24).
  const auto corner = city([](int r, int c) { return r < 5 && c < 5; });
  std::fill(x.begin(), x.end(), 0u);
  x[2 * kGridCols + 2] = 25, hot = std::make_unique<HotSpots>();
  compute_hot_spots(x.data(), *corner, 1, false, *hot);
  // Centre, neighbour: (25 - 9) / 12; corner: -4 / sqrt(84); side: -6 / sqrt(114); outside: 0.
  const std::tuple<int, int, double> expected[] = {{2, 2, 16.0 / 12},
                                                   {1, 1, 16.0 / 12},
                                                   {0, 0, -4 / std::sqrt(84.0)},
                                                   {0, 2, -6 / std::sqrt(114.0)},
                                                   {6, 6, 0.0}};
  for (const auto& [r, c, z] : expected) EXPECT_NEAR(hot->z[r * kGridCols + c], z, 1e-12) << r << c;
  EXPECT_EQ(std::tuple(hot->study_cells, hot->bin[2 * kGridCols + 2], hot->p[6 * kGridCols + 6]),
            std::tuple(25, int8_t{0}, 1.0));  // 1.33 is short of 90%

  std::fill(x.begin(), x.end(), 4u);
  compute_hot_spots(x.data(), *corner, 2, true, *hot);
  for (int i = 0; i < kCellCount; ++i)
    ASSERT_EQ(std::tuple(hot->z[i], hot->bin[i]), std::tuple(0.0, int8_t{0}));
}

TEST(HotSpots, ClassesWithAndWithoutTheFalseDiscoveryRate) {
  const double p[] = {0.001, 0.008, 0.039, 0.041, 0.042, 0.060, 0.074, 0.205, 0.212, 0.216};
  // The cut is the same from the p-values up to the level alone.
  EXPECT_EQ(std::tuple(fdr_cut(p, 10, 10, 0.01), fdr_cut(p, 10, 10, 0.05), fdr_cut(p, 10, 10, 0.10),
                       fdr_cut(p, 7, 10, 0.10), fdr_cut(p + 7, 3, 3, 0.05)),
            std::tuple(0.001, 0.008, 0.060, 0.060, -1.0));
  EXPECT_NEAR(two_sided_p(1.959963984540054), 0.05, 1e-12);
  // A tower is hot at 99% either way with its 3 x 3 block; FDR clears noise's chance passes.
  const auto cells = city([](int r, int c) { return r >= 10 && r < 40 && c >= 10 && c < 60; });
  std::vector<uint32_t> x(kCellCount, 1);
  x[25 * kGridCols + 30] = 60;
  auto hot = std::make_unique<HotSpots>();
  const auto classed = [&] {
    int n = 0;
    for (int i = 0; i < kCellCount; ++i) n += hot->bin[i] != 0;
    return n;
  };
  for (const bool fdr : {false, true}) {
    compute_hot_spots(x.data(), *cells, 1, fdr, *hot);
    EXPECT_EQ(std::tuple(hot->bin[25 * kGridCols + 30], classed()), std::tuple(int8_t{3}, 9))
        << fdr;
  }
  std::mt19937 random(11);
  for (uint32_t& v : x) v = random() % 5;
  compute_hot_spots(x.data(), *cells, 1, false, *hot);
  const int by_chance = classed();
  compute_hot_spots(x.data(), *cells, 1, true, *hot);
  EXPECT_EQ(std::tuple(by_chance > 100, classed()), std::tuple(true, 0)) << by_chance;
}

TEST(Change, ZClassesAndBaseWindows) {
  EXPECT_EQ(std::tuple(FixedText(change_z(9, 4), 3).text, change_z(0, 0), change_class(2.0),
                       change_class(-2.99), change_class(3.0), change_class(1.99)),
            std::tuple(std::string("2.000"), 0.0, 1, -1, 2, 0));
  // start, end -> base start, base end
  const std::tuple<uint16_t, uint16_t, uint16_t, uint16_t> windows[] = {
      // June 2025 (90 shifts) -> May 2 to May 31.
      {pack_time_key(1, 1, 6, 25), pack_time_key(3, 30, 6, 25), pack_time_key(1, 2, 5, 25),
       pack_time_key(3, 31, 5, 25)},
      // One key: the shift before it.
      {pack_time_key(2, 5, 6, 25), pack_time_key(2, 5, 6, 25), pack_time_key(1, 5, 6, 25),
       pack_time_key(1, 5, 6, 25)},
      // A key with no shift stands for its Day; New Year's Day's Day shift goes back a year.
      {pack_time_key(0, 1, 1, 25), pack_time_key(0, 1, 1, 25), pack_time_key(3, 31, 12, 24),
       pack_time_key(3, 31, 12, 24)},
      // An end before the start is one shift long.
      {pack_time_key(1, 2, 1, 25), pack_time_key(1, 1, 1, 25), pack_time_key(3, 1, 1, 25),
       pack_time_key(3, 1, 1, 25)},
      // A base reaching back before 2000 is cut there; a window from its first shift has none.
      {pack_time_key(1, 2, 1, 0), pack_time_key(3, 4, 1, 0), kFirstValidKey,
       pack_time_key(3, 1, 1, 0)},
      {kFirstValidKey, pack_time_key(3, 4, 1, 0), kFirstValidKey, kFirstValidKey}};
  for (const auto& [start, end, base_start, base_end] : windows) {
    uint16_t from = 0, to = 0;
    EXPECT_EQ(std::tuple(base_window(start, end, from, to), from, to),
              std::tuple(start == kFirstValidKey ? 0 : 1, base_start, base_end))
        << std::hex << start;
  }
}

}  // namespace valdrin::hotspot_test
