// The city builder at a real city's size: 100 zip areas, 15 districts and
// 10,000 road segments (GeoPackage layers in UTM, written once), from the
// city file to the whole data folder on disk.
#include <benchmark/benchmark.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "layers/city_layers.h"

namespace {

constexpr double kWest = 500000, kSouth = 3300000, kSide = 20000;

// Writes one GeoPackage layer of features made by `add(layer, defn)`.
template <typename Add>
void write_layer(const std::string& path, Add&& add) {
  GDALDatasetUniquePtr data(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
      path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  OGRSpatialReference utm;
  utm.SetFromUserInput("EPSG:32615");
  OGRLayer* layer = data->CreateLayer("features", &utm, wkbUnknown, nullptr);
  OGRFieldDefn field("NAME", OFTString);
  layer->CreateField(&field);
  if (layer->StartTransaction() != OGRERR_NONE) std::abort();
  add(*layer);
  if (layer->CommitTransaction() != OGRERR_NONE) std::abort();
}

void add_polygon(OGRLayer& layer, double x0, double y0, double x1, double y1,
                 const std::string& v) {
  auto ring = new OGRLinearRing;
  for (auto [x, y] : {std::pair{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}) ring->addPoint(x, y);
  ring->closeRings();
  auto polygon = new OGRPolygon;
  polygon->addRingDirectly(ring);
  OGRFeature f(layer.GetLayerDefn());
  f.SetGeometryDirectly(polygon);
  f.SetField("NAME", v.c_str());
  if (layer.CreateFeature(&f) != OGRERR_NONE) std::abort();
}

struct City {
  std::string dir = (std::filesystem::temp_directory_path() / "valdrin-bench-XXXXXX").string();
  City() {
    if (!mkdtemp(dir.data())) std::abort();
    GDALAllRegister();
    write_layer(dir + "/city.gpkg", [](OGRLayer& l) {
      add_polygon(l, kWest, kSouth, kWest + kSide, kSouth + kSide * 0.8, "city");
    });
    write_layer(dir + "/zips.gpkg", [](OGRLayer& l) {  // 10 x 10 zip areas
      for (int i = 0; i < 100; ++i)
        add_polygon(l, kWest + i % 10 * kSide / 10, kSouth + i / 10 * kSide * 0.08,
                    kWest + (i % 10 + 1) * kSide / 10, kSouth + (i / 10 + 1) * kSide * 0.08,
                    std::to_string(77001 + i));
    });
    write_layer(dir + "/districts.gpkg", [](OGRLayer& l) {
      for (int i = 0; i < 15; ++i)
        add_polygon(l, kWest + i * kSide / 15, kSouth, kWest + (i + 1) * kSide / 15,
                    kSouth + kSide * 0.8, std::to_string(i + 1));
    });
    write_layer(dir + "/roads.gpkg", [](OGRLayer& l) {  // 200 streets of 50 segments
      for (int r = 0; r < 200; ++r) {
        auto line = new OGRLineString;
        for (int k = 0; k <= 50; ++k) {
          const double t = k / 50.0, along = r < 100 ? t : (r - 100) / 100.0;
          const double across = r < 100 ? r / 100.0 : t;
          line->addPoint(kWest + across * kSide + 30 * (k % 2), kSouth + along * kSide * 0.8);
        }
        OGRFeature f(l.GetLayerDefn());
        f.SetGeometryDirectly(line);
        f.SetField("NAME", ("STREET " + std::to_string(r)).c_str());
        if (l.CreateFeature(&f) != OGRERR_NONE) std::abort();
      }
    });
    std::ofstream(dir + "/city.toml")
        << "[boundary]\nfile = \"city.gpkg\"\n[zips]\nfile = \"zips.gpkg\"\nattribute = "
           "\"NAME\"\n[districts]\nfile = \"districts.gpkg\"\nattribute = \"NAME\"\n"
           "[roads]\nfile = \"roads.gpkg\"\nattribute = \"NAME\"\n[pages]\nsize = 1000.0\n";
  }
  ~City() { std::filesystem::remove_all(dir); }
};

void BM_FromLayers(benchmark::State& state) {
  static City city;
  for (auto _ : state) {
    valdrin::layers::CityFile file;
    std::string error;
    auto atlas = std::make_unique<valdrin::atlas::Atlas>();
    if (!valdrin::layers::read_city_file(city.dir + "/city.toml", file, error) ||
        !valdrin::layers::build_city_atlas(file, *atlas, error) ||
        !valdrin::layers::write_city_folder(*atlas, city.dir + "/out", error)) {
      state.SkipWithError(error.c_str());
      break;
    }
  }
}
BENCHMARK(BM_FromLayers)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
