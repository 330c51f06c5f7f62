// The GIS Panel's logic, without widgets: what its controls write into the
// GIS settings: each check box its one overlay bit, the "Map" list the Map
// choice, the "Selection" list the Selection mode. The widgets
// (gis_panel.h) only show the settings and forward the user's changes here.
#pragma once

#include <cstdint>

#include "core/analysis.h"
#include "resources/templates.h"

namespace valdrin {

// The overlay bit of check box `id`, or -1 when `id` is no check box.
int overlay_bit_of(uint16_t id);

// Stores one control's new value: a check box's state (bit 0 of `value`), a
// list's current entry (AND 7; -1, no entry, stores 7). Every other bit of
// the settings stays. Return 1 when `id` is one of the panel's acting
// controls (the lists and the check boxes), which is when the map must be rebuilt;
// 0 for any other id, and then nothing changed.
int gis_command(GisSettings& gis, uint16_t id, int value);

}  // namespace valdrin
