// valdrin-cli end to end, in-process: what the tool itself owns. Argument
// parsing, exit codes and messages on stderr, the JSON, report and BMP
// outputs, and --repeat continuing one generator. The rules underneath
// (CSV values, report lines, selection areas) have their own suites; here
// each command is checked once through them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "core/cell_table.h"
#include "core/generator.h"
#include "core/store.h"
#include "tests/core/test_files.h"
#include "view/image.h"

namespace valdrin {
namespace {

using Args = std::vector<std::string>;

struct CliRun {
  int code;
  std::string out, err;
};

// One command line through run_cli, with what it wrote to stdout and stderr.
CliRun run(const Args& args) {
  std::vector<const char*> argv = {"valdrin-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::FILE* streams[2] = {std::tmpfile(), std::tmpfile()};
  const int code = run_cli(static_cast<int>(argv.size()), argv.data(), streams[0], streams[1]);
  std::string text[2];
  for (int i = 0; i < 2; ++i) {
    std::rewind(streams[i]);
    for (int ch; (ch = std::fgetc(streams[i])) != EOF;) text[i] += static_cast<char>(ch);
    std::fclose(streams[i]);
  }
  return CliRun{code, text[0], text[1]};
}

CliRun run(Args args, const Args& options) {
  args.insert(args.end(), options.begin(), options.end());
  return run(args);
}

std::string label(const Args& args) { return args.empty() ? "(none)" : args.back(); }

std::string record(uint16_t key, uint32_t row, uint32_t col, uint32_t zip, uint32_t council,
                   uint32_t division) {
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

// The select command's output for every cell of rows first..last.
std::string rows_json(int first, int last) {
  std::string json = "[";
  for (int r = first; r <= last; ++r)
    for (int c = 0; c < kGridCols; ++c)
      json += (json.size() > 1 ? ",[" : "[") + std::to_string(r) + "," + std::to_string(c) + "]";
  return json + "]\n";
}

// `file` with pixel i of an 8 x 8 BMP (rows of 24 bytes, no pad) set to the
// given blue, green and red bytes.
std::string with_pixel(std::string file, int i, const char* bgr) {
  file.replace(54 + static_cast<size_t>(i) * 3, 3, bgr, 3);
  return file;
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
  // A data folder whose cell table puts rows 10-19 in district 1, rows
  // 10-14 in zip 5 and rows 15-19 in zip 6, and gives cell (20, 10) keymap
  // "0493", zip 3 and district B.
  std::string data_folder() {
    std::filesystem::create_directories(dir.path("data/selections"));
    std::string bytes(kSelectionFileBytes, '\0');
    auto put = [&](int cell, int word, uint32_t value) {
      for (int i = 0; i < 4; ++i)
        bytes[cell * 8 + word * 4 + i] = static_cast<char>(value >> (8 * i));
    };
    for (int cell = 10 * kGridCols; cell < 20 * kGridCols; ++cell)
      put(cell, 0, make_cell_word(1, 0, false, cell < 15 * kGridCols ? 5 : 6, 0, false));
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
    const std::pair<const char*, std::vector<uint8_t>> maps[] = {{"basemap", {0x40, 0x50, 0x60}},
                                                                 {"councilmap", {0, 0, 255}}};
    for (const auto& [name, rgb] : maps) {
      Image image;
      alloc_image(8, 8, 3, image);
      for (int i = 0; i < 64 * 3; ++i) image.pixels[i] = rgb[i % 3];
      EXPECT_EQ(write_bmp((dir.path("maps/maps/") + name + ".bmp").c_str(), image), 1);
      free_image(image);
    }
    const std::pair<const char*, int> masks[] = {
        {"major_roads", 0}, {"highways", 1}, {"highways_labels", 63}, {"zipcodes", 8}};
    for (const auto& [name, pixel] : masks) {
      std::string bytes(8, '\0');
      bytes[pixel / 8] = static_cast<char>(0x80 >> (pixel % 8));
      test::write_file(dir.path("maps/overlays/") + name + ".ovl", bytes);
    }
    return dir.path("maps");
  }
};

TEST_F(Cli, CountPrintsJsonForTheWindowAndFilterOptions) {
  const std::string file = sample();
  struct Case {
    Args options;
    const char* out;  // the whole output, or the part that shows the total
  };
  const Case cases[] = {
      {{},
       "{\"total\": 5, \"cells\": [[0,83,1],[20,10,2],[65,0,1]], \"zip\": [[0,2],[3,2],[1000,1]], "
       "\"council\": [[0,2],[2,2],[9,1]]}\n"},
      {{"--from", "Day,January,1,2002", "--to", "Day,January,1,2002"}, "{\"total\": 1,"},
      {{"--from", "0x1086", "--to", "4234"}, "{\"total\": 2,"},  // 4234 = 0x108A
      {{"--where", "DIVISION=Clear Lake"}, "{\"total\": 3,"},
      {{"--where", "division=clear lake", "--where", "SHIFT=evening"}, "{\"total\": 1,"},
      {{"--where", "DIVISION=2"}, "{\"total\": 2,"},
  };
  for (const Case& c : cases) {
    const CliRun r = run({"count", file}, c.options);
    EXPECT_EQ(r.code, kExitOk) << label(c.options) << ": " << r.err;
    EXPECT_EQ(r.out.rfind(c.out, 0), 0u) << label(c.options) << ": " << r.out;
  }
}

TEST_F(Cli, FailuresExitWithTheirCodeAndSayWhyOnStderr) {
  const std::string file = sample();
  const std::string out = path("out.bmp");
  const std::string nodata = path("nodata");
  const char* no_cells = "ERROR: init_selection(): can't read selection";
  struct Case {
    Args args;
    int code;
    const char* err;
  };
  const Case cases[] = {
      {{}, kExitUsage, "no command given"},
      {{"frobnicate"}, kExitUsage, "unknown command frobnicate"},
      {{"count"}, kExitUsage, "count takes 1 file argument"},
      {{"count", file, "--bogus"}, kExitUsage, "unknown option --bogus"},
      {{"count", file, "--from"}, kExitUsage, "--from needs a value"},
      {{"count", file, "--from", "Day,Jan,1,2000"}, kExitUsage, "bad time key"},
      {{"count", file, "--to", "0x10000"}, kExitUsage, "bad time key"},
      {{"count", file, "--to", "65536"}, kExitUsage, "bad time key"},
      {{"count", file, "--where", "ZIP=3"}, kExitUsage, "unknown field ZIP"},
      {{"count", file, "--where", "SHIFT=4"}, kExitUsage, "too wide"},
      {{"count", file, "--where", "SHIFT"}, kExitUsage, "--where needs FIELD=VALUE"},
      {{"count", file, "--where", "REASON=Theft"}, kExitUsage, "unknown value"},
      {{"report", file, "--cell", "66,0"}, kExitUsage, "--cell needs"},
      {{"select", "--cell", "1,1", "--mode", "street"}, kExitUsage, "--mode is"},
      {{"generate", path("g.vdr"), "--count", "6001"}, kExitUsage, "--count takes"},
      {{"map", out, "--map", "2"}, kExitUsage, "--map is 0 or 1"},
      {{"map", out, "--map", ""}, kExitUsage, "--map is 0 or 1"},
      {{"map", out, "--overlays", ""}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", "0xZ"}, kExitUsage, "--overlays takes"},
      {{"render"}, kExitUsage, "render takes"},
      {{"render", out, "--size", "0x100"}, kExitUsage, "--size takes"},
      {{"render", out, "--tilt", "steep"}, kExitUsage, "--tilt takes a number"},
      {{"render", out, "--distance", "inf"}, kExitUsage, "--distance takes a number"},
      {{"render", out, "--look-at", "4"}, kExitUsage, "--look-at takes"},
      {{"count", path("missing.vdr")}, kExitFile, "ERROR: read_records(): fopen error"},
      {{"select", "--cell", "1,1", "--mode", "zip", "--data", nodata}, kExitFile, no_cells},
      {{"generate", path("g.vdr"), "--data", nodata}, kExitFile, no_cells},
      {{"import-csv", path("missing.csv"), path("x.vdr")}, kExitFile, "Can't load csv file"},
      {{"export-csv", file, path("no/folder/x.csv")}, kExitFile, "can't write"},
      {{"map", out, "--data", nodata}, kExitFile, "ERROR: make_map(): can't read map"},
      {{"map", path("no/folder/out.bmp"), "--data", map_folder()}, kExitFile, "can't write"},
      {{"render", out, path("missing.vdr")}, kExitFile, "can't load data file"},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << label(c.args);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << label(c.args) << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << label(c.args) << ": " << r.out;
  }
  EXPECT_FALSE(std::filesystem::exists(out));
  // A missing base map is the one message: no overlay is tried after it.
  EXPECT_EQ(
      run({"map", out, "--data", nodata}).err,
      "ERROR: make_map(): can't read map\nError: can't read map " + nodata + "/maps/basemap.bmp\n");
  EXPECT_EQ(run({"--help"}).code, kExitOk);
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

TEST_F(Cli, GenerateStartsFreshEachRunAndRepeatContinuesTheSequence) {
  const std::string data = data_folder();
  for (const Args& args : {Args{"generate", path("one.vdr"), "--data", data},
                           Args{"generate", path("again.vdr"), "--data", data},
                           Args{"generate", path("two.vdr"), "--repeat", "2", "--data", data},
                           Args{"generate", path("small.vdr"), "--count", "10", "--data", data}})
    ASSERT_EQ(run(args).code, kExitOk) << args[1];
  const std::string one = test::read_file(path("one.vdr"));
  EXPECT_EQ(one.size(), 1200u * 16);
  EXPECT_EQ(one, test::read_file(path("again.vdr")));
  EXPECT_EQ(test::read_file(path("small.vdr")).size(), 160u);

  // --repeat 2 is what the core makes over two calls on one state.
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

TEST_F(Cli, SelectPrintsTheSelectedCellsForEachMode) {
  const std::string data = data_folder();
  const std::pair<Args, std::string> cases[] = {
      {{"--cell", "12,3", "--mode", "keymap"}, "[[12,3]]\n"},
      {{"--cell", "12,3", "--mode", "council"}, rows_json(10, 19)},
      {{"--cell", "12,3", "--mode", "zip"}, rows_json(10, 14)},
      {{"--cell", "0,0", "--mode", "zip"}, "[]\n"},
  };
  for (const auto& [options, expected] : cases) {
    const CliRun r = run({"select", "--data", data}, options);
    EXPECT_EQ(r.code, kExitOk) << options[3] << ": " << r.err;
    EXPECT_EQ(r.out, expected) << options[3];
  }
}

TEST_F(Cli, MapWritesTheComposedImage) {
  const std::string data = map_folder();
  const std::string base = test::read_file(data + "/maps/basemap.bmp");
  const std::string council = test::read_file(data + "/maps/councilmap.bmp");
  ASSERT_EQ(base.size(), 54u + 8 * 24);
  const char* black = "\x00\x00\x00";
  const char* white = "\xFF\xFF\xFF";
  const std::string missing = "ERROR: overlay(): can't read overlay\n";
  struct Case {
    Args options;
    std::string expected;
    std::string err;
  };
  const Case cases[] = {
      // The initial settings: major roads, highways and highway labels.
      {{}, with_pixel(with_pixel(with_pixel(base, 0, black), 1, white), 63, white), ""},
      {{"--overlays", "0x1"}, with_pixel(base, 8, "\x00\xFF\xFF"), ""},
      {{"--overlays", "4"}, with_pixel(base, 0, black), ""},
      {{"--map", "1", "--overlays", "0x10"}, with_pixel(council, 1, white), ""},
      // Bits 1 and 7 have no file: each is named and the map still written.
      {{"--overlays", "0x0082"}, base, missing + missing},
  };
  for (const Case& c : cases) {
    const CliRun r = run({"map", path("out.bmp"), "--data", data}, c.options);
    ASSERT_EQ(r.code, kExitOk) << label(c.options) << ": " << r.err;
    EXPECT_EQ(r.err, c.err) << label(c.options);
    EXPECT_EQ(test::read_file(path("out.bmp")), c.expected) << label(c.options);
  }
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

}  // namespace
}  // namespace valdrin
