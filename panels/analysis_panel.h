// The Analysis Panel's widgets: the "Colour by", "Neighbourhood" and "Band
// scale" lists, the "FDR correction" check box and the summary line show
// what analysis_display() says and forward the user's choices to the
// panel's logic (analysis.h).
#pragma once

#include <functional>

#include "core/analysis.h"
#include "panels/panel.h"

namespace valdrin {

// Runs once, right after the panel is built: fills the lists, shows the
// settings, and wires each user change to on_analysis_command, handing what
// changed to `report`. `state` must outlive the panel.
void init_analysis_panel(Panel& panel, AnalysisState& state,
                         std::function<void(unsigned changed)> report);

// Shows the settings and the summary line.
void show_analysis(Panel& panel, const AnalysisState& state);

}  // namespace valdrin
