// The fictional city as GIS layers (GeoJSON, longitude/latitude) with the
// city file that builds a data folder from them: examples/sample-city-layers.
#pragma once

#include <string>

#include "tools/atlas/city.h"

namespace valdrin::atlas {

// Writes the layers and city.toml into `dir`, creating it. Return 1; 0 with
// `error` when a file can't be written.
int write_sample_layers(const City& city, const std::string& dir, std::string& error);

}  // namespace valdrin::atlas
