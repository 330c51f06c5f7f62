// Rasterising the city: per-pixel lookups of the geometry, then colours for
// the base maps, bits for the overlays and codes for the cells.
#include "tools/atlas/atlas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/area_table.h"
#include "core/cell_coverage.h"
#include "core/georeference.h"
#include "view/bitmap_font.h"
#include "view/texcoords.h"

namespace valdrin::atlas {

namespace {

struct Rgb {
  uint8_t r, g, b;
};

int at(int x, int y) { return y * kMapSize + x; }
bool on_image(int x, int y) { return x >= 0 && y >= 0 && x < kMapSize && y < kMapSize; }

void put(Image& image, int x, int y, Rgb c) {
  if (!on_image(x, y)) return;
  uint8_t* p = image.pixels + at(x, y) * 3;
  p[0] = c.r;
  p[1] = c.g;
  p[2] = c.b;
}

// A small integer hash for the varying shades of blocks and fields.
uint32_t hash(int a, int b) {
  uint32_t h = static_cast<uint32_t>(a) * 0x9E3779B1u ^ static_cast<uint32_t>(b) * 0x85EBCA77u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

Rgb shade(Rgb c, int delta) {
  auto f = [delta](uint8_t v) { return static_cast<uint8_t>(std::clamp(v + delta, 0, 255)); };
  return Rgb{f(c.r), f(c.g), f(c.b)};
}

// The image pixel nearest to a grid point.
void grid_pixel(Point p, int& px, int& py) {
  const TexCoord tc = grid_texcoord(static_cast<float>(p.y), static_cast<float>(p.x));
  px = static_cast<int>(std::floor(tc.s * kMapSize));
  py = static_cast<int>(std::floor(tc.t * kMapSize));
}

// A grid cell is about 11 pixels wide and 17 high on the image, and the view
// shows it square: text and markers are drawn half as tall again as wide so
// that they look upright there.
struct Scale {
  int x, y;
};
constexpr Scale kSmall{1, 2}, kLarge{2, 3}, kLetterScale{4, 6};

// Draws text with its top-left corner at picture position (left, top), where
// picture rows count down from the top of the image.
template <typename Plot>
Label place_text(int layer, const std::string& text, int left, int top_row, Scale scale,
                 Plot&& plot) {
  draw_text(text, left, top_row, scale.x, scale.y,
            [&](int x, int y) { plot(x, kMapSize - 1 - y); });
  const int width = text_width(text, scale.x);
  const int height = kGlyphHeight * scale.y;
  return Label{
      layer, text, left, kMapSize - top_row - height, left + width - 1, kMapSize - 1 - top_row};
}

// Text centred on image pixel (px, py).
template <typename Plot>
Label centred_text(int layer, const std::string& text, int px, int py, Scale scale, Plot&& plot) {
  const int left = px - text_width(text, scale.x) / 2;
  const int top_row = (kMapSize - 1 - py) - kGlyphHeight * scale.y / 2;
  return place_text(layer, text, left, top_row, scale, plot);
}

void fill_pixels(const City& city, PixelInfo& info) {
  fill_pixel_grid(info);
  for (int i = 0; i < kMapSize * kMapSize; ++i) {
    const Point g = info.grid[i];
    info.inside[i] = inside_city(city, g.x, g.y);
    info.zip[i] = static_cast<uint16_t>(info.inside[i] ? zip_at(city, g.x, g.y) : 0);
    info.district[i] = static_cast<uint8_t>(info.inside[i] ? district_at(city, g.x, g.y) : 0);
    info.ground[i] = is_water(city, g.x, g.y)      ? kWater
                     : is_park(city, g.x, g.y)     ? kPark
                     : is_downtown(city, g.x, g.y) ? kDowntown
                                                   : kLand;
  }
}

// A pixel on the edge of its area: a 4-neighbour lies in another one.
template <typename Area>
bool on_edge(int x, int y, Area&& area) {
  const int here = area(x, y);
  const int dx[] = {1, -1, 0, 0};
  const int dy[] = {0, 0, 1, -1};
  for (int k = 0; k < 4; ++k) {
    const int nx = x + dx[k], ny = y + dy[k];
    if (on_image(nx, ny) && area(nx, ny) != here) return true;
  }
  return false;
}

constexpr Rgb kOutside{146, 154, 130}, kOutsideAlt{156, 162, 138};
constexpr Rgb kBlock{170, 162, 142}, kStreet{134, 128, 116};
constexpr Rgb kDowntownBlock{150, 140, 134}, kDowntownStreet{112, 108, 104};
constexpr Rgb kWaterColour{68, 104, 150}, kParkColour{92, 138, 84}, kLimit{118, 100, 80};
constexpr Rgb kBoundary{96, 40, 36}, kLetter{240, 240, 228}, kCouncilOutside{150, 150, 150};
// Fifteen clearly different, middle-dark colours: white, yellow and black
// overlays all stand out on them.
constexpr Rgb kDistrictColours[kMaxDistricts] = {
    {170, 72, 72},  {62, 100, 170}, {72, 130, 70},  {172, 106, 42}, {122, 72, 160},
    {40, 124, 124}, {160, 80, 132}, {120, 114, 46}, {92, 96, 140},  {150, 96, 84},
    {70, 110, 100}, {140, 60, 100}, {100, 130, 50}, {80, 80, 110},  {168, 90, 60}};

void paint_basemap(const PixelInfo& info, Image& map) {
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const int i = at(x, y);
      const Point g = info.grid[i];
      Rgb c;
      if (!info.inside[i]) {
        // Fields around the city, in a patchwork of three-cell squares.
        const int fx = static_cast<int>(std::floor(g.x / 3)),
                  fy = static_cast<int>(std::floor(g.y / 3));
        c = ((fx + fy) & 1) ? kOutsideAlt : kOutside;
        c = shade(c, static_cast<int>(hash(fx, fy) % 9) - 4);
        if (info.ground[i] == kWater) c = kWaterColour;
      } else if (info.ground[i] == kWater) {
        c = kWaterColour;
      } else if (info.ground[i] == kPark) {
        c = shade(kParkColour, static_cast<int>(hash(x / 5, y / 5) % 7) - 3);
      } else {
        // City blocks: four to a cell side downtown, two elsewhere.
        const bool downtown = info.ground[i] == kDowntown;
        const double per_cell = downtown ? 4 : 2;
        const double street = downtown ? 0.22 : 0.16;
        const double bx = g.x * per_cell, by = g.y * per_cell;
        const bool is_street = bx - std::floor(bx) < street || by - std::floor(by) < street;
        if (is_street) {
          c = downtown ? kDowntownStreet : kStreet;
        } else {
          const int block =
              static_cast<int>(
                  hash(static_cast<int>(std::floor(bx)), static_cast<int>(std::floor(by))) % 13) -
              6;
          c = shade(downtown ? kDowntownBlock : kBlock, block);
        }
      }
      if (info.inside[i] && on_edge(x, y, [&](int ax, int ay) { return info.inside[at(ax, ay)]; }))
        c = kLimit;
      put(map, x, y, c);
    }
  }
}

void paint_councilmap(const PixelInfo& info, const std::vector<Point>& letters, Image& map,
                      std::vector<Label>& labels) {
  for (int y = 0; y < kMapSize; ++y) {
    for (int x = 0; x < kMapSize; ++x) {
      const int i = at(x, y);
      const int d = info.district[i];
      Rgb c = d == 0 ? kCouncilOutside : kDistrictColours[d - 1];
      if (info.ground[i] == kWater)
        c = Rgb{static_cast<uint8_t>(c.r * 0.6), static_cast<uint8_t>(c.g * 0.7),
                static_cast<uint8_t>(std::min(255.0, c.b * 0.8 + 50))};
      if (on_edge(x, y, [&](int ax, int ay) { return info.district[at(ax, ay)]; })) c = kBoundary;
      put(map, x, y, c);
    }
  }
  // Each district lettered in light letters with a dark rim.
  for (size_t d = 1; d <= letters.size(); ++d) {
    const std::string letter(1, static_cast<char>('A' + d - 1));
    int cx, cy;
    grid_pixel(letters[d - 1], cx, cy);
    for (int oy = -2; oy <= 2; ++oy)
      for (int ox = -2; ox <= 2; ++ox)
        centred_text(-1, letter, cx + ox, cy + oy, kLetterScale,
                     [&](int px, int py) { put(map, px, py, kBoundary); });
    labels.push_back(centred_text(-1, letter, cx, cy, kLetterScale,
                                  [&](int px, int py) { put(map, px, py, kLetter); }));
  }
}

// Sets every pixel (inside the city when `city_only`) within half_width of
// the path, looking at each segment's own neighbourhood only.
void stroke(const PixelInfo& info, const Road& road, bool city_only, Mask& mask) {
  for (size_t k = 0; k + 1 < road.path.size(); ++k) {
    const Point a = road.path[k], b = road.path[k + 1];
    const double w = road.half_width;
    int x0 = kMapSize, y0 = kMapSize, x1 = -1, y1 = -1;
    for (Point corner : {Point{std::min(a.x, b.x) - w, std::min(a.y, b.y) - w},
                         Point{std::max(a.x, b.x) + w, std::min(a.y, b.y) - w},
                         Point{std::min(a.x, b.x) - w, std::max(a.y, b.y) + w},
                         Point{std::max(a.x, b.x) + w, std::max(a.y, b.y) + w}}) {
      int px, py;
      grid_pixel(corner, px, py);
      x0 = std::min(x0, px - 1), x1 = std::max(x1, px + 1);
      y0 = std::min(y0, py - 1), y1 = std::max(y1, py + 1);
    }
    for (int y = std::max(y0, 0); y <= std::min(y1, kMapSize - 1); ++y)
      for (int x = std::max(x0, 0); x <= std::min(x1, kMapSize - 1); ++x) {
        const int i = at(x, y);
        if (city_only && !info.inside[i]) continue;
        if (distance_to_segment(a, b, info.grid[i].x, info.grid[i].y) < w) mask.set(x, y);
      }
  }
}

void paint_overlays(const PixelInfo& info, const MapFeatures& features, Atlas& atlas) {
  auto& masks = atlas.overlays;
  // Zip boundaries, the city limit among them.
  for (int y = 0; y < kMapSize; ++y)
    for (int x = 0; x < kMapSize; ++x)
      if (info.inside[at(x, y)] &&
          on_edge(x, y, [&](int ax, int ay) { return info.zip[at(ax, ay)]; }))
        masks[0].set(x, y);
  for (const Road& road : features.major_roads) stroke(info, road, true, masks[2]);
  for (const Road& road : features.highways) stroke(info, road, false, masks[4]);
  // Police stations: a square with a hole; hospitals: a cross.
  for (Point p : features.stations) {
    int px, py;
    grid_pixel(p, px, py);
    for (int dy = -6; dy <= 6; ++dy)
      for (int dx = -4; dx <= 4; ++dx)
        if ((std::abs(dx) > 1 || std::abs(dy) > 2) && on_image(px + dx, py + dy))
          masks[6].set(px + dx, py + dy);
  }
  for (Point p : features.hospitals) {
    int px, py;
    grid_pixel(p, px, py);
    for (int dy = -8; dy <= 8; ++dy)
      for (int dx = -5; dx <= 5; ++dx)
        if ((std::abs(dx) <= 1 || std::abs(dy) <= 1) && on_image(px + dx, py + dy))
          masks[8].set(px + dx, py + dy);
  }
  for (const TextSpot& t : features.texts) {
    Mask& mask = masks[t.layer];
    auto plot = [&mask](int x, int y) {
      if (on_image(x, y)) mask.set(x, y);
    };
    int px, py;
    grid_pixel(t.at, px, py);
    const Scale scale = t.large ? kLarge : kSmall;
    atlas.labels.push_back(
        t.centred ? centred_text(t.layer, t.text, px + t.dx, py - t.dy, scale, plot)
                  : place_text(t.layer, t.text, px + t.dx, kMapSize - 1 - py + t.dy, scale, plot));
  }
}

// The fictional city's roads, sites and labels, placed by hand.
MapFeatures city_features(const City& city) {
  MapFeatures f;
  f.highways = city.highways;
  f.major_roads = city.major_roads;
  f.district_letters = city.district_letters;
  for (const ZipArea& z : city.zips) {
    char code[8];
    std::snprintf(code, sizeof code, "%05u", 76999 + z.index);
    f.texts.push_back(TextSpot{1, code, z.seed, 0, 0, false, true});
  }
  // Major road names twice along each road inside the city.
  for (const Road& road : city.major_roads) {
    const Point a = road.path.front(), b = road.path.back();
    const bool north_south = a.x == b.x;
    for (double spot : {0.3, 0.7}) {
      const Point p = north_south ? Point{a.x, 8 + spot * 50} : Point{8 + spot * 70, a.y};
      if (inside_city(city, p.x, p.y)) f.texts.push_back(road_label(road.name, p, north_south));
    }
  }
  const Point highway_spots[] = {{48.0, 39.0}, {22.9, 47.3}, {13, 31.1},
                                 {40.6, 22},   {21, 15.1},   {64, 18.5}};
  for (size_t h = 0; h < city.highways.size(); ++h)
    f.texts.push_back(highway_label(city.highways[h].name, highway_spots[h]));
  for (const Site& s : city.stations) {
    f.stations.push_back(s.at);
    f.texts.push_back(station_label(s.name, s.at));
  }
  for (const Site& s : city.hospitals) {
    f.hospitals.push_back(s.at);
    f.texts.push_back(hospital_label(s.name, s.at));
  }
  return f;
}

// The codes of each cell by the areas covering most of it (core's rule),
// from the city's own geometry at the cell's sample points.
void fill_cells(const City& city, CellTable& table) {
  CellSample samples[kSamplesPerCell];
  for (int r = 0; r < kGridRows; ++r) {
    for (int c = 0; c < kGridCols; ++c) {
      for (int j = 0; j < kCellSamples; ++j)
        for (int i = 0; i < kCellSamples; ++i) {
          const double x = sample_coordinate(c, i), y = sample_coordinate(r, j);
          CellSample& s = samples[j * kCellSamples + i];
          s.inside = inside_city(city, x, y);
          s.zip = s.inside ? zip_at(city, x, y) : 0;
          s.district = s.inside ? district_at(city, x, y) : 0;
        }
      const CellAreas areas = cell_areas(samples);
      uint32_t(&entry)[2] = table.words[r * kGridCols + c];
      entry[0] =
          make_cell_word(areas.district.first, areas.district.second, areas.district.has_second,
                         areas.zip.first, areas.zip.second, areas.zip.has_second);
      const std::string code = areas.inside ? keymap_code(r, c) : std::string(".\0\0\0", 4);
      entry[1] = make_keymap_word(code.c_str());
    }
  }
}

int write_bytes(const std::filesystem::path& path, const uint8_t* bytes, size_t size) {
  std::FILE* file = std::fopen(path.string().c_str(), "wb");
  if (file == nullptr) return 0;
  const bool ok = std::fwrite(bytes, 1, size, file) == size;
  return std::fclose(file) == 0 && ok ? 1 : 0;
}

}  // namespace

void Mask::set(int x, int y) {
  const size_t i = static_cast<size_t>(y) * kMapSize + static_cast<size_t>(x);
  bytes[i / 8] |= static_cast<uint8_t>(0x80u >> (i % 8));
}

bool Mask::get(int x, int y) const {
  const size_t i = static_cast<size_t>(y) * kMapSize + static_cast<size_t>(x);
  return (bytes[i / 8] >> (7 - i % 8)) & 1u;
}

Atlas::~Atlas() {
  free_image(basemap);
  free_image(councilmap);
}

Point pixel_grid(int px, int py) {
  double row, col;
  texcoord_grid((px + 0.5) / kMapSize, (py + 0.5) / kMapSize, row, col);
  return Point{col, row};
}

void fill_pixel_grid(PixelInfo& info) {
  for (int y = 0; y < kMapSize; ++y)
    for (int x = 0; x < kMapSize; ++x) info.grid[at(x, y)] = pixel_grid(x, y);
}

// Labels beside a marker are centred on its row (the font is 7 rows, drawn
// twice as tall); a road's name under an east-west road starts at the spot.
TextSpot station_label(const std::string& name, Point at) {
  return TextSpot{7, name, at, 7, -kGlyphHeight};
}
TextSpot hospital_label(const std::string& name, Point at) {
  return TextSpot{9, name, at, 8, -kGlyphHeight};
}
TextSpot road_label(const std::string& name, Point at, bool beside) {
  return beside ? TextSpot{3, name, at, 4, -kGlyphHeight} : TextSpot{3, name, at, 0, -18};
}
TextSpot highway_label(const std::string& name, Point at) {
  return TextSpot{5, name, at, 6, -26, true};
}

void paint_atlas(const PixelInfo& info, const MapFeatures& features, Atlas& atlas) {
  alloc_image(kMapSize, kMapSize, 3, atlas.basemap);
  alloc_image(kMapSize, kMapSize, 3, atlas.councilmap);
  paint_basemap(info, atlas.basemap);
  paint_councilmap(info, features.district_letters, atlas.councilmap, atlas.labels);
  paint_overlays(info, features, atlas);
  atlas.zip_pixels.assign(1024, 0);
  atlas.district_pixels.assign(kMaxDistricts + 1, 0);
  for (int i = 0; i < kMapSize * kMapSize; ++i) {
    if (info.zip[i] < atlas.zip_pixels.size()) ++atlas.zip_pixels[info.zip[i]];
    if (info.district[i] <= kMaxDistricts) ++atlas.district_pixels[info.district[i]];
  }
}

void build_atlas(const City& city, Atlas& atlas) {
  auto info = std::make_unique<PixelInfo>();
  fill_pixels(city, *info);
  paint_atlas(*info, city_features(city), atlas);
  fill_cells(city, atlas.cells);
  atlas.georeference = georeference_text(city_georeference());
}

int write_atlas(const Atlas& atlas, const std::string& dir) {
  namespace fs = std::filesystem;
  std::error_code error;
  for (const char* sub : {"maps", "overlays", "selections"})
    fs::create_directories(fs::path(dir) / sub, error);
  if (!write_bmp((fs::path(dir) / kBaseMaps[0]).string().c_str(), atlas.basemap)) return 0;
  if (!write_bmp((fs::path(dir) / kBaseMaps[1]).string().c_str(), atlas.councilmap)) return 0;
  for (int n = 0; n < kOverlayCount; ++n)
    if (!write_bytes(fs::path(dir) / kOverlays[n].file, atlas.overlays[n].bytes.data(), kMaskBytes))
      return 0;
  std::vector<uint8_t> table(kSelectionFileBytes);
  for (int i = 0; i < kCellCount; ++i)
    for (int w = 0; w < 2; ++w)
      for (int b = 0; b < 4; ++b)
        table[i * 8 + w * 4 + b] = static_cast<uint8_t>(atlas.cells.words[i][w] >> (8 * b));
  if (!write_bytes(fs::path(dir) / "selections/default.sel", table.data(), table.size())) return 0;
  for (const auto& [name, text] : {std::pair{kGeoreferenceFile, &atlas.georeference},
                                   std::pair{kAreaTableFile, &atlas.area_table}})
    if (!text->empty() &&
        !write_bytes(fs::path(dir) / name, reinterpret_cast<const uint8_t*>(text->data()),
                     text->size()))
      return 0;
  return 1;
}

}  // namespace valdrin::atlas
