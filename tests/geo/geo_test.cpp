// Placing map points on the grid: the georeference file read back as
// written, its faults named by key and line, the grid's half-open cells,
// longitude/latitude through PROJ; and the Area table's file and rule.
#include "geo/geo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>

#include "core/area_table.h"

namespace valdrin {
namespace {

std::string scratch(const std::string& name, const std::string& text) {
  const std::string path = ::testing::TempDir() + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}

Georeference city(bool first_row_north) {
  return Georeference{"EPSG:32615",      1000,           1000 + 84 * 250.0, 5000,
                      5000 + 66 * 250.0, first_row_north};
}

TEST(Georeference, CellsAreHalfOpenAndRowsFollowTheFirstRowSide) {
  const struct {
    bool north;
    double x, y;
    int on_grid;
    int col, row;
  } cases[] = {
      {false, 1000, 5000, 1, 0, 0},           // south-west corner: the first cell
      {false, 1250, 5250, 1, 1, 1},           // a corner between four cells: the higher ones
      {false, 1249.999, 5249.999, 1, 0, 0},   //
      {false, 22000, 5000, 0, 84, 0},         // the east edge lies outside
      {false, 999.9, 6000, 0, -1, 4},         // west of the grid
      {false, 21999.9, 21499.9, 1, 83, 65},   // the last cell
      {true, 1000, 21500, 1, 0, 0},           // north first: row 0 at the north edge
      {true, 1000, 5000, 0, 0, 66},           // and the south edge outside
      {true, 5000, 21250, 1, 16, 1},          //
      {false, std::nan(""), 5000, 0, -1, 0},  // not a number
  };
  for (const auto& c : cases) {
    const Georeference g = city(c.north);
    double col, row;
    EXPECT_EQ(map_to_grid(g, c.x, c.y, col, row), c.on_grid) << c.x << " " << c.y;
    if (!std::isnan(c.x)) {
      EXPECT_EQ(static_cast<int>(std::floor(col)), c.col) << c.x;
      EXPECT_EQ(static_cast<int>(std::floor(row)), c.row) << c.y;
      double x, y;
      grid_to_map(g, col, row, x, y);
      EXPECT_NEAR(x, c.x, 1e-6);
      EXPECT_NEAR(y, c.y, 1e-6);
    }
  }
}

TEST(Georeference, FileReadsBackAsWrittenAndNamesItsFaults) {
  Georeference g = city(true);
  g.west = 1000.125;
  g.crs = "+proj=utm +zone=15 +datum=WGS84";
  Georeference back;
  std::string error;
  ASSERT_EQ(read_georeference(scratch("g.toml", georeference_text(g)), back, error), 1) << error;
  EXPECT_EQ(back.crs, g.crs);
  EXPECT_EQ(back.west, g.west);
  EXPECT_EQ(back.north, g.north);
  EXPECT_TRUE(back.first_row_north);

  const struct {
    const char* text;
    const char* message;
  } faults[] = {
      {"crs = \"EPSG:32615\"\nwest = 0\neast = 1\nsouth = 0\nnorth = \"x\"\nfirst_row = "
       "\"south\"\n",
       "bad.toml:5: north: expected a number"},
      {"crs = \"EPSG:32615\"\nwest = 0\neast = 1\nsouth = 0\nnorth = 1\nfirst_row = \"up\"\n",
       "bad.toml:6: first_row: expected \"south\" or \"north\""},
      {"west = 0\n", "bad.toml: crs: expected"},
      {"crs = \"EPSG:32615\"\nwest = 5\neast = 1\nsouth = 0\nnorth = 1\nfirst_row = \"south\"\n",
       "bad.toml: the grid's edges must have east above west"},
      {"crs = [\n", "bad.toml:1: "},
  };
  for (const auto& f : faults) {
    back = city(false);
    error.clear();
    EXPECT_EQ(read_georeference(scratch("bad.toml", f.text), back, error), 0);
    EXPECT_NE(error.find(f.message), std::string::npos) << error;
    EXPECT_EQ(back.west, 1000);  // untouched
  }
}

TEST(Georeference, LongitudeAndLatitudeGoThroughProjLongitudeFirst) {
  std::string error;
  LonLatToMapPtr utm = make_lon_lat_to_map("EPSG:32615", error);
  ASSERT_TRUE(utm) << error;
  double x, y;
  // Zone 15's central meridian is 93 degrees west; the false easting is 500 km.
  ASSERT_EQ(lon_lat_to_map(*utm, -93, 0, x, y), 1);
  EXPECT_NEAR(x, 500000, 1e-6);
  EXPECT_NEAR(y, 0, 1e-6);
  ASSERT_EQ(lon_lat_to_map(*utm, -93, 30, x, y), 1);
  EXPECT_NEAR(y, 3318785.353, 1e-3);  // as cs2cs gives it
  double lon, lat;  // and back
  ASSERT_EQ(map_to_lon_lat(*utm, x, y, lon, lat), 1);
  EXPECT_NEAR(lon, -93, 1e-9);
  EXPECT_NEAR(lat, 30, 1e-9);
  EXPECT_EQ(lon_lat_to_map(*utm, -93, 91, x, y), 0);
  EXPECT_FALSE(make_lon_lat_to_map("EPSG:999999", error));
  EXPECT_NE(error.find("unknown coordinate system \"EPSG:999999\""), std::string::npos);
}

TEST(AreaTable, ZipCodesFollowTheTableOrTheFixedRule) {
  AreaTable areas;
  std::string error;
  ASSERT_EQ(read_area_table(::testing::TempDir() + "none.csv", areas, error), 1);
  EXPECT_EQ(zip_code(areas, 3), 77002u);
  uint32_t index = 0;
  EXPECT_EQ(zip_index(areas, 77002, index), 1);
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(zip_index(areas, 76999, index), 0);

  const std::string text =
      "kind,index,code,name\nzip,1,90012,\"Civic Center, \"\"Downtown\"\"\"\nzip,2,90210,\n"
      "district,15,O,Harbor\n";
  ASSERT_EQ(read_area_table(scratch("areas.csv", text), areas, error), 1) << error;
  EXPECT_EQ(area_table_text(areas), text);
  EXPECT_EQ(zip_code(areas, 2), 90210u);
  EXPECT_EQ(zip_code(areas, 3), 77002u);  // not in the table
  EXPECT_EQ(zip_index(areas, 90012, index), 1);
  EXPECT_EQ(index, 1u);
  EXPECT_EQ(zip_index(areas, 77002, index), 0);
  EXPECT_EQ(areas.district_names[15], "Harbor");

  const struct {
    const char* text;
    const char* message;
  } faults[] = {
      {"index,kind\n", "bad.csv:1: expected the header"},
      {"kind,index,code,name\nzip,1001,9,x\n", "bad.csv:2: a zip index is a whole number"},
      {"kind,index,code,name\nzip,1,9,x\nzip,2,9,y\n", "bad.csv:3: zip code 9 is listed twice"},
      {"kind,index,code,name\ndistrict,2,A,x\n", "bad.csv:2: district 2 has the letter B"},
      {"kind,index,code,name\npark,1,1,x\n", "bad.csv:2: the kind is"},
      {"kind,index,code,name\nzip,1,2\n", "bad.csv:2: expected four fields"},
  };
  for (const auto& f : faults) {
    EXPECT_EQ(read_area_table(scratch("bad.csv", f.text), areas, error), 0);
    EXPECT_NE(error.find(f.message), std::string::npos) << error;
  }
  EXPECT_EQ(zip_code(areas, 2), 90210u);  // a failed read keeps the table
}

}  // namespace
}  // namespace valdrin
