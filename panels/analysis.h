// The Analysis Panel's logic, without widgets: what its lists and check box
// write into the analysis settings (the colouring, Gi*'s neighbourhood and
// false discovery rate, the events per band), and what the panel shows of
// them. The widgets (analysis_panel.h) only show analysis_display() and
// forward the user's choices here.
#pragma once

#include <string>

#include "core/analysis.h"
#include "resources/templates.h"

namespace valdrin {

// The "Colour by", "Neighbourhood" and "Band scale" lists' items, in order.
constexpr const char* kColourByItems[kColouringCount] = {"Events", "Hot spots (Gi*)",
                                                         "Change from the previous window"};
constexpr const char* kNeighbourhoodItems[kMaxNeighbourhood] = {"1 cell", "2 cells", "3 cells"};
constexpr uint16_t kBandScales[] = {0, 1, 2, 5, 10, 20, 50, 100};  // 0: "Auto"

// A notification `code` from control `id` with the list's chosen item or
// the check box's new state in `value`: writes the setting and adds
// kColouringChanged to `changed` when it changed. Return 1 for the panel's
// lists and check box, 0 for any other id.
int on_analysis_command(AnalysisState& state, int id, int code, int value, unsigned& changed);

struct AnalysisDisplay {
  int colour_by = 0, neighbourhood = 0, band_scale = 0;  // list items
  bool fdr = true;
  std::string summary;
};
AnalysisDisplay analysis_display(const AnalysisState& state);

}  // namespace valdrin
