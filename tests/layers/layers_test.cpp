// The city builder on small hand-made layers in two coordinate systems (a
// longitude/latitude GeoJSON, a projected GeoPackage), its errors, and the
// sample city's own layers, which must give data/'s cells.
#include <gdal_priv.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "core/area_table.h"
#include "core/cell_coverage.h"
#include "core/georeference.h"
#include "geo/geo.h"
#include "layers/city_layers.h"
#include "tests/core/test_files.h"
#include "tools/atlas/sample_layers.h"
#include "view/texcoords.h"

namespace valdrin::layers {

// The test city's grid: UTM 15 north, cells of 100 m from (500000, 3300000).
constexpr double kWest = 500000, kSouth = 3300000, kCell = 100;

OGRSpatialReference srs(const char* text) {
  OGRSpatialReference s;
  s.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  s.SetFromUserInput(text);
  return s;
}

// A grid rectangle (columns c0..c1, rows r0..r1) or a point, in UTM.
struct Shape {
  double c0, r0, c1, r1;
  std::string value;
};

// Writes shapes (rectangles, or points when c1 < 0) as one layer in `crs`.
void write_layer(const std::string& path, const char* driver, const char* crs,
                 const std::vector<Shape>& shapes, const char* attribute = "NAME") {
  GDALAllRegister();
  GDALDatasetUniquePtr data(GetGDALDriverManager()->GetDriverByName(driver)->Create(
      path.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  OGRSpatialReference utm = srs("EPSG:32615"), out = srs(crs);
  OGRLayer* layer = data->CreateLayer("shapes", &out, wkbUnknown, nullptr);
  for (const char* name : {attribute, "NAME"}) {  // a place name beside the code
    OGRFieldDefn field(name, OFTString);
    if (layer->GetLayerDefn()->GetFieldIndex(name) < 0) layer->CreateField(&field);
  }
  std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&utm, &out));
  for (const Shape& s : shapes) {
    std::unique_ptr<OGRGeometry> g;
    auto x = [](double c) { return kWest + c * kCell; };
    auto y = [](double r) { return kSouth + r * kCell; };
    if (s.c1 < 0) {
      g = std::make_unique<OGRPoint>(x(s.c0), y(s.r0));
    } else {
      auto ring = new OGRLinearRing;
      for (auto [c, r] : {std::pair{s.c0, s.r0}, {s.c1, s.r0}, {s.c1, s.r1}, {s.c0, s.r1}})
        ring->addPoint(x(c), y(r));
      ring->closeRings();
      ring->segmentize(kCell / 4);  // straight in UTM, nearly so in degrees
      auto polygon = std::make_unique<OGRPolygon>();
      polygon->addRingDirectly(ring);
      g = std::move(polygon);
    }
    g->transform(t.get());
    OGRFeature f(layer->GetLayerDefn());
    f.SetGeometryDirectly(g.release());
    f.SetField("NAME", ("Near " + s.value).c_str());
    f.SetField(attribute, s.value.c_str());
    ASSERT_EQ(layer->CreateFeature(&f), OGRERR_NONE);
  }
}

struct CityLayers : ::testing::Test {
  test::ScratchDir dir;
  std::string toml =
      "crs = \"EPSG:32615\"\n[grid]\nwest = 500000.0\nsouth = 3300000.0\n"
      "cell = 100.0\n[boundary]\nfile = \"city.gpkg\"\n"
      "[zips]\nfile = \"zips.geojson\"\nattribute = \"ZIP\"\nname_attribute = "
      "\"NAME\"\n[districts]\nfile = \"districts.gpkg\"\nattribute = \"NAME\"\n"
      "[stations]\nfile = \"stations.geojson\"\nattribute = \"NAME\"\n";
  void SetUp() override {
    write_layer(dir.path("city.gpkg"), "GPKG", "EPSG:32615", {{10, 10, 70, 60, "city"}});
    write_layer(dir.path("zips.geojson"), "GeoJSON", "EPSG:4326",
                {{0, 0, 30, 66, "90012"}, {30, 0, 84, 66, "10001"}}, "ZIP");
    // Column 40 lies 30% in district 3 and 70% in district 12.
    write_layer(dir.path("districts.gpkg"), "GPKG", "EPSG:32615",
                {{0, 0, 40.3, 66, "3"}, {40.3, 0, 84, 66, "12"}});
    write_layer(dir.path("stations.geojson"), "GeoJSON", "EPSG:4326",
                {{25.5, 30.5, -1, -1, "Central"}});
  }
  int build(std::string& error, const std::string& text) {
    test::write_file(dir.path("city.toml"), text);
    CityFile city;
    atlas = std::make_unique<atlas::Atlas>();
    return read_city_file(dir.path("city.toml"), city, error) &&
           build_city_atlas(city, *atlas, error) &&
           write_city_folder(*atlas, dir.path("out"), error);
  }
  std::unique_ptr<atlas::Atlas> atlas;
};

TEST_F(CityLayers, CellsAreasGeoreferenceAndThePlacedPoint) {
  std::string error;
  ASSERT_EQ(build(error, toml), 1) << error;
  const uint32_t(&w)[kCellCount][2] = atlas->cells.words;
  struct Cell {
    int row, col;
    uint32_t zip1, zip2, district1, district2;
    char keymap;
  } cells[] = {{30, 40, 1, 0, 2, 1, '0'},  // the larger district first, the smaller from a tenth
               {30, 41, 1, 0, 2, 0, '0'},  // inside, with no pages: a page of four cells
               {30, 29, 2, 0, 1, 0, '0'},
               {9, 40, 0, 0, 0, 0, '.'},  // outside the boundary: nothing
               {65, 83, 0, 0, 0, 0, '.'}};
  for (const Cell& c : cells) {
    const uint32_t w0 = w[c.row * kGridCols + c.col][0];
    EXPECT_EQ(first_zip(w0) * 10 + (w0 & kSecondZipBit ? second_zip(w0) : 0), c.zip1 * 10 + c.zip2)
        << c.row << "," << c.col;
    EXPECT_EQ(first_council(w0) * 100 + (w0 & kSecondCouncilBit ? second_council(w0) : 0),
              c.district1 * 100 + c.district2)
        << c.row << "," << c.col;
    EXPECT_EQ(static_cast<char>(w[c.row * kGridCols + c.col][1]), c.keymap);
  }
  // Zip codes of another range and their names; districts by number, 3 before 12.
  AreaTable areas;
  ASSERT_EQ(read_area_table(dir.path("out/areas.csv"), areas, error), 1) << error;
  EXPECT_EQ(zip_code(areas, 1), 10001u);
  EXPECT_EQ(zip_code(areas, 2), 90012u);
  EXPECT_EQ(areas.zip_names[2], "Near 90012");
  EXPECT_EQ(areas.district_names[1] + "," + areas.district_names[2], "3,12");
  // The station's longitude/latitude lands in its cell through the written georeference.
  OGRSpatialReference utm = srs("EPSG:32615"), wgs84 = srs("EPSG:4326");
  std::unique_ptr<OGRCoordinateTransformation> t(OGRCreateCoordinateTransformation(&utm, &wgs84));
  double lon = kWest + 25.5 * kCell, lat = kSouth + 30.5 * kCell;
  ASSERT_TRUE(t->Transform(1, &lon, &lat));
  Georeference g;
  ASSERT_EQ(read_georeference(dir.path("out/georeference.toml"), g, error), 1) << error;
  auto to_map = make_lon_lat_to_map(g.crs, error);
  double x, y, col, row;
  ASSERT_TRUE(to_map && lon_lat_to_map(*to_map, lon, lat, x, y));
  ASSERT_EQ(map_to_grid(g, x, y, col, row), 1);
  EXPECT_EQ(static_cast<int>(row) * 100 + static_cast<int>(col), 30 * 100 + 25);
  // Its marker is drawn there on the stations overlay.
  int px, py;
  const TexCoord tc = grid_texcoord(30.5f, 25.5f);
  px = static_cast<int>(tc.s * atlas::kMapSize), py = static_cast<int>(tc.t * atlas::kMapSize);
  EXPECT_TRUE(atlas->overlays[6].get(px - 3, py) && atlas->overlays[6].get(px + 3, py));
  EXPECT_TRUE(std::filesystem::exists(dir.path("out/selections/default.sel")));
}

TEST_F(CityLayers, ErrorsNameTheLayerAndLeaveTheFolderAlone) {
  std::vector<Shape> sixteen;
  for (int d = 0; d < 16; ++d) sixteen.push_back({d * 5.0, 0, d * 5.0 + 5, 66, std::to_string(d)});
  write_layer(dir.path("many.gpkg"), "GPKG", "EPSG:32615", sixteen);
  write_layer(dir.path("far.gpkg"), "GPKG", "EPSG:32615", {{200, 200, 210, 210, "far"}});
  auto replace = [&](const std::string& from, const std::string& to) {
    std::string t = toml;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  const struct {
    std::string toml, message;
  } cases[] = {{replace("\"districts.gpkg\"", "\"many.gpkg\""),
                "districts (many.gpkg): 16 districts; the most a city can have is 15"},
               {replace("\"ZIP\"", "\"ZIPCODE\""),
                "zips (zips.geojson): no attribute ZIPCODE; the layer has "
                "ZIP"},
               {replace("\"districts.gpkg\"", "\"far.gpkg\""),
                "districts (far.gpkg): none of its 1 features lies inside the boundary"},
               {replace("\"city.gpkg\"", "\"missing.shp\""), "boundary (missing.shp): can't read"},
               {replace("EPSG:32615", "EPSG:99999"), "unknown coordinate system \"EPSG:99999\""},
               {replace("[zips]", "[zip]"), "city.toml:8: unknown key zip"},
               {replace("attribute = \"ZIP\"", "atribute = \"ZIP\""),
                "city.toml:10: unknown key zips.atribute"},
               {toml + "[pages]\nsize = 100.0\nfirst = 9990\n", "run past 9999"},
               {"crs = \n", "city.toml:1: "}};
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(build(error, c.toml), 0) << c.message;
    EXPECT_NE(error.find(c.message), std::string::npos) << error;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.path("out")));
  // A folder that is not a data folder is never replaced.
  test::write_file(dir.path("precious"), "keep");
  std::string error;
  auto made = std::make_unique<atlas::Atlas>();
  EXPECT_EQ(write_city_folder(*made, dir.path("precious"), error), 0);
  EXPECT_EQ(test::read_file(dir.path("precious")), "keep");
}

// The sample city's layers (examples/sample-city-layers) regenerate, and give data/'s cell
// table byte for byte.
TEST(SampleCityLayers, RegenerateAndGiveTheShippedCellsAndGeoreference) {
  const std::string root = VALDRIN_SOURCE_DIR;
  CityFile city;
  std::string error;
  test::ScratchDir made;
  ASSERT_EQ(atlas::write_sample_layers(atlas::the_city(), made.root(), error), 1) << error;
  for (const auto& file : std::filesystem::directory_iterator(made.root()))
    EXPECT_TRUE(
        test::read_file(file.path()) ==
        test::read_file(root + "/examples/sample-city-layers/" + file.path().filename().string()))
        << file.path() << ": run valdrin-atlas sample-layers examples/sample-city-layers";
  ASSERT_EQ(read_city_file(root + "/examples/sample-city-layers/city.toml", city, error), 1)
      << error;
  auto atlas = std::make_unique<atlas::Atlas>();
  ASSERT_EQ(build_city_atlas(city, *atlas, error), 1) << error;
  test::ScratchDir dir;
  ASSERT_EQ(write_city_folder(*atlas, dir.path("city"), error), 1) << error;
  for (const char* file : {"selections/default.sel", "georeference.toml"})
    EXPECT_TRUE(test::read_file(dir.path("city/") + file) ==
                test::read_file(root + "/data/" + file))
        << file;
  // A second build replaces the folder whole.
  ASSERT_EQ(write_city_folder(*atlas, dir.path("city"), error), 1) << error;
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root()), {}), 1);
}

}  // namespace valdrin::layers
