// valdrin-cli end to end, in-process: files in, JSON, reports and map
// images out, and the exit codes.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/cell_table.h"
#include "core/generator.h"
#include "core/store.h"
#include "tests/core/test_files.h"
#include "view/image.h"

namespace valdrin {
namespace {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

std::string drain(std::FILE* file) {
  std::rewind(file);
  std::string text;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  std::fclose(file);
  return text;
}

CliRun run(const std::vector<std::string>& args) {
  std::vector<std::string> owned = {"valdrin-cli"};
  owned.insert(owned.end(), args.begin(), args.end());
  std::vector<const char*> argv;
  for (const auto& a : owned) argv.push_back(a.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  const int code = run_cli(static_cast<int>(argv.size()), argv.data(), out, err);
  return CliRun{code, drain(out), drain(err)};
}

std::string record(uint16_t key, uint32_t row, uint32_t col, uint32_t zip, uint32_t council,
                   uint32_t division = 0) {
  Event e;
  e.key = key;
  set_field(e, kRow, row);
  set_field(e, kCol, col);
  set_field(e, kZip, zip);
  set_field(e, kCouncil, council);
  set_field(e, kDivision, division);
  uint8_t bytes[kEventBytes];
  encode_event(e, bytes);
  return std::string(reinterpret_cast<char*>(bytes), kEventBytes);
}

class Cli : public ::testing::Test {
 protected:
  test::ScratchDir dir;

  std::string path(const char* name) { return dir.path(name); }
  // Three days of events in a few cells.
  std::string sample() {
    const std::string file = path("sample.vdr");
    test::write_file(file, record(0x1085, 20, 10, 3, 2, 3) + record(0x1086, 20, 10, 3, 2, 2) +
                               record(0x108A, 0, 83, 1000, 9, 3) + record(0x108B, 66, 84, 0, 0, 3) +
                               record(0x108F, 65, 0, 1001, 12, 2));
    return file;
  }
  // A data folder whose cell table gives every cell of rows 10-19 zip 5 and
  // district 1, and cell (20, 10) keymap "0493", zip 3 and district B.
  std::string data_folder() {
    std::filesystem::create_directories(dir.path("data/selections"));
    std::string bytes(kSelectionFileBytes, '\0');
    auto put = [&](int cell, int word, uint32_t value) {
      for (int i = 0; i < 4; ++i)
        bytes[cell * 8 + word * 4 + i] = static_cast<char>(value >> (8 * i));
    };
    for (int cell = 10 * kGridCols; cell < 20 * kGridCols; ++cell)
      put(cell, 0, make_cell_word(1, 0, false, 5, 0, false));
    const char code[4] = {'0', '4', '9', '3'};
    put(20 * kGridCols + 10, 0, make_cell_word(2, 0, false, 3, 0, false));
    put(20 * kGridCols + 10, 1, make_keymap_word(code));
    test::write_file(dir.path("data/selections/default.sel"), bytes);
    return dir.path("data");
  }
  // A data folder with 8 x 8 maps, the base map grey and the council map
  // blue, and masks of 8 bytes: major roads cover pixel 0, highways pixel 1,
  // highway labels pixel 63 (the top right corner) and zip codes pixel 8.
  // The other overlays have no file.
  std::string map_folder() {
    std::filesystem::create_directories(dir.path("maps/maps"));
    std::filesystem::create_directories(dir.path("maps/overlays"));
    auto write_map = [&](const char* name, uint8_t r, uint8_t g, uint8_t b) {
      Image image;
      alloc_image(8, 8, 3, image);
      for (int i = 0; i < 64; ++i) {
        image.pixels[3 * i] = r;
        image.pixels[3 * i + 1] = g;
        image.pixels[3 * i + 2] = b;
      }
      EXPECT_EQ(write_bmp(dir.path(name).c_str(), image), 1);
      free_image(image);
    };
    write_map("maps/maps/basemap.bmp", 0x40, 0x50, 0x60);
    write_map("maps/maps/councilmap.bmp", 0, 0, 255);
    auto write_mask = [&](const char* name, int pixel) {
      std::string bytes(8, '\0');
      bytes[pixel / 8] = static_cast<char>(0x80 >> (pixel % 8));
      test::write_file(dir.path(name), bytes);
    };
    write_mask("maps/overlays/major_roads.ovl", 0);
    write_mask("maps/overlays/highways.ovl", 1);
    write_mask("maps/overlays/highways_labels.ovl", 63);
    write_mask("maps/overlays/zipcodes.ovl", 8);
    return dir.path("maps");
  }
};

// `file` with pixel i of an 8 x 8 BMP (rows of 24 bytes, no pad) set to the
// given blue, green and red bytes.
std::string with_pixel(std::string file, int i, const char* bgr) {
  file.replace(54 + static_cast<size_t>(i) * 3, 3, bgr, 3);
  return file;
}

TEST_F(Cli, CountWholeFile) {
  const CliRun r = run({"count", sample()});
  EXPECT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(
      r.out,
      "{\"total\": 5, \"cells\": [[0,83,1],[20,10,2],[65,0,1]], \"zip\": [[0,2],[3,2],[1000,1]], "
      "\"council\": [[0,2],[2,2],[9,1]]}\n");
}

TEST_F(Cli, CountWithWindowAndFilters) {
  const std::string file = sample();
  struct Case {
    std::vector<std::string> options;
    const char* total;
  };
  const Case cases[] = {
      {{"--from", "Day,January,1,2002", "--to", "Day,January,1,2002"}, "\"total\": 1,"},
      {{"--from", "0x1086", "--to", "4234"}, "\"total\": 2,"},  // 4234 = 0x108A
      {{"--where", "DIVISION=Clear Lake"}, "\"total\": 3,"},
      {{"--where", "division=clear lake", "--where", "SHIFT=evening"}, "\"total\": 1,"},
      {{"--where", "DIVISION=2", "--where", "SHIFT=ALL"}, "\"total\": 2,"},
      {{"--where", "NUMO=Duplicate"}, "\"total\": 0,"},
      {{"--where", "NUMS=Dog"}, "\"total\": 0,"},
      {{"--where", "numo=0"}, "\"total\": 5,"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"count", file};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun r = run(args);
    EXPECT_EQ(r.code, kExitOk) << c.options[1];
    EXPECT_NE(r.out.find(c.total), std::string::npos) << c.options[1] << ": " << r.out;
  }
}

TEST_F(Cli, ExitCodes) {
  const std::string file = sample();
  EXPECT_EQ(run({"--help"}).code, kExitOk);
  EXPECT_NE(run({"--help"}).out.find("count IN.vdr"), std::string::npos);
  struct Case {
    std::vector<std::string> args;
    int code;
  };
  const Case cases[] = {
      {{}, kExitUsage},
      {{"frobnicate"}, kExitUsage},
      {{"count"}, kExitUsage},
      {{"count", file, "--from"}, kExitUsage},
      {{"count", file, "--from", "Day,Jan,1,2000"}, kExitUsage},
      {{"count", file, "--to", "0x10000"}, kExitUsage},
      {{"count", file, "--to", "65536"}, kExitUsage},
      {{"count", file, "--where", "ZIP=3"}, kExitUsage},
      {{"count", file, "--where", "SHIFT=4"}, kExitUsage},
      {{"count", file, "--where", "SHIFT"}, kExitUsage},
      {{"count", file, "--where", "REASON=Theft"}, kExitUsage},
      {{"count", file, "--bogus"}, kExitUsage},
      {{"count", dir.path("missing.vdr")}, kExitFile},
      {{"report", file, "--cell", "66,0"}, kExitUsage},
      {{"select", "--cell", "1,1", "--mode", "street"}, kExitUsage},
      {{"select", "--cell", "1,1", "--mode", "zip", "--data", dir.path("nodata")}, kExitFile},
      {{"generate", dir.path("g.vdr"), "--count", "6001"}, kExitUsage},
      {{"generate", dir.path("g.vdr"), "--data", dir.path("nodata")}, kExitFile},
      {{"import-csv", dir.path("missing.csv"), dir.path("x.vdr")}, kExitFile},
      {{"export-csv", file, dir.path("no/folder/x.csv")}, kExitFile},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << (c.args.empty() ? "(none)" : c.args.back());
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(Cli, MissingFileSaysWhy) {
  const CliRun r = run({"count", path("missing.vdr")});
  EXPECT_NE(r.err.find("ERROR: read_records(): fopen error"), std::string::npos) << r.err;
}

TEST_F(Cli, ImportThenExport) {
  test::write_file(path("in.csv"),
                   "header\n2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002\n");
  ASSERT_EQ(run({"import-csv", path("in.csv"), path("out.vdr")}).code, kExitOk);
  const auto expected = test::hex_bytes("85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00");
  EXPECT_EQ(test::read_file(path("out.vdr")), std::string(expected.begin(), expected.end()));
  ASSERT_EQ(run({"export-csv", path("out.vdr"), path("out.csv")}).code, kExitOk);
  EXPECT_EQ(
      test::read_file(path("out.csv")),
      "START\nDay,January,1,2000\nEND\nDay,January,1,2000\n"
      "SHIFT,MONTH,DAY,YEAR,COL,ROW,ZIP,COUNCIL,DIVISION,SUCCESSFUL,INJURY,NUMO,ORACE,OGENDER,"
      "RESPONSE,NUMS,SRACE,SGENDER,SAGE,REASON\n"
      "Day,January,1,2000,10,20,77002,B,Central,Yes,None,2,White,Male,Dispatched,1,Black,Male,"
      "17-22,Combat/Resist\n");
}

TEST_F(Cli, GenerateContinuesTheSequenceAcrossRepeats) {
  const std::string data = data_folder();
  ASSERT_EQ(run({"generate", path("one.vdr"), "--data", data}).code, kExitOk);
  ASSERT_EQ(run({"generate", path("again.vdr"), "--data", data}).code, kExitOk);
  ASSERT_EQ(run({"generate", path("two.vdr"), "--repeat", "2", "--data", data}).code, kExitOk);
  ASSERT_EQ(run({"generate", path("small.vdr"), "--count", "10", "--data", data}).code, kExitOk);
  const std::string one = test::read_file(path("one.vdr"));
  EXPECT_EQ(one.size(), 1200u * 16);
  EXPECT_EQ(one, test::read_file(path("again.vdr")));
  EXPECT_NE(one, test::read_file(path("two.vdr")));
  EXPECT_EQ(test::read_file(path("small.vdr")).size(), 160u);

  // The second run of one process is what the core makes on its second call.
  auto cells = std::make_unique<CellTable>();
  ASSERT_EQ(init_selection((data + "/selections/default.sel").c_str(), *cells), 1);
  auto store = std::make_unique<EventStore>();
  TimeState time;
  RandomState random;
  generate_events(kGenerateCount, *cells, random, *store, time);
  generate_events(kGenerateCount, *cells, random, *store, time);
  ASSERT_EQ(write_records(path("core.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(path("two.vdr")), test::read_file(path("core.vdr")));
}

TEST_F(Cli, ReportForACell) {
  const std::string data = data_folder();
  const CliRun r = run({"report", sample(), "--cell", "20,10", "--data", data});
  ASSERT_EQ(r.code, kExitOk) << r.err;
  EXPECT_EQ(
      r.out,
      "From: Day,January,1,2002\r\nTo: Night,January,3,2002\r\nTotal Events: 5\r\n"
      "Keymap 0493: 2, 40.00%\r\nZip Code 77002: 2, 40.00%\r\nCouncil District B: 2, 40.00%\r\n");
  const CliRun filtered =
      run({"report", sample(), "--cell", "20,10", "--where", "DIVISION=Central", "--data", data});
  EXPECT_NE(filtered.out.find("Keymap 0493: 1, 50.00%"), std::string::npos) << filtered.out;
}

TEST_F(Cli, SelectPrintsTheSelectedCells) {
  const std::string data = data_folder();
  CliRun r = run({"select", "--cell", "20,10", "--mode", "keymap", "--data", data});
  EXPECT_EQ(r.out, "[[20,10]]\n");
  r = run({"select", "--cell", "20,10", "--mode", "council", "--data", data});
  EXPECT_EQ(r.out, "[[20,10]]\n");
  r = run({"select", "--cell", "0,0", "--mode", "zip", "--data", data});
  EXPECT_EQ(r.out, "[]\n");
  r = run({"select", "--cell", "12,3", "--mode", "zip", "--data", data});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '['), 1 + 10 * kGridCols);
  EXPECT_EQ(r.out.substr(0, 16), "[[10,0],[10,1],[");
}

TEST_F(Cli, MapPaintsTheChosenOverlays) {
  const std::string data = map_folder();
  const std::string base = test::read_file(data + "/maps/basemap.bmp");
  const std::string council = test::read_file(data + "/maps/councilmap.bmp");
  ASSERT_EQ(base.size(), 54u + 8 * 24);
  const char* black = "\x00\x00\x00";
  const char* white = "\xFF\xFF\xFF";
  const char* yellow = "\x00\xFF\xFF";
  struct Case {
    std::vector<std::string> options;
    std::string expected;
  };
  const Case cases[] = {
      // The initial settings: major roads, highways and highway labels.
      {{}, with_pixel(with_pixel(with_pixel(base, 0, black), 1, white), 63, white)},
      {{"--overlays", "0"}, base},
      {{"--overlays", "0x1"}, with_pixel(base, 8, yellow)},
      {{"--overlays", "4"}, with_pixel(base, 0, black)},
      {{"--overlays", "0x0030", "--map", "0"}, with_pixel(with_pixel(base, 1, white), 63, white)},
      {{"--map", "1", "--overlays", "0"}, council},
      {{"--map", "1", "--overlays", "0x10"}, with_pixel(council, 1, white)},
      // Bits above 9 choose nothing.
      {{"--overlays", "0xFC05"}, with_pixel(with_pixel(base, 0, black), 8, yellow)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"map", path("out.bmp"), "--data", data};
    args.insert(args.end(), c.options.begin(), c.options.end());
    const CliRun r = run(args);
    const std::string label = c.options.empty() ? "(defaults)" : c.options[1];
    ASSERT_EQ(r.code, kExitOk) << label << ": " << r.err;
    EXPECT_EQ(test::read_file(path("out.bmp")), c.expected) << label;
  }
}

TEST_F(Cli, MapNamesMissingOverlaysAndStillWrites) {
  const std::string data = map_folder();
  const CliRun r = run({"map", path("out.bmp"), "--overlays", "0x0082", "--data", data});
  EXPECT_EQ(r.code, kExitOk);
  EXPECT_EQ(r.err, "ERROR: overlay(): can't read overlay\nERROR: overlay(): can't read overlay\n");
  EXPECT_EQ(test::read_file(path("out.bmp")), test::read_file(data + "/maps/basemap.bmp"));
}

TEST_F(Cli, MapExitCodes) {
  const std::string data = map_folder();
  const std::string out = path("out.bmp");
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* err;
  };
  const Case cases[] = {
      {{"map"}, kExitUsage, "map takes 1 file argument"},
      {{"map", out, path("extra.bmp")}, kExitUsage, "map takes 1 file argument"},
      {{"map", out, "--map", "2"}, kExitUsage, "--map is 0 or 1"},
      {{"map", out, "--map", "basemap"}, kExitUsage, "--map is 0 or 1"},
      {{"map", out, "--map", ""}, kExitUsage, "--map is 0 or 1"},
      {{"map", out, "--overlays", ""}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", "0x10000"}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", "65536"}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", "-1"}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", "0xZ"}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays"}, kExitUsage, "--overlays needs a value"},
      {{"map", out, "--data", path("nodata")}, kExitFile, "ERROR: make_map(): can't read map\n"},
      {{"map", path("no/folder/out.bmp"), "--data", data}, kExitFile, "Error: can't write"},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back();
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args.back() << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  // A missing base map is the one message: no overlay is tried after it.
  EXPECT_EQ(run({"map", out, "--data", path("nodata")}).err, "ERROR: make_map(): can't read map\n");
  EXPECT_NE(run({"--help"}).out.find("map OUT.bmp"), std::string::npos);
}

// The headless render needs no display at all: it draws through EGL into a
// framebuffer of its own.
TEST_F(Cli, RenderWithoutADisplayShowsTheMap) {
  const std::string data = std::string(VALDRIN_SOURCE_DIR) + "/data";
  ASSERT_EQ(run({"generate", path("g.vdr"), "--data", data}).code, kExitOk);
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  const CliRun r =
      run({"render", path("view.bmp"), path("g.vdr"), "--size", "320x240", "--data", data});
  const CliRun tilted =
      run({"render", path("tilted.bmp"), path("g.vdr"), "--size", "320x240", "--tilt", "60",
           "--heading", "30", "--distance", "80", "--look-at", "40,30", "--data", data});
  if (display) setenv("DISPLAY", saved.c_str(), 1);
  ASSERT_EQ(r.code, kExitOk) << r.err;
  ASSERT_EQ(tilted.code, kExitOk) << tilted.err;
  const std::string bmp = test::read_file(path("view.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 320 * 240 * 3);
  // The centre pixel shows the city map (the downtown blocks), not the
  // grey of the empty background.
  const size_t centre = 54 + (120 * 320 + 160) * 3;
  const int b = static_cast<uint8_t>(bmp[centre]), g = static_cast<uint8_t>(bmp[centre + 1]),
            red = static_cast<uint8_t>(bmp[centre + 2]);
  EXPECT_FALSE(std::abs(red - 127) <= 2 && std::abs(g - 127) <= 2 && std::abs(b - 127) <= 2);
  EXPECT_GT(red + g + b, 150);
  EXPECT_NE(test::read_file(path("tilted.bmp")), bmp);
}

TEST_F(Cli, RenderUsage) {
  const std::string out = path("x.bmp");
  const std::vector<std::vector<std::string>> bad = {
      {"render"},
      {"render", out, "a.vdr", "b.vdr"},
      {"render", out, "--size", "100"},
      {"render", out, "--size", "0x100"},
      {"render", out, "--tilt", "steep"},
      {"render", out, "--distance", "1e999"},
      {"render", out, "--look-at", "4"},
      {"render", out, "--map", "3"},
  };
  for (const auto& args : bad) EXPECT_EQ(run(args).code, kExitUsage) << args.back();
  EXPECT_EQ(run({"render", out, path("missing.vdr")}).code, kExitFile);
}

}  // namespace
}  // namespace valdrin
