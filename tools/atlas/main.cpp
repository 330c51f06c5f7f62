// valdrin-atlas: writes the city atlas (base maps, overlays, cell table) into
// a data folder. Same bytes on every run and every machine.
#include <cstdio>
#include <memory>

#include "tools/atlas/atlas.h"

int main(int argc, char** argv) {
  if (argc > 2 || (argc == 2 && argv[1][0] == '-')) {
    std::fprintf(stderr, "usage: valdrin-atlas [DATA_DIR]   (default: data)\n");
    return 2;
  }
  const char* dir = argc == 2 ? argv[1] : "data";
  auto atlas = std::make_unique<valdrin::atlas::Atlas>();
  valdrin::atlas::build_atlas(valdrin::atlas::the_city(), *atlas);
  if (!valdrin::atlas::write_atlas(*atlas, dir)) {
    std::fprintf(stderr, "valdrin-atlas: can't write the atlas into %s\n", dir);
    return 1;
  }
  std::printf("valdrin-atlas: wrote %s/maps, %s/overlays, %s/selections and %s/%s\n", dir, dir, dir,
              dir, valdrin::kGeoreferenceFile);
  return 0;
}
