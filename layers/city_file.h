// The city file (CITY.toml): which GIS layers make a city's data folder,
// the attribute that names each layer's features, and optionally the city's
// coordinate system, where the grid lies and a numbered page grid. Reading
// it checks every key, so a typing error is reported with its line instead
// of being ignored.
#pragma once

#include <map>
#include <string>

namespace valdrin::layers {

// One layer the city is made from, by the role it plays ("boundary",
// "zips", "districts", "pages", "highways", "roads", "stations", "hospitals",
// "water", "parks": the TOML table's name).
struct LayerFile {
  std::string role;
  std::string file;            // resolved against the city file's folder
  std::string layer;           // the layer inside the file; "" is its first
  std::string where;           // an attribute filter in OGR SQL; "" keeps all
  std::string crs;             // the layer's coordinate system, over the file's own
  std::string attribute;       // the attribute naming each feature; "" none
  std::string name_attribute;  // zips: a place name for each code; "" none
  int line = 0;                // the table's line in the city file
};

struct CityFile {
  std::string path;  // the city file itself, for messages
  std::string crs;   // the city's metric system; "" is the boundary's UTM zone
  // Where the grid lies, in the city's system; cell 0 means over the
  // boundary's extent, padded to 84 x 66 and centred.
  double grid_west = 0, grid_south = 0, grid_cell = 0;
  // A page grid the tool numbers itself: pages `page_size` wide from the
  // grid's north-west corner, numbered across from `first_page`; 0 when the
  // pages come from a layer (or there are none).
  double page_size = 0;
  int first_page = 1;
  std::map<std::string, LayerFile> layers;  // by role; "boundary" always there
};

// Reads the city file at `path`. Return 1; 0 with `error` as
// "PATH:LINE: what is wrong" (a TOML fault, an unknown table or key, a value
// of the wrong kind, a missing boundary or attribute), and then `out` is
// unchanged.
int read_city_file(const std::string& path, CityFile& out, std::string& error);

}  // namespace valdrin::layers
