// The fictional city exported as the GIS layers an analyst would have: its
// limit, zip areas (nearest seed, clipped by the limit), council districts
// (nearest seed with district E's distance weighted, so its borders are
// circle arcs), water, parks, highways, major roads, police stations and
// hospitals, as GeoJSON in longitude/latitude, with the city file that
// builds a data folder from them.
#include "tools/atlas/sample_layers.h"

#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/georeference.h"
#include "core/whole_file.h"

namespace valdrin::atlas {

namespace {

using Geometry = std::unique_ptr<OGRGeometry>;

// Points along a district border's circle: enough that the polygon stays
// within a few millionths of a cell of the curve. Water and parks, which
// decide no cell's codes, take fewer.
constexpr int kCurvePoints = 4096, kShapePoints = 192;

OGRLinearRing* ring_of(const std::vector<Point>& points) {
  auto* ring = new OGRLinearRing;
  for (Point p : points) ring->addPoint(p.x, p.y);
  ring->closeRings();
  return ring;
}

Geometry polygon_of(const std::vector<Point>& points) {
  auto polygon = std::make_unique<OGRPolygon>();
  polygon->addRingDirectly(ring_of(points));
  return polygon;
}

Geometry ellipse(Point centre, double rx, double ry, int count = kCurvePoints) {
  std::vector<Point> points;
  for (int i = 0; i < count; ++i) {
    const double a = 2 * M_PI * i / count;
    points.push_back(Point{centre.x + rx * std::cos(a), centre.y + ry * std::sin(a)});
  }
  return polygon_of(points);
}

// The part of a convex polygon where a x + b y <= c.
std::vector<Point> clip(const std::vector<Point>& polygon, double a, double b, double c) {
  std::vector<Point> out;
  for (size_t i = 0; i < polygon.size(); ++i) {
    const Point p = polygon[i], q = polygon[(i + 1) % polygon.size()];
    const double fp = a * p.x + b * p.y - c, fq = a * q.x + b * q.y - c;
    if (fp <= 0) out.push_back(p);
    if ((fp < 0) != (fq < 0) && fp != 0 && fq != 0) {
      const double t = fp / (fp - fq);
      out.push_back(Point{p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
    }
  }
  return out;
}

// The points nearer to seeds[k] than to every other seed, within a box round the grid.
std::vector<Point> nearest_cell(const std::vector<Point>& seeds, size_t k) {
  std::vector<Point> cell = {{-20, -20}, {104, -20}, {104, 86}, {-20, 86}};
  const Point s = seeds[k];
  for (size_t j = 0; j < seeds.size(); ++j) {
    if (j == k) continue;
    const Point t = seeds[j];
    // |p - s|^2 <= |p - t|^2  <=>  2 (t - s) . p <= |t|^2 - |s|^2
    cell =
        clip(cell, 2 * (t.x - s.x), 2 * (t.y - s.y), t.x * t.x + t.y * t.y - s.x * s.x - s.y * s.y);
  }
  return cell;
}

// One layer of features, written as GeoJSON in longitude/latitude.
struct LayerOut {
  std::string name;
  std::vector<std::pair<Geometry, std::string>> features;  // geometry, name
};

int write_layer(const LayerOut& layer, const std::string& attribute, const std::string& path,
                OGRCoordinateTransformation& to_lon_lat, std::string& error) {
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GeoJSON");
  std::filesystem::remove(path);
  GDALDatasetUniquePtr data(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!data) {
    error = "can't write " + path;
    return 0;
  }
  OGRSpatialReference wgs84;
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  wgs84.SetFromUserInput("EPSG:4326");
  const char* options[] = {"COORDINATE_PRECISION=11", "WRITE_NAME=NO", nullptr};
  OGRLayer* out =
      data->CreateLayer(layer.name.c_str(), &wgs84, wkbUnknown, const_cast<char**>(options));
  if (out == nullptr) {
    error = "can't write " + path;
    return 0;
  }
  if (!attribute.empty()) {
    OGRFieldDefn field(attribute.c_str(), OFTString);
    out->CreateField(&field);
  }
  for (const auto& [geometry, name] : layer.features) {
    OGRFeature feature(out->GetLayerDefn());
    Geometry g(geometry->clone());
    if (g->transform(&to_lon_lat) != OGRERR_NONE) {
      error = "can't project " + layer.name + " to longitude/latitude";
      return 0;
    }
    feature.SetGeometryDirectly(g.release());
    if (!attribute.empty()) feature.SetField(attribute.c_str(), name.c_str());
    if (out->CreateFeature(&feature) != OGRERR_NONE) {
      error = "can't write " + path;
      return 0;
    }
  }
  data.reset();
  return 1;
}

// Grid coordinates to the city's map (UTM) coordinates, in place.
void to_map(OGRGeometry& g) {
  struct Scale : OGRCoordinateTransformation {
    Georeference ref = city_georeference();
    OGRSpatialReference* GetSourceCS() override { return nullptr; }
    OGRSpatialReference* GetTargetCS() override { return nullptr; }
    int Transform(int n, double* x, double* y, double*, double*, int* ok) override {
      for (int i = 0; i < n; ++i) {
        grid_to_map(ref, x[i], y[i], x[i], y[i]);
        if (ok) ok[i] = TRUE;
      }
      return TRUE;
    }
    OGRCoordinateTransformation* Clone() const override { return new Scale(*this); }
    OGRCoordinateTransformation* GetInverse() const override { return nullptr; }
  } scale;
  g.transform(&scale);
}

std::vector<Point> path_of(const Road& road) { return road.path; }

Geometry line_of(const std::vector<Point>& path) {
  auto line = std::make_unique<OGRLineString>();
  for (Point p : path) line->addPoint(p.x, p.y);
  return line;
}

constexpr const char* kCityFile =
    R"(# The sample city of data/ as GIS layers, made by `valdrin-atlas sample-layers`.
# `valdrin-atlas from-layers examples/sample-city-layers/city.toml OUT_DIR` builds
# a data folder from them whose cells have the zip areas, districts and keymap
# pages of data/.
crs = "EPSG:32615"            # the city's metric system (UTM zone 15 north)

[grid]                        # where data/'s grid lies; without it, over the boundary
west = 260000.0
south = 3285000.0
cell = 250.0

[boundary]
file = "boundary.geojson"

[zips]
file = "zips.geojson"
attribute = "ZIP"

[districts]
file = "districts.geojson"
attribute = "DISTRICT"

[pages]                       # pages of 4 x 4 cells, numbered from 0301
size = 1000.0
first = 301

[highways]
file = "highways.geojson"
attribute = "NAME"

[roads]
file = "roads.geojson"
attribute = "NAME"

[stations]
file = "stations.geojson"
attribute = "NAME"

[hospitals]
file = "hospitals.geojson"
attribute = "NAME"

[water]
file = "water.geojson"

[parks]
file = "parks.geojson"
)";

}  // namespace

int write_sample_layers(const City& city, const std::string& dir, std::string& error) {
  GDALAllRegister();
  CPLSetErrorHandler(CPLQuietErrorHandler);
  std::error_code e;
  std::filesystem::create_directories(dir, e);
  const Geometry limit = polygon_of(city.limit);
  std::vector<std::pair<std::string, LayerOut>> layers;
  auto add = [&](const std::string& file, const std::string& attribute) -> LayerOut& {
    layers.push_back({file + "|" + attribute, LayerOut{file, {}}});
    return layers.back().second;
  };
  add("boundary", "").features.push_back({Geometry(limit->clone()), ""});

  LayerOut& zips = add("zips", "ZIP");
  std::vector<Point> seeds;
  for (const ZipArea& z : city.zips) seeds.push_back(z.seed);
  for (size_t k = 0; k < seeds.size(); ++k) {
    Geometry cell = polygon_of(nearest_cell(seeds, k));
    zips.features.push_back(
        {Geometry(cell->Intersection(limit.get())), std::to_string(76999 + city.zips[k].index)});
  }

  // District E (index 4) wins where 2.2 |p - e|^2 < |p - j|^2 for every
  // other seed j: inside a circle for each. The others share the rest as
  // plain nearest-seed areas.
  constexpr size_t kE = 4;
  constexpr double kWeight = 2.2;
  Geometry e_area(limit->clone());
  const Point es = city.districts[kE];
  std::vector<Point> others;
  for (size_t j = 0; j < city.districts.size(); ++j) {
    if (j == kE) continue;
    const Point t = city.districts[j];
    others.push_back(t);
    const Point c{(kWeight * es.x - t.x) / (kWeight - 1), (kWeight * es.y - t.y) / (kWeight - 1)};
    const double r2 =
        c.x * c.x + c.y * c.y -
        (kWeight * (es.x * es.x + es.y * es.y) - (t.x * t.x + t.y * t.y)) / (kWeight - 1);
    const Geometry disc = ellipse(c, std::sqrt(r2), std::sqrt(r2));
    e_area.reset(e_area->Intersection(disc.get()));
  }
  LayerOut& districts = add("districts", "DISTRICT");
  for (size_t j = 0, k = 0; j < city.districts.size(); ++j) {
    const std::string letter(1, static_cast<char>('A' + j));
    if (j == kE) {
      districts.features.push_back({Geometry(e_area->clone()), letter});
      continue;
    }
    Geometry cell = polygon_of(nearest_cell(others, k++));
    Geometry inside(cell->Intersection(limit.get()));
    districts.features.push_back({Geometry(inside->Difference(e_area.get())), letter});
  }

  LayerOut& water = add("water", "");
  water.features.push_back({Geometry(line_of(city.bayou)->Buffer(city.bayou_half_width, 8)), ""});
  water.features.push_back(
      {ellipse(city.lake_centre, city.lake_radii.x, city.lake_radii.y, kShapePoints), ""});
  LayerOut& parks = add("parks", "");
  for (size_t i = 0; i < city.park_centres.size(); ++i)
    parks.features.push_back(
        {ellipse(city.park_centres[i], city.park_radii[i].x, city.park_radii[i].y, kShapePoints),
         ""});
  LayerOut& highways = add("highways", "NAME");
  for (const Road& r : city.highways) highways.features.push_back({line_of(path_of(r)), r.name});
  LayerOut& roads = add("roads", "NAME");
  for (const Road& r : city.major_roads) roads.features.push_back({line_of(path_of(r)), r.name});
  for (const char* kind : {"stations", "hospitals"}) {
    LayerOut& sites = add(kind, "NAME");
    for (const Site& s : kind[0] == 's' ? city.stations : city.hospitals)
      sites.features.push_back({std::make_unique<OGRPoint>(s.at.x, s.at.y), s.name});
  }

  OGRSpatialReference utm, wgs84;
  utm.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  utm.SetFromUserInput(city_georeference().crs.c_str());
  wgs84.SetFromUserInput("EPSG:4326");
  std::unique_ptr<OGRCoordinateTransformation> to_lon_lat(
      OGRCreateCoordinateTransformation(&utm, &wgs84));
  if (!to_lon_lat) {
    error = "can't project the city to longitude/latitude";
    return 0;
  }
  for (auto& [key, layer] : layers) {
    for (auto& [g, name] : layer.features) to_map(*g);
    const std::string attribute = key.substr(key.find('|') + 1);
    if (!write_layer(layer, attribute, dir + "/" + layer.name + ".geojson", *to_lon_lat, error))
      return 0;
  }
  const std::string path = dir + "/city.toml";
  if (!save_whole_file(path.c_str(),
                       [](std::FILE* f) { return std::fputs(kCityFile, f) >= 0 ? 1 : 0; })) {
    error = "can't write " + path;
    return 0;
  }
  return 1;
}

}  // namespace valdrin::atlas
