// A cell's areas by how much of it they cover. Every city builder (the
// fictional city's atlas and the one from GIS layers) looks at each cell on
// the same kCellSamples x kCellSamples points and hands what lies there to
// one rule, so that a cell's codes agree with what the maps show under it
// whichever way the city was made: the city must cover at least half of the
// cell; the first zip area (district, keymap page) is the one covering most
// of it, the second the next one when it covers at least a tenth of it.
#pragma once

#include <cstdint>

namespace valdrin {

constexpr int kCellSamples = 10;  // points along each side of a cell
constexpr int kSamplesPerCell = kCellSamples * kCellSamples;

// Grid coordinate of sample i (0..kCellSamples-1) along a cell side from its
// lower edge `edge` (the cell's column or row). The points sit a little off
// the tenths of a cell, so that a border drawn through whole-numbered
// points (a city limit, the line midway between two seeds) never passes
// exactly through one, where two builders' rounding could decide apart.
constexpr double kSampleShift = 1.0 / 1024;
inline double sample_coordinate(int edge, int i) {
  return edge + (i + 0.5) / kCellSamples + kSampleShift;
}

// What lies under one sample point; 0 is none.
struct CellSample {
  bool inside = false;  // within the city boundary
  uint32_t zip = 0;
  uint32_t district = 0;
  uint32_t page = 0;  // keymap page, numbered by the builder
};

struct AreaPair {
  uint32_t first = 0;
  uint32_t second = 0;
  bool has_second = false;
};

struct CellAreas {
  bool inside = false;  // the city covers at least half of the cell
  AreaPair zip;
  AreaPair district;
  uint32_t page = 0;  // the page covering most of the cell
};

// The areas of one cell from its kSamplesPerCell samples. Areas are counted
// only at points inside the city; an outside cell gets none. Ties go to the
// lower number, so the result never depends on the samples' order.
CellAreas cell_areas(const CellSample* samples);

}  // namespace valdrin
