// The GIS settings' bit fields and the counting pass over the state.
#include "core/analysis.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <vector>

#include "core/text.h"

namespace valdrin {

namespace {

constexpr uint8_t kMapChoiceMask = 0x07;
constexpr int kSelectionModeShift = 3;
constexpr uint8_t kSelectionModeMask = 0x07 << kSelectionModeShift;

}  // namespace

uint8_t map_choice(const GisSettings& gis) { return gis.map_and_mode & kMapChoiceMask; }

uint8_t selection_mode(const GisSettings& gis) {
  return static_cast<uint8_t>((gis.map_and_mode & kSelectionModeMask) >> kSelectionModeShift);
}

void set_map_choice(GisSettings& gis, uint8_t choice) {
  gis.map_and_mode =
      static_cast<uint8_t>((gis.map_and_mode & ~kMapChoiceMask) | (choice & kMapChoiceMask));
}

void set_selection_mode(GisSettings& gis, uint8_t mode) {
  gis.map_and_mode = static_cast<uint8_t>((gis.map_and_mode & ~kSelectionModeMask) |
                                          ((mode << kSelectionModeShift) & kSelectionModeMask));
}

void count_state(AnalysisState& state) {
  count_events(state.store, state.query, state.time, state.counts);
}

void analyse_state(AnalysisState& state) {
  std::fill(std::begin(state.cell_class), std::end(state.cell_class), int8_t{0});
  if (state.colouring == kColourByHotSpots) {
    compute_hot_spots(state.counts.cells, state.cells, state.neighbourhood, state.fdr, state.hot);
    std::copy(std::begin(state.hot.bin), std::end(state.hot.bin), state.cell_class);
  } else if (state.colouring == kColourByChange) {
    state.has_base =
        base_window(state.time.window_start, state.query.key, state.base_start, state.base_end);
    // With no base window, nothing is compared: every class stays 0.
    if (!state.has_base) return clear_counts(state.before);
    count_base_window(state);
    for (int i = 0; i < kCellCount; ++i)
      state.cell_class[i] =
          static_cast<int8_t>(change_class(change_z(state.counts.cells[i], state.before.cells[i])));
  }
}

void count_base_window(AnalysisState& state) {
  Event query = state.query;
  TimeState time = state.time;
  query.key = state.base_end;
  time.window_start = state.base_start;
  count_events(state.store, query, time, state.before);
}

void choose_band_scale(AnalysisState& state) {
  std::vector<uint32_t> per_cell(kCellCount, 0);
  uint32_t busiest = 0;
  for (uint32_t i = 0; i < state.store.count; ++i) {
    const Event& e = state.store.records[i];
    const uint32_t row = get_field(e, kRow), col = get_field(e, kCol);
    if (row < kNoRow && col < kNoCol)
      busiest = std::max(busiest, ++per_cell[row * kGridCols + col]);
  }
  constexpr uint32_t kMostBands = 1000;
  uint32_t scale = 1;
  for (uint32_t decade = 1; busiest > kMostBands * scale; decade *= 10)
    for (uint32_t step : {1u, 2u, 5u})
      if (busiest > kMostBands * scale) scale = step * decade;
  state.auto_band_scale = static_cast<uint16_t>(std::min<uint32_t>(scale, 50000));
}

std::string analysis_readout(const AnalysisState& state, int cell) {
  if (cell < 0 || cell >= kCellCount) return {};
  char text[200];
  if (state.colouring == kColourByHotSpots) {
    if (!state.hot.study[cell]) return "\nGi*: outside the study area";
    const int bin = state.hot.bin[cell];
    const char* level[] = {"", "90%", "95%", "99%"};
    char verdict[40] = "not significant";
    if (bin != 0)
      std::snprintf(verdict, sizeof verdict, "%s spot, %s", bin > 0 ? "hot" : "cold",
                    level[bin > 0 ? bin : -bin]);
    const double p = state.hot.p[cell];
    std::snprintf(text, sizeof text, "\nGi* z %s, p %s%s: %s", FixedText(state.hot.z[cell], 2).text,
                  p < 0.001 ? "< " : "", FixedText(p < 0.001 ? 0.001 : p, 3).text, verdict);
    return text;
  }
  if (state.colouring == kColourByChange) {
    const uint32_t now = state.counts.cells[cell], then = state.before.cells[cell];
    std::snprintf(text, sizeof text, "\nThen %u, now %u, z %s", then, now,
                  FixedText(change_z(now, then), 2).text);
    return text;
  }
  return {};
}

uint16_t events_per_band(const AnalysisState& state) {
  return state.band_scale != 0 ? state.band_scale : state.auto_band_scale;
}

std::string analysis_summary(const AnalysisState& state) {
  char text[160];
  if (state.colouring == kColourByHotSpots) {
    int bins[7] = {};
    for (int i = 0; i < kCellCount; ++i)
      if (state.hot.study[i]) ++bins[state.hot.bin[i] + 3];
    std::snprintf(text, sizeof text, "Hot 99/95/90%%: %d/%d/%d; cold 99/95/90%%: %d/%d/%d", bins[6],
                  bins[5], bins[4], bins[0], bins[1], bins[2]);
    return text;
  }
  if (state.colouring == kColourByChange) {
    if (!state.has_base) return "No base window before Day,January,1,2000";
    const double z = change_z(state.counts.total, state.before.total);
    std::snprintf(text, sizeof text, "Then %u, now %u, z %s", state.before.total,
                  state.counts.total, FixedText(z, 2).text);
    return text;
  }
  return {};
}

}  // namespace valdrin
