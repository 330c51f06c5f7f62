// valdrin-atlas: writes the city atlas (base maps, overlays, cell table) into
// a data folder. Same bytes on every run and every machine. With
// from-layers it builds the folder of a real city from its GIS layers; with
// sample-layers it exports the fictional city as such layers.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "layers/city_layers.h"
#include "tools/atlas/atlas.h"
#include "tools/atlas/sample_layers.h"

namespace {

constexpr const char* kUsage =
    "usage: valdrin-atlas [DATA_DIR]   (default: data)\n"
    "       valdrin-atlas from-layers CITY.toml OUT_DIR\n"
    "       valdrin-atlas sample-layers DIR\n";

int from_layers(const char* city_path, const char* out_dir) {
  using namespace valdrin;
  layers::CityFile city;
  std::string error;
  auto atlas = std::make_unique<atlas::Atlas>();
  if (!layers::read_city_file(city_path, city, error) ||
      !layers::build_city_atlas(city, *atlas, error) ||
      !layers::write_city_folder(*atlas, out_dir, error)) {
    std::fprintf(stderr, "valdrin-atlas: %s\n", error.c_str());
    return 1;
  }
  std::printf("valdrin-atlas: wrote the data folder %s\n", out_dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "from-layers") == 0) return from_layers(argv[2], argv[3]);
  if (argc == 3 && std::strcmp(argv[1], "sample-layers") == 0) {
    std::string error;
    if (!valdrin::atlas::write_sample_layers(valdrin::atlas::the_city(), argv[2], error)) {
      std::fprintf(stderr, "valdrin-atlas: %s\n", error.c_str());
      return 1;
    }
    std::printf("valdrin-atlas: wrote the sample city's layers into %s\n", argv[2]);
    return 0;
  }
  if (argc > 2 || (argc == 2 && argv[1][0] == '-') ||
      (argc == 2 &&
       (std::strcmp(argv[1], "from-layers") == 0 || std::strcmp(argv[1], "sample-layers") == 0))) {
    std::fputs(kUsage, stderr);
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
