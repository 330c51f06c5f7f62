// The city's geometry. Everything is built from hand-placed points, a fixed
// integer random sequence and exact arithmetic (no trigonometric library
// calls), so it comes out bit for bit the same on every machine.
#include "tools/atlas/city.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/event.h"

namespace valdrin::atlas {

namespace {

// A fixed linear congruential sequence for placing zip seeds.
struct Sequence {
  uint32_t s;
  double next() {
    s = s * 1664525u + 1013904223u;
    return static_cast<double>(s >> 8) / 16777216.0;
  }
};

double distance(Point a, Point b) {
  const double dx = a.x - b.x, dy = a.y - b.y;
  return std::sqrt(dx * dx + dy * dy);
}

// 48 points of the unit circle, from a rotation by 7.5 degrees applied again
// and again (the constants are cos and sin of 7.5 degrees).
std::vector<Point> unit_circle() {
  constexpr double kCos = 0.99144486137381041, kSin = 0.13052619222005157;
  std::vector<Point> points;
  Point p{1, 0};
  for (int i = 0; i < 48; ++i) {
    points.push_back(p);
    p = Point{p.x * kCos - p.y * kSin, p.x * kSin + p.y * kCos};
  }
  return points;
}

std::vector<Point> ring(Point centre, double rx, double ry) {
  std::vector<Point> path;
  for (Point p : unit_circle()) path.push_back(Point{centre.x + rx * p.x, centre.y + ry * p.y});
  path.push_back(path.front());
  return path;
}

std::vector<ZipArea> place_zips(const City& city) {
  // Seeds keep a distance that grows from the centre outward: small zip
  // areas downtown, large ones at the edge.
  Sequence random{20240611u};
  std::vector<Point> seeds;
  for (int attempt = 0; attempt < 20000; ++attempt) {
    const Point p{4 + 76 * random.next(), 4 + 58 * random.next()};
    if (!inside_city(city, p.x, p.y)) continue;
    const double spacing = 2.0 + 0.17 * distance(p, city.downtown);
    bool clear = true;
    for (Point q : seeds) clear = clear && distance(p, q) >= spacing;
    if (clear) seeds.push_back(p);
  }
  std::stable_sort(seeds.begin(), seeds.end(), [&](Point a, Point b) {
    return distance(a, city.downtown) < distance(b, city.downtown);
  });
  std::vector<ZipArea> zips;
  for (size_t i = 0; i < seeds.size(); ++i)
    zips.push_back(ZipArea{static_cast<uint32_t>(i + 1), seeds[i]});
  return zips;
}

// Corner cutting: each pass replaces every segment by its quarter points,
// which rounds a polyline into a smooth curve through the same region.
std::vector<Point> smooth(std::vector<Point> path, int passes) {
  for (int pass = 0; pass < passes; ++pass) {
    std::vector<Point> next = {path.front()};
    for (size_t i = 0; i + 1 < path.size(); ++i) {
      const Point a = path[i], b = path[i + 1];
      next.push_back(Point{0.75 * a.x + 0.25 * b.x, 0.75 * a.y + 0.25 * b.y});
      next.push_back(Point{0.25 * a.x + 0.75 * b.x, 0.25 * a.y + 0.75 * b.y});
    }
    next.push_back(path.back());
    path = next;
  }
  return path;
}

City build_city() {
  City c;
  c.limit = {{8, 31},  {10, 22}, {15, 15}, {22, 10}, {30, 8},  {38, 9},  {44, 7},
             {52, 8},  {60, 10}, {67, 14}, {73, 19}, {77, 26}, {78, 34}, {76, 41},
             {79, 48}, {74, 54}, {66, 58}, {57, 59}, {48, 58}, {40, 60}, {31, 59},
             {23, 55}, {16, 50}, {11, 44}, {7, 38}};
  c.bayou = smooth({{-2, 36},
                    {8, 35},
                    {14, 37},
                    {20, 34},
                    {26, 35},
                    {32, 32},
                    {37, 34},
                    {41, 31.5},
                    {46, 30},
                    {52, 31},
                    {58, 28},
                    {64, 29},
                    {70, 26},
                    {78, 27},
                    {86, 25}},
                   3);
  c.bayou_half_width = 0.35;
  c.lake_centre = {63, 47};
  c.lake_radii = {5, 3};
  c.park_centres = {{30, 41}, {51, 21}, {20, 26}, {57, 39}, {35, 16}, {47, 48}, {68, 22}};
  c.park_radii = {{2.5, 1.8}, {3, 2}, {2, 2}, {2, 1.5}, {2.5, 1.5}, {3, 2}, {1.8, 1.4}};
  c.downtown = {42, 33};
  c.downtown_radius = 5.5;
  c.zips = place_zips(c);
  c.districts = {{26.5, 46}, {42, 50}, {58, 47}, {20, 32}, {42, 33},
                 {63, 33},   {25, 18}, {43, 15}, {60, 18}};
  // Between the highways, so that no overlay hides a letter.
  c.district_letters = {{22, 40}, {49, 50}, {60, 41}, {16, 27}, {38.5, 34.5},
                        {68, 40}, {22, 23}, {49, 14}, {67, 24}};

  const double kHighway = 0.22;
  c.highways = {
      {"LOOP 7", ring(c.downtown, 8.5, 8.5), kHighway},
      {"BELTWAY 9", ring(c.downtown, 27, 21), kHighway},
      {"I-12", {{0, 30.5}, {20, 31.5}, {42, 33}, {64, 34}, {84, 35.5}}, kHighway},
      {"I-47", {{38, 0}, {40, 16}, {42, 33}, {45, 50}, {48, 66}}, kHighway},
      {"US-61", {{8, 4}, {42, 33}, {78, 62}}, kHighway},
      {"SH-225", {{6, 60}, {42, 33}, {80, 6}}, kHighway},
  };
  const double kRoad = 0.09;
  const char* north_south[] = {"ALDER", "BIRCH", "CEDAR", "DOGWOOD", "ELM",
                               "FIR",   "GUM",   "HAZEL", "IVY",     "JUNIPER"};
  const double xs[] = {10, 16, 23, 30, 36, 49, 55, 61, 68, 74};
  for (int i = 0; i < 10; ++i)
    c.major_roads.push_back({north_south[i], {{xs[i], 0}, {xs[i], 66}}, kRoad});
  const char* east_west[] = {"MAIN",  "MARKET", "BRIDGE", "MILL",
                             "CANAL", "HARBOR", "UNION",  "LIBERTY"};
  const double ys[] = {12, 18, 24, 28, 38, 43, 48, 54};
  for (int i = 0; i < 8; ++i)
    c.major_roads.push_back({east_west[i], {{0, ys[i]}, {84, ys[i]}}, kRoad});

  c.stations = {{"CENTRAL", {43.5, 34.5}}, {"AIRPORT", {46, 55}},        {"CLEAR LAKE", {64, 13.5}},
                {"TRAVIS", {35, 39}},      {"EASTSIDE", {65, 31}},       {"FONDREN", {29, 22.5}},
                {"KINGWOOD", {70, 51}},    {"NORTH DIVISION", {38, 52}}, {"NORTHEAST", {57, 52}},
                {"NORTHWEST", {20, 46}},   {"SOUTH CENTRAL", {45, 21}},  {"SOUTHEAST", {56, 15}},
                {"SOUTHWEST", {21, 17}},   {"WESTSIDE", {13, 34}}};
  c.hospitals = {
      {"ST. ANSELM", {40, 36}},        {"MERCY GENERAL", {47, 30}}, {"BAYOU MEMORIAL", {27, 33}},
      {"NORTHGATE MEDICAL", {46, 44}}, {"CHILDREN'S", {36, 27}},    {"VETERANS", {58, 24}},
      {"LAKESIDE", {66, 44}},          {"WESTBURY", {16, 39}},      {"PARKVIEW", {32, 48}},
      {"EASTWOOD", {71, 36}},          {"SOUTHGATE", {38, 12}}};
  return c;
}

}  // namespace

const City& the_city() {
  static const City city = build_city();
  return city;
}

bool inside_city(const City& city, double x, double y) {
  // Even-odd rule over the limit polygon.
  bool inside = false;
  const auto& p = city.limit;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    if ((p[i].y > y) != (p[j].y > y) &&
        x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x)
      inside = !inside;
  }
  return inside;
}

namespace {
double squared_distance_to_segment(Point a, Point b, double x, double y) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  const double ex = a.x + t * dx - x, ey = a.y + t * dy - y;
  return ex * ex + ey * ey;
}
}  // namespace

double distance_to_segment(Point a, Point b, double x, double y) {
  return std::sqrt(squared_distance_to_segment(a, b, x, y));
}

double distance_to_path(const std::vector<Point>& path, double x, double y) {
  double best = 1e30;
  for (size_t i = 0; i + 1 < path.size(); ++i)
    best = std::min(best, squared_distance_to_segment(path[i], path[i + 1], x, y));
  return std::sqrt(best);
}

bool is_water(const City& city, double x, double y) {
  if (distance_to_path(city.bayou, x, y) < city.bayou_half_width) return true;
  const double dx = (x - city.lake_centre.x) / city.lake_radii.x;
  const double dy = (y - city.lake_centre.y) / city.lake_radii.y;
  return dx * dx + dy * dy < 1;
}

bool is_park(const City& city, double x, double y) {
  for (size_t i = 0; i < city.park_centres.size(); ++i) {
    const double dx = (x - city.park_centres[i].x) / city.park_radii[i].x;
    const double dy = (y - city.park_centres[i].y) / city.park_radii[i].y;
    if (dx * dx + dy * dy < 1) return true;
  }
  return false;
}

bool is_downtown(const City& city, double x, double y) {
  return distance(Point{x, y}, city.downtown) < city.downtown_radius;
}

uint32_t zip_at(const City& city, double x, double y) {
  if (!inside_city(city, x, y)) return 0;
  uint32_t best = 0;
  double best_d = 1e30;
  for (const ZipArea& z : city.zips) {
    const double dx = x - z.seed.x, dy = y - z.seed.y;
    const double d = dx * dx + dy * dy;
    if (d < best_d) {
      best_d = d;
      best = z.index;
    }
  }
  return best;
}

uint32_t district_at(const City& city, double x, double y) {
  if (!inside_city(city, x, y)) return 0;
  uint32_t best = 0;
  double best_d = 1e30;
  for (size_t i = 0; i < city.districts.size(); ++i) {
    const double dx = x - city.districts[i].x, dy = y - city.districts[i].y;
    // The downtown district E is drawn tighter than its neighbours.
    const double d = (dx * dx + dy * dy) * (i == 4 ? 2.2 : 1.0);
    if (d < best_d) {
      best_d = d;
      best = static_cast<uint32_t>(i + 1);
    }
  }
  return best;
}

std::string keymap_code(int row, int col) {
  // Pages are numbered across from the top-left of the book, starting at
  // 0301, 21 pages to a strip.
  const int page_row = (65 - row) / kPageCells;
  const int page_col = col / kPageCells;
  char code[8];
  std::snprintf(code, sizeof code, "%04d", 301 + page_row * 21 + page_col);
  return code;
}

Georeference city_georeference() {
  Georeference g;
  g.crs = "EPSG:32615";
  g.west = 260000;
  g.east = g.west + kGridCols * 250.0;
  g.south = 3285000;
  g.north = g.south + kGridRows * 250.0;
  g.first_row_north = false;
  return g;
}

}  // namespace valdrin::atlas
