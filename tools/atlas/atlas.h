// Rasterising the city into the data folder: the two 1024 x 1024 base maps,
// the ten one-bit overlay masks and the cell table. The pixels and the cells
// are placed on the grid through the same corner mapping the scene uses.
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

struct Atlas {
  Image basemap;
  Image councilmap;
  std::array<Mask, kOverlayCount> overlays;  // in overlay bit order
  CellTable cells = {};
  std::vector<Label> labels;
  std::vector<uint32_t> zip_pixels;       // pixels of each zip index on the map
  std::vector<uint32_t> district_pixels;  // pixels of each district, 1-9
  Atlas() = default;
  Atlas(const Atlas&) = delete;
  Atlas& operator=(const Atlas&) = delete;
  ~Atlas();
};

// The grid position (x column, y row) under the centre of image pixel (px, py).
Point pixel_grid(int px, int py);

void build_atlas(const City& city, Atlas& atlas);

// Writes maps/, overlays/ and selections/ under `dir`, creating the folders.
// Return 1, or 0 when a file can't be written.
int write_atlas(const Atlas& atlas, const std::string& dir);

}  // namespace valdrin::atlas
