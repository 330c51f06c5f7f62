// The Analysis Panel's writes into the analysis settings.
#include "panels/analysis.h"

#include <iterator>

#include "panels/notification.h"

namespace valdrin {

int on_analysis_command(AnalysisState& state, int id, int code, int value, unsigned& changed) {
  const auto set = [&changed](auto& setting, auto to) {
    if (setting == to) return;
    setting = to;
    changed |= kColouringChanged;
  };
  switch (id) {
    case kColourByList:
      if (code == kNotifySelectionChanged && value >= 0 && value < kColouringCount)
        set(state.colouring, static_cast<uint8_t>(value));
      return 1;
    case kNeighbourhoodList:
      if (code == kNotifySelectionChanged && value >= 0 && value < kMaxNeighbourhood)
        set(state.neighbourhood, static_cast<uint8_t>(value + 1));
      return 1;
    case kBandScaleList:
      if (code == kNotifySelectionChanged && value >= 0 &&
          value < static_cast<int>(std::size(kBandScales)))
        set(state.band_scale, kBandScales[value]);
      return 1;
    case kFdrCheckBox:
      if (code == kNotifyClicked) set(state.fdr, value != 0);
      return 1;
    default: return 0;
  }
}

AnalysisDisplay analysis_display(const AnalysisState& state) {
  AnalysisDisplay display;
  display.colour_by = state.colouring;
  display.neighbourhood = state.neighbourhood - 1;
  display.band_scale = -1;
  for (size_t i = 0; i < std::size(kBandScales); ++i)
    if (kBandScales[i] == state.band_scale) display.band_scale = static_cast<int>(i);
  display.fdr = state.fdr;
  display.summary = analysis_summary(state);
  return display;
}

}  // namespace valdrin
