// The map layers: the base map files and the ten overlays with their colours, the
// one-bit overlay masks and the composition of the map image that becomes
// the Map texture.
#pragma once

#include <cstdint>
#include <string>

#include "core/analysis.h"
#include "view/image.h"

namespace valdrin {

constexpr int kOverlayCount = 10;

struct OverlayLayer {
  const char* file;  // under the data folder, e.g. "overlays/zipcodes.ovl"
  uint8_t red, green, blue;
};

// In painting order: bit n of the Overlay flags paints kOverlays[n].
extern const OverlayLayer kOverlays[kOverlayCount];

// Base map files under the data folder, by Map choice 0 and 1.
extern const char* const kBaseMaps[2];

// Paints the overlay file at `path` into `image` in the given colour: pixel i
// takes the colour when bit 7 - i % 8 of byte i / 8 is set. A file shorter
// than the image needs leaves the rest unpainted. A file that can't be opened
// or read (a folder, say) shows "overlay(): can't read overlay" and leaves the
// image alone.
void overlay(const char* path, uint8_t red, uint8_t green, uint8_t blue, Image& image);

// Composes the map image for the settings from the files under `data_dir`
// ("data" for the program): the chosen base map, then every chosen overlay in
// bit order. Return 1 with a newly allocated image the caller releases; 0
// when Map choice is not 0 or 1 (nothing read, no message) or the base map
// can't be read, its sides are not powers of two or it is narrower than 4
// pixels ("make_map(): can't read map"), and then nothing is allocated.
int compose_map(const GisSettings& gis, const std::string& data_dir, Image& image);

}  // namespace valdrin
