// Where the 84 x 66 grid lies on a map: the map's coordinate system and the
// grid's outer edges in it, as the data folder's georeference file states
// them. The grid is square to the map's axes, column 0 along the west edge;
// which edge row 0 lies along is stated, since the sample city's rows run
// from south to north. Placing a map point on the grid is plain arithmetic
// here; reading the file (TOML) and reprojecting longitude/latitude (PROJ)
// live in the geo layer.
#pragma once

#include <string>

namespace valdrin {

// The file's name inside a data folder.
constexpr const char* kGeoreferenceFile = "georeference.toml";

struct Georeference {
  std::string crs;  // "EPSG:NNNN" or a PROJ string; map units (metres) for x and y
  double west = 0, east = 0, south = 0, north = 0;  // the grid's outer edges
  bool first_row_north = false;                     // row 0 along the north edge
};

// The grid position of map point (x, y): col 0..84 from west to east, row
// 0..66 from the first row's edge. Cells are half-open: a point on the line
// between two cells belongs to the one with the higher index, and the last
// column's east edge and the last row's outer edge lie outside. Return 1
// when the point lies on the grid; 0, with col and row still set, when not.
int map_to_grid(const Georeference& g, double x, double y, double& col, double& row);

// The map point of grid position (col, row), the inverse of map_to_grid.
void grid_to_map(const Georeference& g, double col, double row, double& x, double& y);

// The file's text: a commented TOML table a person can read and edit.
// Numbers are written locale-free with enough digits to read back exactly.
std::string georeference_text(const Georeference& g);

}  // namespace valdrin
