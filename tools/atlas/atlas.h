// Painting a city into the data folder: the two 1024 x 1024 base maps, the
// ten one-bit overlay masks with their labels and the cell table. Whoever
// knows the city (the fictional one here, or GIS layers) says what lies under
// every pixel and where the roads, sites and labels are, in grid
// coordinates; the painter owns the look. The pixels and the cells are placed
// on the grid through the same corner mapping the scene uses.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/cell_table.h"
#include "tools/atlas/city.h"
#include "view/image.h"
#include "view/map_layers.h"

namespace valdrin::atlas {

constexpr int kMapSize = 1024;
constexpr size_t kMaskBytes = kMapSize * kMapSize / 8;  // 131,072

// A one-bit overlay mask: pixel i of the image is bit 7 - i % 8 of byte i / 8.
struct Mask {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kMaskBytes, 0);
  void set(int x, int y);
  bool get(int x, int y) const;
};

// A piece of text drawn into a layer, in image pixels (bottom-left origin).
struct Label {
  int layer;  // overlay bit, or -1 for the council map's district letters
  std::string text;
  int left, bottom, right, top;
};

// What lies under every pixel of the map, pixel (x, y) at index y * 1024 + x.
struct PixelInfo {
  std::vector<Point> grid = std::vector<Point>(kMapSize * kMapSize);  // pixel_grid of each
  std::vector<uint8_t> inside = std::vector<uint8_t>(kMapSize * kMapSize);
  std::vector<uint16_t> zip = std::vector<uint16_t>(kMapSize * kMapSize);
  std::vector<uint8_t> district = std::vector<uint8_t>(kMapSize * kMapSize);  // 1-15
  std::vector<uint8_t> ground = std::vector<uint8_t>(kMapSize * kMapSize);    // kLand ...
};
enum Ground : uint8_t { kLand = 0, kWater = 1, kPark = 2, kDowntown = 3 };

// Fills `info.grid` with the grid position of every pixel centre.
void fill_pixel_grid(PixelInfo& info);

// A label of one overlay: `text` drawn at the pixel of grid point `at`
// moved by (dx, dy) pixels (dy down the picture), its top-left corner there,
// or its middle when `centred`.
struct TextSpot {
  int layer;  // overlay bit: 1 zip codes, 3 roads, 5 highways, 7 stations, 9 hospitals
  std::string text;
  Point at;
  int dx = 0, dy = 0;
  bool large = false;  // highway lettering
  bool centred = false;
};

// What is drawn over the areas.
struct MapFeatures {
  std::vector<Road> highways;     // drawn over the whole map
  std::vector<Road> major_roads;  // drawn inside the city only
  std::vector<Point> stations, hospitals;
  std::vector<Point> district_letters;  // by district 1 up (index 0 is A)
  std::vector<TextSpot> texts;
};

// Where a label sits beside a site marker, and a road name beside or under
// its road.
TextSpot station_label(const std::string& name, Point at);
TextSpot hospital_label(const std::string& name, Point at);
TextSpot road_label(const std::string& name, Point at, bool beside);
TextSpot highway_label(const std::string& name, Point at);

constexpr int kMaxDistricts = 15;

struct Atlas {
  Image basemap;
  Image councilmap;
  std::array<Mask, kOverlayCount> overlays;  // in overlay bit order
  CellTable cells = {};
  std::vector<Label> labels;
  std::vector<uint32_t> zip_pixels;       // pixels of each zip index on the map
  std::vector<uint32_t> district_pixels;  // pixels of each district, 1-15
  std::string georeference;               // georeference.toml's text; none when empty
  std::string area_table;                 // areas.csv's text; none when empty
  Atlas() = default;
  Atlas(const Atlas&) = delete;
  Atlas& operator=(const Atlas&) = delete;
  ~Atlas();
};

// The grid position (x column, y row) under the centre of image pixel (px, py).
Point pixel_grid(int px, int py);

// Paints the maps and overlays from what lies under the pixels and the
// features; the cell table is the builder's.
void paint_atlas(const PixelInfo& info, const MapFeatures& features, Atlas& atlas);

// The whole atlas of the fictional city.
void build_atlas(const City& city, Atlas& atlas);

// Writes maps/, overlays/ and selections/ under `dir`, creating the folders,
// and georeference.toml and areas.csv when the atlas has them.
// Return 1, or 0 when a file can't be written.
int write_atlas(const Atlas& atlas, const std::string& dir);

}  // namespace valdrin::atlas
