// The geo layer: what needs PROJ or toml++ to place a point of the world on
// the grid. It reads a data folder's georeference file and turns longitude/
// latitude (WGS 84) into the map coordinates the file's system uses.
#pragma once

#include <memory>
#include <string>

#include "core/georeference.h"

namespace valdrin {

// Reads the georeference file at `path`. Return 1; 0 with `error` saying
// what is wrong ("FILE:LINE: ..." for a TOML fault or a missing or bad key),
// and then `out` is unchanged.
int read_georeference(const std::string& path, Georeference& out, std::string& error);

// A reprojection from longitude/latitude in degrees (WGS 84, longitude
// first) to the map coordinates of one coordinate system.
struct LonLatToMap;
struct LonLatToMapDeleter {
  void operator()(LonLatToMap* p) const;
};
using LonLatToMapPtr = std::unique_ptr<LonLatToMap, LonLatToMapDeleter>;

// The reprojection into `crs` ("EPSG:NNNN" or a PROJ string), or null with
// `error` saying why (an unknown system).
LonLatToMapPtr make_lon_lat_to_map(const std::string& crs, std::string& error);

// Map coordinates of (lon, lat). Return 1; 0 when the point can't be
// projected (not finite, or outside what the system covers).
int lon_lat_to_map(LonLatToMap& p, double lon, double lat, double& x, double& y);

// The inverse: longitude/latitude of map point (x, y). Return 1; 0 when
// the point can't be projected back.
int map_to_lon_lat(LonLatToMap& p, double x, double y, double& lon, double& lat);

}  // namespace valdrin
