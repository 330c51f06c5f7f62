// The one rule that turns a cell's samples into its area codes.
#include "core/cell_coverage.h"

#include <map>

namespace valdrin {

namespace {

// The two areas with most samples; the second only with a tenth of the cell.
AreaPair largest_two(const std::map<uint32_t, int>& counts) {
  uint32_t first = 0, second = 0;
  int n1 = 0, n2 = 0;
  for (const auto& [area, n] : counts) {  // ascending area: ties keep the lower one
    if (n > n1) {
      second = first, n2 = n1;
      first = area, n1 = n;
    } else if (n > n2) {
      second = area, n2 = n;
    }
  }
  const bool has_second = second != 0 && n2 * 10 >= kSamplesPerCell;
  return AreaPair{first, has_second ? second : 0, has_second};
}

}  // namespace

CellAreas cell_areas(const CellSample* samples) {
  CellAreas out;
  std::map<uint32_t, int> zips, districts, pages;
  int inside = 0;
  for (int k = 0; k < kSamplesPerCell; ++k) {
    const CellSample& s = samples[k];
    if (!s.inside) continue;
    ++inside;
    if (s.zip != 0) ++zips[s.zip];
    if (s.district != 0) ++districts[s.district];
    if (s.page != 0) ++pages[s.page];
  }
  out.inside = inside * 2 >= kSamplesPerCell;
  if (!out.inside) return out;
  out.zip = largest_two(zips);
  out.district = largest_two(districts);
  out.page = largest_two(pages).first;
  return out;
}

}  // namespace valdrin
