// What the GIS Panel's controls write into the GIS settings: each check box
// its one overlay bit, the "Map" list the Map choice, the "Selection" list
// the Selection mode. Plain code; the panel widget calls it with the
// control's new value and rebuilds the map afterwards.
#pragma once

#include <cstdint>

#include "view/map_layers.h"

namespace valdrin {

// Control ids of the GIS Panel.
enum GisControl : uint16_t {
  kGisMapLabel = 1003,
  kGisMapList = 1004,
  kGisOverlayGroup = 1024,
  kGisSelectionLabel = 1015,
  kGisSelectionList = 1016,
};

// The check box of each overlay bit, in bit order: "Zip Codes" (1012),
// "Zip Code Labels" (1014), then 1005 to 1011, then "Hospital Labels" (1013).
constexpr uint16_t kOverlayCheckBoxes[kOverlayCount] = {1012, 1014, 1005, 1006, 1007,
                                                        1008, 1009, 1010, 1011, 1013};

// The overlay bit of check box `id`, or -1 when `id` is no check box.
int overlay_bit_of(uint16_t id);

// Stores one control's new value: a check box's state (bit 0 of `value`), a
// list's current entry (AND 7; -1, no entry, stores 7). Every other bit of
// the settings stays. Return 1 when `id` is one of the panel's acting
// controls (1004 to 1014, 1016), which is when the map must be rebuilt;
// 0 for any other id, and then nothing changed.
int gis_command(GisSettings& gis, uint16_t id, int value);

}  // namespace valdrin
