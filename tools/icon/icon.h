// The application icon: a bevelled dark square with a tile of the city map
// seen at an angle and five columns of events standing on it, as the view
// shows them. One list of filled polygons in a 64 x 64 box gives both the
// scalable SVG and the PNG sizes, which are rasterised here with 4 x 4
// samples per pixel, so the same build gives the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace valdrin::icon {

// The PNG sizes installed beside the SVG.
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};
// The side of the box the shapes are drawn in.
constexpr double kBox = 64;

struct Point {
  double x, y;
};

struct Shape {
  std::vector<Point> corners;
  uint32_t rgb;  // 0xRRGGBB
};

// The icon's shapes, back to front.
std::vector<Shape> icon_shapes();

// The SVG text of `shapes` in a 64 x 64 view box.
std::string icon_svg(const std::vector<Shape>& shapes);

// `shapes` drawn into size x size RGBA pixels, top row first; what no shape
// covers is transparent.
std::vector<uint8_t> icon_pixels(const std::vector<Shape>& shapes, int size);

}  // namespace valdrin::icon
