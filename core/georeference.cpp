// Placing map points on the grid and writing the georeference file.
#include "core/georeference.h"

#include <charconv>
#include <cmath>

#include "core/event.h"

namespace valdrin {

namespace {

// Shortest text that reads back as the same double, in every locale.
std::string number_text(double v) {
  char buf[64];
  const auto [end, error] = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, error == std::errc() ? end : buf);
  // TOML wants a float to look like one.
  if (s.find_first_of(".eE") == std::string::npos && s.find_first_of("ni") == std::string::npos)
    s += ".0";
  return s;
}

}  // namespace

int map_to_grid(const Georeference& g, double x, double y, double& col, double& row) {
  col = (x - g.west) / (g.east - g.west) * kGridCols;
  row = g.first_row_north ? (g.north - y) / (g.north - g.south) * kGridRows
                          : (y - g.south) / (g.north - g.south) * kGridRows;
  // The comparisons also refuse NaN, from a point or a degenerate file.
  return col >= 0 && col < kGridCols && row >= 0 && row < kGridRows;
}

void grid_to_map(const Georeference& g, double col, double row, double& x, double& y) {
  x = g.west + col / kGridCols * (g.east - g.west);
  const double up = row / kGridRows * (g.north - g.south);
  y = g.first_row_north ? g.north - up : g.south + up;
}

std::string georeference_text(const Georeference& g) {
  std::string crs;
  for (char c : g.crs) {
    if (c == '"' || c == '\\') crs += '\\';
    crs += c;
  }
  return "# Where the 84 x 66 grid lies on the map.\n"
         "# crs: the map's coordinate system, an EPSG code or a PROJ string; x grows\n"
         "# east and y north, in its units.\n"
         "crs = \"" +
         crs +
         "\"\n"
         "# The grid's outer edges in those coordinates. Column 0 lies along the\n"
         "# west edge, column 83 along the east edge; cells are square when\n"
         "# (east - west) / 84 equals (north - south) / 66.\n"
         "west = " +
         number_text(g.west) + "\neast = " + number_text(g.east) +
         "\nsouth = " + number_text(g.south) + "\nnorth = " + number_text(g.north) +
         "\n# The edge along which row 0 lies: \"south\" or \"north\".\n"
         "first_row = \"" +
         (g.first_row_north ? "north" : "south") + "\"\n";
}

}  // namespace valdrin
