// The GIS Panel's writes into the GIS settings.
#include "panels/gis.h"

#include <iterator>

namespace valdrin {

int overlay_bit_of(uint16_t id) {
  for (int bit = 0; bit < static_cast<int>(std::size(kOverlayCheckBoxes)); ++bit)
    if (kOverlayCheckBoxes[bit] == id) return bit;
  return -1;
}

int gis_command(GisSettings& gis, uint16_t id, int value) {
  // A list with no current entry reports -1, whose low three bits are 7.
  const uint8_t entry = static_cast<uint8_t>(value & 7);
  if (id == kGisMapList) {
    set_map_choice(gis, entry);
    return 1;
  }
  if (id == kGisSelectionList) {
    set_selection_mode(gis, entry);
    return 1;
  }
  const int bit = overlay_bit_of(id);
  if (bit < 0) return 0;
  const uint16_t mask = static_cast<uint16_t>(1u << bit);
  gis.overlay_flags =
      static_cast<uint16_t>((value & 1) ? (gis.overlay_flags | mask) : (gis.overlay_flags & ~mask));
  return 1;
}

}  // namespace valdrin
