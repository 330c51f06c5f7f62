// The base map and overlay tables, overlay
// painting and the composition of the map image. Composition reads every
// file afresh on each call and keeps nothing between calls.
#include "view/map_layers.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <memory>

#include "core/message.h"

namespace valdrin {

namespace {

bool is_power_of_two(int32_t side) { return side > 0 && (side & (side - 1)) == 0; }

// The map goes up as a texture at its own size, rows tightly packed under
// the default unpack alignment of 4: each side a power of two, and the
// width at least 4 so that its rows (a multiple of 12 bytes) match that
// alignment. A map 1 or 2 pixels wide would have the upload read past its
// pixels.
bool is_texture_size(const Image& map) {
  return is_power_of_two(map.width) && is_power_of_two(map.height) && map.width >= 4;
}

// One mask byte covers eight 3-byte pixels: 24 image bytes.
constexpr size_t kRunBytes = 24;

// For every mask byte, the 24 image bytes it selects as 0xFF and the others
// as 0x00. Blending a run through this table has no branch per bit, which
// matters on masks whose bits don't follow a pattern the processor can
// predict (label text, dense zip areas).
constexpr std::array<std::array<uint8_t, kRunBytes>, 256> kRunMasks = [] {
  std::array<std::array<uint8_t, kRunBytes>, 256> table{};
  for (int bits = 0; bits < 256; ++bits)
    for (int p = 0; p < 8; ++p)
      if (bits >> (7 - p) & 1)
        for (int c = 0; c < 3; ++c) table[bits][3 * p + c] = 0xFF;
  return table;
}();

// Sets the pixels of one run that `bits` selects to the colour run.
void blend_run(uint8_t* run, uint8_t bits, const uint64_t colour[3]) {
  uint64_t pixels[3];
  uint64_t select[3];
  std::memcpy(pixels, run, kRunBytes);
  std::memcpy(select, kRunMasks[bits].data(), kRunBytes);
  for (int w = 0; w < 3; ++w) pixels[w] = (pixels[w] & ~select[w]) | (colour[w] & select[w]);
  std::memcpy(run, pixels, kRunBytes);
}

}  // namespace

const OverlayLayer kOverlays[kOverlayCount] = {
    {"overlays/zipcodes.ovl", 255, 255, 0},   {"overlays/zipcodes_labels.ovl", 255, 255, 0},
    {"overlays/major_roads.ovl", 0, 0, 0},    {"overlays/major_roads_labels.ovl", 0, 0, 0},
    {"overlays/highways.ovl", 255, 255, 255}, {"overlays/highways_labels.ovl", 255, 255, 255},
    {"overlays/duz.ovl", 255, 255, 0},        {"overlays/duz_labels.ovl", 255, 255, 0},
    {"overlays/hospitals.ovl", 255, 255, 0},  {"overlays/hospitals_labels.ovl", 255, 255, 0},
};

const char* const kBaseMaps[2] = {"maps/basemap.bmp", "maps/councilmap.bmp"};

void overlay(const char* path, uint8_t red, uint8_t green, uint8_t blue, Image& image) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    show_message("ERROR", "overlay(): can't read overlay");
    return;
  }
  // Map images are the 3-channel images read_bmp makes; anything else is
  // left alone.
  const bool paintable =
      image.width > 0 && image.height > 0 && image.channels == 3 && image.pixels != nullptr;
  const size_t pixel_count =
      paintable ? static_cast<size_t>(image.width) * static_cast<size_t>(image.height) : 0;
  const size_t mask_bytes = pixel_count / 8;
  auto mask = std::make_unique_for_overwrite<uint8_t[]>(mask_bytes);
  // Only the bytes the file really had are looked at: a short file leaves
  // the pixels it doesn't reach unpainted. A read that fails (a folder by
  // the overlay's name opens, but reads nothing) is a file that can't be
  // read, even when the image needs no byte of it.
  const size_t got =
      mask_bytes > 0 ? std::fread(mask.get(), 1, mask_bytes, file) : (std::fgetc(file), 0);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    show_message("ERROR", "overlay(): can't read overlay");
    return;
  }

  uint8_t colour_bytes[kRunBytes];
  for (size_t p = 0; p < 8; ++p) {
    colour_bytes[3 * p] = red;
    colour_bytes[3 * p + 1] = green;
    colour_bytes[3 * p + 2] = blue;
  }
  uint64_t colour[3];
  std::memcpy(colour, colour_bytes, kRunBytes);
  for (size_t k = 0; k < got; ++k)  // most of a map's mask is empty
    if (mask[k] != 0) blend_run(image.pixels + k * kRunBytes, mask[k], colour);
}

int compose_map(const GisSettings& gis, const std::string& data_dir, Image& image) {
  const uint8_t choice = map_choice(gis);
  if (choice >= 2) return 0;
  Image map;
  if (!read_bmp((data_dir + "/" + kBaseMaps[choice]).c_str(), map)) {
    show_message("ERROR", "make_map(): can't read map");
    return 0;
  }
  // Resampling a map of another size would blur the one-pixel overlays:
  // it is refused instead.
  if (!is_texture_size(map)) {
    free_image(map);
    show_message("ERROR", "make_map(): can't read map");
    return 0;
  }
  for (int n = 0; n < kOverlayCount; ++n) {
    if ((gis.overlay_flags >> n & 1) == 0) continue;
    const OverlayLayer& layer = kOverlays[n];
    overlay((data_dir + "/" + layer.file).c_str(), layer.red, layer.green, layer.blue, map);
  }
  image = map;
  return 1;
}

}  // namespace valdrin
