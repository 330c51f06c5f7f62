// The GIS Panel's widgets: the "Map" and "Selection" lists and the ten
// overlay check boxes of template 103 mirror the GIS settings. Setting them
// from the settings notifies nothing; each change the user makes is handed
// on as (control id, new value), and the program stores it and rebuilds the
// map (gis_change).
#pragma once

#include <cstdint>
#include <functional>

#include "panels/panel.h"
#include "view/map_layers.h"

namespace valdrin {

// Fills the lists and sets the check boxes from the settings, in this
// order: the "Map" list ("Basemap", "City Council") at the Map choice, the
// check boxes 1012, 1014, 1005 to 1011, 1013 from overlay bits 0 to 9, the
// "Selection" list ("Keymap", "City Council", "Zip Code") at the Selection
// mode. A choice with no entry leaves its list with none chosen.
void init_gis_panel(Panel& panel, const GisSettings& gis);

// Calls `changed` once per user change: a check box click with its new
// state (0 or 1), a list choice with the chosen entry's index.
void connect_gis_panel(Panel& panel, std::function<void(uint16_t id, int value)> changed);

}  // namespace valdrin
