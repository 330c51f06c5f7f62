// The GIS settings' bit fields and the counting pass over the state.
#include "core/analysis.h"

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

}  // namespace valdrin
