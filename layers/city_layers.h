// A city's data folder from its GIS layers: the layers the city file names
// are read with GDAL (any vector format it reads), reprojected into one
// metric system, laid on the 84 x 66 grid and painted by the atlas's own
// painter; the cell table follows core's area rule, so it agrees with the
// maps. The folder gains the georeference file and the Area table (zip
// codes and district names).
#pragma once

#include <string>

#include "layers/city_file.h"
#include "tools/atlas/atlas.h"

namespace valdrin::layers {

constexpr uint32_t kMaxZips = 1000;

// Builds the atlas of the city. Return 1; 0 with `error` naming the layer and
// what is wrong with it: a file that can't be opened, a missing layer or
// attribute (with the attributes the layer has), a layer of no features
// inside the boundary, an unknown coordinate system, too many districts or
// zip areas, a page code over four characters.
int build_city_atlas(const CityFile& city, atlas::Atlas& out, std::string& error);

// Writes the atlas as the data folder `out_dir`: whole or not at all. The
// folder is written beside it under a temporary name and renamed into place;
// an existing data folder (one with selections/default.sel) or an empty
// folder is replaced only then, and anything else there is refused. Return
// 1; 0 with `error`, and then `out_dir` is as it was.
int write_city_folder(const atlas::Atlas& atlas, const std::string& out_dir, std::string& error);

}  // namespace valdrin::layers
