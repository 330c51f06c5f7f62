// The fictional city behind every data file: its limit, water, parks,
// downtown, zip areas, council districts, keymap pages, highways, major
// roads, police stations and hospitals, all in grid coordinates (x the
// column 0-84, y the row 0-66, cells square). The map images, the overlays
// and the cell table are all rasterised from this one geometry, so a cell's
// codes agree with what the maps show under it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/georeference.h"

namespace valdrin::atlas {

struct Point {
  double x = 0;  // grid column coordinate
  double y = 0;  // grid row coordinate
};

struct Road {
  std::string name;
  std::vector<Point> path;  // a polyline; a closed ring repeats its first point
  double half_width;        // in grid units
};

struct Site {
  std::string name;
  Point at;
};

struct ZipArea {
  uint32_t index;  // zip code = 76999 + index
  Point seed;
};

struct City {
  std::vector<Point> limit;  // the city limit polygon
  std::vector<Point> bayou;  // centre line of the bayou
  double bayou_half_width;
  Point lake_centre, lake_radii;
  std::vector<Point> park_centres, park_radii;  // elliptic parks
  Point downtown;
  double downtown_radius;
  std::vector<ZipArea> zips;            // ordered by index, 1 up, downtown first
  std::vector<Point> districts;         // seeds of districts A-I (index 0 is A)
  std::vector<Point> district_letters;  // where each district's letter stands
  std::vector<Road> highways;
  std::vector<Road> major_roads;
  std::vector<Site> stations;  // police stations of the geographic divisions
  std::vector<Site> hospitals;
};

// The one city; the same every time.
const City& the_city();

// Where the city lies on the map: a UTM zone 15 north grid of 250 m cells,
// row 0 along the south edge as the maps show it.
Georeference city_georeference();

bool inside_city(const City& city, double x, double y);
bool is_water(const City& city, double x, double y);
bool is_park(const City& city, double x, double y);
bool is_downtown(const City& city, double x, double y);

// Zip index (1 up) and council district (1-9) at a point of the city; 0
// outside the city limit.
uint32_t zip_at(const City& city, double x, double y);
uint32_t district_at(const City& city, double x, double y);

// The keymap page code of the cell (row, col), four digits such as "0493";
// pages are squares of kPageCells cells.
constexpr int kPageCells = 4;
std::string keymap_code(int row, int col);

// Distance from a point to the segment a-b, and to a polyline.
double distance_to_segment(Point a, Point b, double x, double y);
double distance_to_path(const std::vector<Point>& path, double x, double y);

}  // namespace valdrin::atlas
