// The icon's shapes and their two renderings.
#include "tools/icon/icon.h"

#include <cstdio>

namespace valdrin::icon {

namespace {

// The map tile seen at an angle: ground point (u, v) of a 4 x 4 tile at
// height h, in the 64 x 64 box.
Point ground(double u, double v, double h = 0) {
  return {32 + (u - v) * 6.5, 34 + (u + v) * 3.25 - h};
}

// A column on cell (u, v) of height h: its left side, right side and top.
void add_column(std::vector<Shape>& shapes, double u, double v, double h) {
  constexpr double kSide = 0.8;
  const double u1 = u + kSide, v1 = v + kSide;
  shapes.push_back(
      {{ground(u, v1), ground(u1, v1), ground(u1, v1, h), ground(u, v1, h)}, 0xD9603B});
  shapes.push_back(
      {{ground(u1, v1), ground(u1, v), ground(u1, v, h), ground(u1, v1, h)}, 0xA8432A});
  // One white band across both sides, as each event shows.
  const double low = h * 0.45, high = h * 0.45 + 1.2;
  shapes.push_back(
      {{ground(u, v1, low), ground(u1, v1, low), ground(u1, v1, high), ground(u, v1, high)},
       0xF4EDE4});
  shapes.push_back(
      {{ground(u1, v1, low), ground(u1, v, low), ground(u1, v, high), ground(u1, v1, high)},
       0xD8CFC4});
  shapes.push_back(
      {{ground(u, v, h), ground(u1, v, h), ground(u1, v1, h), ground(u, v1, h)}, 0xF4A261});
}

bool inside(const std::vector<Point>& corners, double x, double y) {
  bool in = false;
  for (size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
    const Point& a = corners[i];
    const Point& b = corners[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

}  // namespace

std::vector<Shape> icon_shapes() {
  std::vector<Shape> shapes;
  // The background: a square with bevelled corners.
  shapes.push_back(
      {{{6, 2}, {58, 2}, {62, 6}, {62, 58}, {58, 62}, {6, 62}, {2, 58}, {2, 6}}, 0x1D3557});
  // The tile of the map, with a highway across it.
  shapes.push_back({{ground(0, 0), ground(4, 0), ground(4, 4), ground(0, 4)}, 0x6A994E});
  shapes.push_back({{ground(0, 1.8), ground(4, 1.8), ground(4, 2.2), ground(0, 2.2)}, 0xE9E5D6});
  // The columns, back to front.
  add_column(shapes, 0.6, 0.4, 14);
  add_column(shapes, 2.4, 0.5, 22);
  add_column(shapes, 1.4, 1.5, 30);
  add_column(shapes, 0.5, 2.6, 10);
  add_column(shapes, 2.5, 2.6, 18);
  return shapes;
}

std::string icon_svg(const std::vector<Shape>& shapes) {
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64\" height=\"64\" "
      "viewBox=\"0 0 64 64\">\n";
  char text[64];
  for (const Shape& shape : shapes) {
    svg += "  <polygon points=\"";
    for (size_t i = 0; i < shape.corners.size(); ++i) {
      std::snprintf(text, sizeof text, "%s%.2f,%.2f", i ? " " : "", shape.corners[i].x,
                    shape.corners[i].y);
      svg += text;
    }
    std::snprintf(text, sizeof text, "\" fill=\"#%06X\"/>\n", shape.rgb);
    svg += text;
  }
  return svg + "</svg>\n";
}

std::vector<uint8_t> icon_pixels(const std::vector<Shape>& shapes, int size) {
  constexpr int kSamples = 4;  // per side of a pixel
  std::vector<uint8_t> pixels(static_cast<size_t>(size) * size * 4, 0);
  const double scale = kBox / size;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      unsigned sum[3] = {0, 0, 0};
      unsigned covered = 0;
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const double px = (x + (sx + 0.5) / kSamples) * scale;
          const double py = (y + (sy + 0.5) / kSamples) * scale;
          const Shape* top = nullptr;
          for (const Shape& shape : shapes)
            if (inside(shape.corners, px, py)) top = &shape;
          if (top == nullptr) continue;
          ++covered;
          for (int c = 0; c < 3; ++c) sum[c] += (top->rgb >> (16 - 8 * c)) & 0xFF;
        }
      uint8_t* pixel = &pixels[(static_cast<size_t>(y) * size + x) * 4];
      if (covered == 0) continue;
      // Colour as the covered samples' mean, coverage as alpha.
      for (int c = 0; c < 3; ++c) pixel[c] = static_cast<uint8_t>((sum[c] + covered / 2) / covered);
      pixel[3] =
          static_cast<uint8_t>((covered * 255 + kSamples * kSamples / 2) / (kSamples * kSamples));
    }
  return pixels;
}

}  // namespace valdrin::icon
