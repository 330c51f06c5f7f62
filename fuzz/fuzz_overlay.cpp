// Map composition with overlay painting. The input is cut into a settings
// byte pair, the base map's bytes and one overlay mask's bytes; every
// overlay file holds that mask, so any set of flags paints real bits.
// Layout: [flags low][flags high][map size low][map size high][map][mask].
#include <sys/stat.h>

#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "view/map_layers.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silence_messages();
  if (size < 4) return 0;
  GisSettings gis;
  gis.overlay_flags = static_cast<uint16_t>(data[0] | data[1] << 8);
  gis.map_and_mode = static_cast<uint8_t>(data[1] >> 7);  // Map choice 0 or 1
  size_t map_size = static_cast<size_t>(data[2] | data[3] << 8);
  data += 4;
  size -= 4;
  if (map_size > size) map_size = size;
  const std::string& dir = fuzz::scratch_dir();
  static const bool made = [&] {
    ::mkdir((dir + "/maps").c_str(), 0700);
    ::mkdir((dir + "/overlays").c_str(), 0700);
    return true;
  }();
  (void)made;
  fuzz::stage_file(kBaseMaps[map_choice(gis)], data, map_size);
  for (const OverlayLayer& layer : kOverlays)
    fuzz::stage_file(layer.file, data + map_size, size - map_size);
  Image image;
  if (compose_map(gis, dir, image)) {
    if (image.pixels == nullptr || image.width < 4 || (image.width & (image.width - 1)) != 0 ||
        (image.height & (image.height - 1)) != 0)
      std::abort();
    free_image(image);
  } else if (image.pixels != nullptr) {
    std::abort();
  }
  return 0;
}
