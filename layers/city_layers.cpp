// Reading the layers with GDAL/OGR, reprojecting them into the city's
// system, placing the grid, rasterising polygons onto the map's pixels and
// the cells' sample points, and writing the folder whole.
#include "layers/city_layers.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "core/area_table.h"
#include "core/cell_coverage.h"
#include "core/georeference.h"
#include "view/texcoords.h"

namespace valdrin::layers {

using atlas::Point;

namespace {

// The side of a page, in cells, when the city file names no pages.
constexpr int kDefaultPageCells = 4;

using Ring = std::vector<Point>;

// One feature of a layer: its geometry in the city's system and its names.
struct Feature {
  std::unique_ptr<OGRGeometry> geometry;
  std::string value;  // the layer's naming attribute, as text
  std::string name;   // zips: the place name
};

// A feature in grid coordinates: polygon rings (even-odd), lines, points.
struct Shapes {
  std::vector<Ring> rings;
  std::vector<Ring> lines;
  std::vector<Point> points;
};

void start_gdal() {
  static std::once_flag once;
  std::call_once(once, [] {
    GDALAllRegister();
    CPLSetErrorHandler(CPLQuietErrorHandler);  // faults come back as messages
  });
}

std::string layer_name(const LayerFile& layer_file) {
  return layer_file.role + " (" + std::filesystem::path(layer_file.file).filename().string() + ")";
}

// A coordinate system from "EPSG:NNNN", a PROJ string or WKT, longitude or
// easting first whatever its definition says.
int make_srs(const std::string& text, OGRSpatialReference& srs) {
  srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return srs.SetFromUserInput(text.c_str()) == OGRERR_NONE ? 1 : 0;
}

// Opens one layer, checks its attributes and reads every feature into the
// city's system; `to_city` is null for the boundary, whose system decides
// the city's (then `layer_srs` returns it). Return 1; 0 with `error`.
int read_layer(const LayerFile& layer_file, const OGRSpatialReference* city_srs,
               std::vector<Feature>& out, OGRSpatialReference& layer_srs, std::string& error) {
  const std::string who = layer_name(layer_file);
  GDALDatasetUniquePtr data(
      GDALDataset::Open(layer_file.file.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!data) {
    error = who + ": can't read " + layer_file.file + " as a GIS layer";
    return 0;
  }
  OGRLayer* layer = layer_file.layer.empty()
                        ? (data->GetLayerCount() > 0 ? data->GetLayer(0) : nullptr)
                        : data->GetLayerByName(layer_file.layer.c_str());
  if (layer == nullptr) {
    std::string names;
    for (auto* l : data->GetLayers())
      names += (names.empty() ? "" : ", ") + std::string(l->GetName());
    error = who + ": no layer " + (layer_file.layer.empty() ? "" : layer_file.layer + " ") + "in " +
            layer_file.file + (names.empty() ? "" : "; it has " + names);
    return 0;
  }
  if (!layer_file.where.empty() &&
      layer->SetAttributeFilter(layer_file.where.c_str()) != OGRERR_NONE) {
    error = who + ": bad where \"" + layer_file.where + "\": " + CPLGetLastErrorMsg();
    return 0;
  }
  OGRFeatureDefn* fields = layer->GetLayerDefn();
  int field[2] = {-1, -1};
  const std::string* wanted[2] = {&layer_file.attribute, &layer_file.name_attribute};
  for (int k = 0; k < 2; ++k) {
    if (wanted[k]->empty()) continue;
    field[k] = fields->GetFieldIndex(wanted[k]->c_str());
    if (field[k] < 0) {
      std::string names;
      for (int i = 0; i < fields->GetFieldCount(); ++i)
        names += (i ? ", " : "") + std::string(fields->GetFieldDefn(i)->GetNameRef());
      error = who + ": no attribute " + *wanted[k] + "; the layer has " +
              (names.empty() ? "no attributes" : names);
      return 0;
    }
  }
  layer_srs.Clear();
  if (!layer_file.crs.empty()) {
    if (!make_srs(layer_file.crs, layer_srs)) {
      error = who + ": unknown coordinate system \"" + layer_file.crs + "\"";
      return 0;
    }
  } else if (const OGRSpatialReference* own = layer->GetSpatialRef()) {
    layer_srs = *own;
    layer_srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  } else {
    error = who + ": the layer names no coordinate system; give it with crs = \"EPSG:...\" in [" +
            layer_file.role + "]";
    return 0;
  }
  std::unique_ptr<OGRCoordinateTransformation> to_city;
  if (city_srs != nullptr) {
    to_city.reset(OGRCreateCoordinateTransformation(&layer_srs, city_srs));
    if (!to_city) {
      error = who + ": can't reproject the layer into the city's system: " + CPLGetLastErrorMsg();
      return 0;
    }
  }
  out.clear();
  for (auto& feature : *layer) {
    std::unique_ptr<OGRGeometry> g(feature->StealGeometry());
    if (!g || g->IsEmpty()) continue;
    if (to_city && g->transform(to_city.get()) != OGRERR_NONE) {
      error = who + ": feature " + std::to_string(feature->GetFID()) +
              " can't be reprojected into the city's system";
      return 0;
    }
    Feature f;
    f.geometry = std::move(g);
    if (field[0] >= 0) f.value = feature->GetFieldAsString(field[0]);
    if (field[1] >= 0) f.name = feature->GetFieldAsString(field[1]);
    out.push_back(std::move(f));
  }
  return 1;
}

// The UTM zone of the boundary's centre, as "EPSG:326ZZ" (north) or 327ZZ.
int utm_of(const OGREnvelope& box, const OGRSpatialReference& srs, std::string& crs) {
  OGRSpatialReference wgs84;
  make_srs("EPSG:4326", wgs84);
  std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&srs, &wgs84));
  double x = (box.MinX + box.MaxX) / 2, y = (box.MinY + box.MaxY) / 2;
  if (!t || !t->Transform(1, &x, &y) || !std::isfinite(x) || !std::isfinite(y)) return 0;
  const int zone = std::clamp(static_cast<int>(std::floor((x + 180) / 6)) + 1, 1, 60);
  crs = "EPSG:" + std::to_string((y >= 0 ? 32600 : 32700) + zone);
  return 1;
}

void collect(const OGRGeometry* g, const Georeference& ref, Shapes& out) {
  auto grid = [&ref](double x, double y) {
    Point p;
    map_to_grid(ref, x, y, p.x, p.y);
    return p;
  };
  auto line = [&](const OGRSimpleCurve* c) {
    Ring r;
    for (int i = 0; i < c->getNumPoints(); ++i) r.push_back(grid(c->getX(i), c->getY(i)));
    return r;
  };
  switch (wkbFlatten(g->getGeometryType())) {
    case wkbPoint: out.points.push_back(grid(g->toPoint()->getX(), g->toPoint()->getY())); break;
    case wkbLineString:
    case wkbLinearRing: out.lines.push_back(line(g->toSimpleCurve())); break;
    case wkbPolygon:
      for (const OGRLinearRing* ring : *g->toPolygon()) out.rings.push_back(line(ring));
      break;
    case wkbMultiPoint:
    case wkbMultiLineString:
    case wkbMultiPolygon:
    case wkbGeometryCollection:
      for (const OGRGeometry* part : *g->toGeometryCollection()) collect(part, ref, out);
      break;
    default:
      if (g->hasCurveGeometry()) {
        std::unique_ptr<OGRGeometry> flat(g->getLinearGeometry());
        if (flat) collect(flat.get(), ref, out);
      }
  }
}

// Calls set(index) for every point (i + 0.5, j + 0.5) of a w x h lattice
// (index j * w + i) inside the rings by the even-odd rule, the rings' points
// taken to lattice units by `to_lattice`: one scan line per lattice row.
template <typename ToLattice, typename Set>
void fill_rings(const std::vector<Ring>& rings, int w, int h, ToLattice&& to_lattice, Set&& set) {
  std::vector<std::pair<Point, Point>> edges;
  double low = 1e300, high = -1e300;
  for (const Ring& ring : rings)
    for (size_t k = 0; k < ring.size(); ++k) {
      const Point a = to_lattice(ring[k]), b = to_lattice(ring[(k + 1) % ring.size()]);
      edges.push_back({a, b});
      low = std::min(low, a.y), high = std::max(high, a.y);
    }
  if (edges.empty()) return;
  const int j0 = std::max(0, static_cast<int>(std::ceil(low - 0.5)));
  const int j1 = std::min(h - 1, static_cast<int>(std::floor(high - 0.5)));
  std::vector<double> xs;
  for (int j = j0; j <= j1; ++j) {
    const double y = j + 0.5;
    xs.clear();
    for (const auto& [a, b] : edges)
      if ((a.y > y) != (b.y > y)) xs.push_back(a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y));
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      const int i0 = std::max(0, static_cast<int>(std::ceil(xs[k] - 0.5)));
      const int i1 = std::min(w - 1, static_cast<int>(std::ceil(xs[k + 1] - 0.5)) - 1);
      for (int i = i0; i <= i1; ++i) set(j * w + i);
    }
  }
}

constexpr int kSampleCols = kGridCols * kCellSamples, kSampleRows = kGridRows * kCellSamples;

// What lies under every cell sample point, point (i, j) at j * 840 + i.
struct Samples {
  std::vector<uint8_t> inside = std::vector<uint8_t>(kSampleCols * kSampleRows);
  std::vector<uint16_t> zip = std::vector<uint16_t>(kSampleCols * kSampleRows);
  std::vector<uint8_t> district = std::vector<uint8_t>(kSampleCols * kSampleRows);
  std::vector<uint32_t> page = std::vector<uint32_t>(kSampleCols * kSampleRows);
};

Point sample_point(int index) {
  return Point{(index % kSampleCols + 0.5) / kCellSamples,
               (index / kSampleCols + 0.5) / kCellSamples};
}

// Paints one polygon layer onto the pixels and the samples: set_pixel(i)
// and set_sample(i) for every point inside a feature, feature by feature.
template <typename SetPixel, typename SetSample>
void rasterise(const std::vector<Shapes>& shapes, SetPixel&& set_pixel, SetSample&& set_sample) {
  auto to_pixel = [](Point p) {
    const TexCoord tc = grid_texcoord(static_cast<float>(p.y), static_cast<float>(p.x));
    return Point{tc.s * double{atlas::kMapSize}, tc.t * double{atlas::kMapSize}};
  };
  auto to_sample = [](Point p) {
    return Point{(p.x - kSampleShift) * kCellSamples, (p.y - kSampleShift) * kCellSamples};
  };
  for (size_t f = 0; f < shapes.size(); ++f) {
    fill_rings(shapes[f].rings, atlas::kMapSize, atlas::kMapSize, to_pixel,
               [&](int i) { set_pixel(f, i); });
    fill_rings(shapes[f].rings, kSampleCols, kSampleRows, to_sample,
               [&](int i) { set_sample(f, i); });
  }
}

// Numbers the distinct values 1 up: numerically when all are whole
// numbers, else in text order.
std::map<std::string, uint32_t> number_values(const std::vector<Feature>& features) {
  std::vector<std::string> values;
  for (const Feature& f : features) values.push_back(f.value);
  std::sort(values.begin(), values.end());
  values.erase(std::unique(values.begin(), values.end()), values.end());
  const bool numeric = std::all_of(values.begin(), values.end(), [](const std::string& v) {
    return !v.empty() && v.size() < 10 && v.find_first_not_of("0123456789") == std::string::npos;
  });
  if (numeric)
    std::stable_sort(values.begin(), values.end(), [](const std::string& a, const std::string& b) {
      return std::stoul(a) < std::stoul(b);
    });
  std::map<std::string, uint32_t> index;
  for (size_t i = 0; i < values.size(); ++i) index[values[i]] = static_cast<uint32_t>(i + 1);
  return index;
}

// Where an area's label goes: the middle of its sample points, or the point
// of the area nearest to it when the middle lies outside (a crescent).
std::vector<Point> label_spots(const std::vector<uint32_t>& area,
                               const std::vector<uint8_t>& inside, size_t count) {
  std::vector<double> sx(count + 1), sy(count + 1), n(count + 1);
  for (size_t i = 0; i < area.size(); ++i)
    if (inside[i] && area[i] != 0) {
      const Point p = sample_point(static_cast<int>(i));
      sx[area[i]] += p.x, sy[area[i]] += p.y, n[area[i]] += 1;
    }
  std::vector<Point> spots(count + 1);
  std::vector<double> best(count + 1, 1e300);
  for (size_t a = 1; a <= count; ++a)
    if (n[a] > 0) spots[a] = Point{sx[a] / n[a], sy[a] / n[a]};
  for (size_t i = 0; i < area.size(); ++i) {
    if (!inside[i] || area[i] == 0) continue;
    const Point p = sample_point(static_cast<int>(i)),
                c{sx[area[i]] / n[area[i]], sy[area[i]] / n[area[i]]};
    const double d = (p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y);
    if (d < best[area[i]]) best[area[i]] = d, spots[area[i]] = p;
  }
  return spots;
}

double path_length(const Ring& path) {
  double length = 0;
  for (size_t k = 0; k + 1 < path.size(); ++k)
    length += std::hypot(path[k + 1].x - path[k].x, path[k + 1].y - path[k].y);
  return length;
}

// The point half way along a path.
Point middle_of(const Ring& path) {
  double left = path_length(path) / 2;
  for (size_t k = 0; k + 1 < path.size(); ++k) {
    const double step = std::hypot(path[k + 1].x - path[k].x, path[k + 1].y - path[k].y);
    if (step >= left && step > 0) {
      const double f = left / step;
      return Point{path[k].x + f * (path[k + 1].x - path[k].x),
                   path[k].y + f * (path[k + 1].y - path[k].y)};
    }
    left -= step;
  }
  return path.front();
}

bool sample_inside(const Samples& s, Point p) {
  const int i = static_cast<int>(std::floor((p.x - kSampleShift) * kCellSamples)),
            j = static_cast<int>(std::floor((p.y - kSampleShift) * kCellSamples));
  return i >= 0 && j >= 0 && i < kSampleCols && j < kSampleRows && s.inside[j * kSampleCols + i];
}

// Roads of one layer and a label on the longest piece of each name that
// lies inside the city.
void add_roads(const std::vector<Feature>& features, const std::vector<Shapes>& shapes,
               double half_width, bool highway, const Samples& s, std::vector<atlas::Road>& roads,
               std::vector<atlas::TextSpot>& texts) {
  std::map<std::string, const Ring*> longest;
  for (size_t f = 0; f < shapes.size(); ++f)
    for (const Ring& line : shapes[f].lines) {
      if (line.size() < 2) continue;
      roads.push_back(atlas::Road{features[f].value, line, half_width});
      const std::string& name = features[f].value;
      if (name.empty() || !sample_inside(s, middle_of(line))) continue;
      const Ring*& best = longest[name];
      if (best == nullptr || path_length(line) > path_length(*best)) best = &line;
    }
  for (const auto& [name, line] : longest) {
    const Point at = middle_of(*line);
    const bool beside = std::abs(line->back().y - line->front().y) * 1.5 >
                        std::abs(line->back().x - line->front().x);
    texts.push_back(highway ? atlas::highway_label(name, at) : atlas::road_label(name, at, beside));
  }
}

std::string upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

int build_city_atlas(const CityFile& city, atlas::Atlas& out, std::string& error) {
  start_gdal();
  // The boundary first: its extent places the grid, its centre the system.
  const LayerFile& boundary_spec = city.layers.at("boundary");
  std::vector<Feature> boundary;
  OGRSpatialReference boundary_srs;
  if (!read_layer(boundary_spec, nullptr, boundary, boundary_srs, error)) return 0;
  OGREnvelope box;
  for (const Feature& f : boundary) {
    OGREnvelope e;
    f.geometry->getEnvelope(&e);
    box.Merge(e);
  }
  if (boundary.empty() || !box.IsInit()) {
    error = layer_name(boundary_spec) + ": the layer has no features";
    return 0;
  }
  Georeference ref;
  ref.crs = city.crs;
  if (ref.crs.empty() && !utm_of(box, boundary_srs, ref.crs)) {
    error = layer_name(boundary_spec) + ": can't find the UTM zone of the boundary's centre";
    return 0;
  }
  OGRSpatialReference city_srs;
  if (!make_srs(ref.crs, city_srs)) {
    error = city.path + ": unknown coordinate system \"" + ref.crs + "\"";
    return 0;
  }
  if (!read_layer(boundary_spec, &city_srs, boundary, boundary_srs, error)) return 0;
  box = OGREnvelope();
  for (const Feature& f : boundary) {
    OGREnvelope e;
    f.geometry->getEnvelope(&e);
    box.Merge(e);
  }
  double cell = city.grid_cell;
  if (cell > 0) {
    ref.west = city.grid_west, ref.south = city.grid_south;
  } else {
    cell = std::max((box.MaxX - box.MinX) / kGridCols, (box.MaxY - box.MinY) / kGridRows);
    if (!(cell > 0)) {
      error = layer_name(boundary_spec) + ": the boundary has no area";
      return 0;
    }
    ref.west = (box.MinX + box.MaxX) / 2 - cell * kGridCols / 2;
    ref.south = (box.MinY + box.MaxY) / 2 - cell * kGridRows / 2;
  }
  ref.east = ref.west + cell * kGridCols;
  ref.north = ref.south + cell * kGridRows;
  ref.first_row_north = false;  // row 0 is the south edge, as the maps show it

  // Every other layer, in the city's system and on the grid.
  std::map<std::string, std::vector<Feature>> features;
  std::map<std::string, std::vector<Shapes>> shapes;
  features["boundary"] = std::move(boundary);
  for (const auto& [role, layer_file] : city.layers) {
    OGRSpatialReference srs;
    if (role != "boundary") {
      if (!read_layer(layer_file, &city_srs, features[role], srs, error)) return 0;
      bool inside = false;
      for (const Feature& f : features[role])
        for (const Feature& b : features["boundary"])
          if (!inside && f.geometry->Intersects(b.geometry.get())) inside = true;
      if (!inside) {
        error = layer_name(layer_file) + ": none of its " + std::to_string(features[role].size()) +
                " features lies inside the boundary";
        return 0;
      }
    }
    for (const Feature& f : features[role]) {
      shapes[role].emplace_back();
      collect(f.geometry.get(), ref, shapes[role].back());
    }
  }

  // Zip areas and districts numbered; the Area table names them.
  AreaTable areas;
  std::map<std::string, uint32_t> zip_index, district_index;
  if (features.count("zips")) {
    zip_index = number_values(features["zips"]);
    for (const auto& [code, i] : zip_index)
      if (code.empty() || code.size() > 9 ||
          code.find_first_not_of("0123456789") != std::string::npos) {
        error = layer_name(city.layers.at("zips")) + ": zip code \"" + code + "\" is not a number";
        return 0;
      }
    if (zip_index.size() > kMaxZips) {
      error = layer_name(city.layers.at("zips")) + ": " + std::to_string(zip_index.size()) +
              " zip areas; the most a city can have is " + std::to_string(kMaxZips);
      return 0;
    }
    areas.zip_codes.assign(zip_index.size() + 1, 0);
    areas.zip_names.assign(zip_index.size() + 1, "");
    for (const auto& [code, i] : zip_index)
      areas.zip_codes[i] = static_cast<uint32_t>(std::stoul(code));
    for (const Feature& f : features["zips"])
      if (areas.zip_names[zip_index[f.value]].empty()) areas.zip_names[zip_index[f.value]] = f.name;
  }
  if (features.count("districts")) {
    district_index = number_values(features["districts"]);
    if (district_index.size() > static_cast<size_t>(atlas::kMaxDistricts)) {
      error = layer_name(city.layers.at("districts")) + ": " +
              std::to_string(district_index.size()) +
              " districts; the most a city can have is 15 (A to O)";
      return 0;
    }
    for (const auto& [name, i] : district_index) areas.district_names[i] = name;
  }
  std::vector<std::string> page_codes = {""};
  std::map<std::string, uint32_t> page_index;
  if (features.count("pages")) {
    for (const Feature& f : features["pages"]) {
      std::string code = f.value;
      if (code.size() < 4 && !code.empty() &&
          code.find_first_not_of("0123456789") == std::string::npos)
        code.insert(0, 4 - code.size(), '0');
      if (code.empty() || code.size() > 4 || code[0] == '.') {
        error = layer_name(city.layers.at("pages")) + ": page code \"" + f.value +
                "\" is not one to four characters";
        return 0;
      }
      if (page_index.emplace(code, page_codes.size()).second) page_codes.push_back(code);
    }
  }

  // Pixels and samples.
  auto info = std::make_unique<atlas::PixelInfo>();
  auto samples = std::make_unique<Samples>();
  atlas::fill_pixel_grid(*info);
  auto paint = [&](const std::string& role, auto&& pixel, auto&& sample) {
    if (shapes.count(role)) rasterise(shapes[role], pixel, sample);
  };
  paint(
      "boundary", [&](size_t, int i) { info->inside[i] = 1; },
      [&](size_t, int i) { samples->inside[i] = 1; });
  paint(
      "parks", [&](size_t, int i) { info->ground[i] = atlas::kPark; }, [](size_t, int) {});
  paint(
      "water", [&](size_t, int i) { info->ground[i] = atlas::kWater; }, [](size_t, int) {});
  auto index_of = [&](const std::string& role, std::map<std::string, uint32_t>& index, size_t f) {
    return index[features[role][f].value];
  };
  paint(
      "zips",
      [&](size_t f, int i) {
        if (info->inside[i]) info->zip[i] = static_cast<uint16_t>(index_of("zips", zip_index, f));
      },
      [&](size_t f, int i) {
        samples->zip[i] = static_cast<uint16_t>(index_of("zips", zip_index, f));
      });
  paint(
      "districts",
      [&](size_t f, int i) {
        if (info->inside[i])
          info->district[i] = static_cast<uint8_t>(index_of("districts", district_index, f));
      },
      [&](size_t f, int i) {
        samples->district[i] = static_cast<uint8_t>(index_of("districts", district_index, f));
      });
  paint(
      "pages", [](size_t, int) {},
      [&](size_t f, int i) {
        std::string code = features["pages"][f].value;
        if (code.size() < 4) code.insert(0, 4 - code.size(), '0');
        samples->page[i] = page_index[code];
      });
  // Without pages of its own the city is paged in squares of four cells, as
  // the sample city is: every cell inside it then has a page, and "." stays
  // the mark of a cell outside, which the records import relies on.
  const double page_size = city.page_size > 0        ? city.page_size
                           : features.count("pages") ? 0
                                                     : kDefaultPageCells * cell;
  if (page_size > 0) {
    // A page grid from the grid's north-west corner, numbered across.
    const double pages = page_size / cell;
    const int across = static_cast<int>(std::ceil(kGridCols / pages - 1e-9));
    const int down = static_cast<int>(std::ceil(kGridRows / pages - 1e-9));
    if (city.first_page + across * down - 1 > 9999) {
      error = city.path + ": pages.size: " + std::to_string(across * down) + " pages from " +
              std::to_string(city.first_page) + " run past 9999";
      return 0;
    }
    for (int n = 0; n < across * down; ++n) {
      char code[8];
      std::snprintf(code, sizeof code, "%04d", city.first_page + n);
      page_codes.push_back(code);
    }
    for (int i = 0; i < kSampleCols * kSampleRows; ++i) {
      const Point p = sample_point(i);
      const int row = static_cast<int>(std::floor((kGridRows - p.y) / pages));
      const int col = static_cast<int>(std::floor(p.x / pages));
      samples->page[i] = static_cast<uint32_t>(1 + row * across + col);
    }
  }

  // The features drawn over the areas, and their labels.
  atlas::MapFeatures drawn;
  std::vector<uint32_t> zip_of(samples->zip.begin(), samples->zip.end()),
      district_of(samples->district.begin(), samples->district.end());
  const std::vector<Point> zip_spots = label_spots(zip_of, samples->inside, zip_index.size());
  for (const auto& [code, i] : zip_index) {
    char text[16];
    std::snprintf(text, sizeof text, "%05u", areas.zip_codes[i]);
    if (zip_spots[i].x != 0 || zip_spots[i].y != 0)
      drawn.texts.push_back(atlas::TextSpot{1, text, zip_spots[i], 0, 0, false, true});
  }
  const std::vector<Point> district_spots =
      label_spots(district_of, samples->inside, district_index.size());
  drawn.district_letters.assign(district_spots.begin() + 1, district_spots.end());
  if (shapes.count("roads"))
    add_roads(features["roads"], shapes["roads"], 0.09, false, *samples, drawn.major_roads,
              drawn.texts);
  if (shapes.count("highways"))
    add_roads(features["highways"], shapes["highways"], 0.22, true, *samples, drawn.highways,
              drawn.texts);
  for (const char* role : {"stations", "hospitals"}) {
    if (!shapes.count(role)) continue;
    for (size_t f = 0; f < shapes[role].size(); ++f)
      for (Point p : shapes[role][f].points) {
        (role[0] == 's' ? drawn.stations : drawn.hospitals).push_back(p);
        const std::string name = upper(features[role][f].value);
        if (!name.empty())
          drawn.texts.push_back(role[0] == 's' ? atlas::station_label(name, p)
                                               : atlas::hospital_label(name, p));
      }
  }
  atlas::paint_atlas(*info, drawn, out);

  // The cell table by core's rule, from the same samples.
  CellSample cell_samples[kSamplesPerCell];
  for (int r = 0; r < kGridRows; ++r)
    for (int c = 0; c < kGridCols; ++c) {
      for (int j = 0; j < kCellSamples; ++j)
        for (int i = 0; i < kCellSamples; ++i) {
          const int k = (r * kCellSamples + j) * kSampleCols + c * kCellSamples + i;
          cell_samples[j * kCellSamples + i] = CellSample{samples->inside[k] != 0, samples->zip[k],
                                                          samples->district[k], samples->page[k]};
        }
      const CellAreas a = cell_areas(cell_samples);
      uint32_t(&entry)[2] = out.cells.words[r * kGridCols + c];
      entry[0] = make_cell_word(a.district.first, a.district.second, a.district.has_second,
                                a.zip.first, a.zip.second, a.zip.has_second);
      char code[4] = {'.', 0, 0, 0};
      if (a.inside && a.page != 0)
        for (size_t k = 0; k < 4; ++k)
          code[k] = k < page_codes[a.page].size() ? page_codes[a.page][k] : 0;
      entry[1] = make_keymap_word(code);
    }
  out.georeference = georeference_text(ref);
  out.area_table = area_table_text(areas);
  return 1;
}

int write_city_folder(const atlas::Atlas& atlas, const std::string& out_dir, std::string& error) {
  namespace fs = std::filesystem;
  std::error_code e;
  const fs::path target = fs::absolute(fs::path(out_dir), e).lexically_normal();
  const fs::path parent =
      target.has_filename() ? target.parent_path() : target.parent_path().parent_path();
  const fs::path final_path = target.has_filename() ? target : target.parent_path();
  if (fs::exists(final_path, e)) {
    const bool data_folder = fs::exists(final_path / "selections/default.sel", e);
    if (!fs::is_directory(final_path, e) || (!data_folder && !fs::is_empty(final_path, e))) {
      error = out_dir + " exists and is not a data folder; not replacing it";
      return 0;
    }
  }
  std::string pattern = (parent / ("." + final_path.filename().string() + ".new-XXXXXX")).string();
  if (mkdtemp(pattern.data()) == nullptr) {
    error = "can't make a folder beside " + out_dir;
    return 0;
  }
  const fs::path fresh = pattern;
  if (!atlas::write_atlas(atlas, fresh.string())) {
    fs::remove_all(fresh, e);
    error = "can't write the data folder beside " + out_dir;
    return 0;
  }
  fs::permissions(fresh,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec,
                  e);
  const fs::path old = fresh.string() + ".old";
  const bool had = fs::exists(final_path, e);
  if (had) fs::rename(final_path, old, e);
  if (!e) fs::rename(fresh, final_path, e);
  if (e) {
    if (had && fs::exists(old)) fs::rename(old, final_path, e);
    fs::remove_all(fresh, e);
    error = "can't put the new data folder in place of " + out_dir;
    return 0;
  }
  fs::remove_all(old, e);
  return 1;
}

}  // namespace valdrin::layers
