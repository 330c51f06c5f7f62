// The GIS Panel's widgets: the "Map" and "Selection" lists and the ten
// overlay check boxes mirror the GIS settings. Setting them from the
// settings notifies nothing; each change the user makes is stored by the
// panel's logic (gis.h) and reported, and the program remakes the map.
#pragma once

#include <cstdint>
#include <functional>

#include "core/analysis.h"
#include "panels/panel.h"

namespace valdrin {

// Runs once, right after the panel is built: fills the lists, shows the
// settings, and wires each user change (a check box click with its new
// state, a list choice with the chosen entry's index) to gis_command,
// reporting kMapChanged: every change remakes the map.
// `gis` must outlive the panel.
void init_gis_panel(Panel& panel, GisSettings& gis, std::function<void(unsigned)> report);

// Shows the settings, in this order: the "Map" list ("Basemap", "City
// Council") at the Map choice, the check boxes of overlay bits 0 to 9, the
// "Selection" list ("Keymap", "City Council", "Zip Code") at the Selection
// mode. A choice with no entry leaves its list with none chosen.
void show_gis_settings(Panel& panel, const GisSettings& gis);

}  // namespace valdrin
