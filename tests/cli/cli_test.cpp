// valdrin-cli end to end, in-process: what the tool itself owns. Argument
// parsing, exit codes and messages on stderr, the JSON, report and BMP
// outputs, and --repeat continuing one generator. The rules underneath
// have their own suites; here each command is checked once through them,
// over the shipped data folder.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "core/cell_table.h"
#include "core/generator.h"
#include "core/store.h"
#include "tests/core/example_event.h"
#include "tests/core/test_files.h"
#include "view/image.h"
#include "view/map_layers.h"

namespace valdrin {
namespace {

using Args = std::vector<std::string>;
const std::string kData = std::string(VALDRIN_SOURCE_DIR) + "/data";

struct CliRun {
  int code;
  std::string out, err;
};

// One command line through run_cli, with what it wrote to stdout and stderr.
CliRun run(const Args& args, const Args& options = {}) {
  std::vector<const char*> argv = {"valdrin-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  for (const auto& a : options) argv.push_back(a.c_str());
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

std::string label(const Args& args) { return args.empty() ? "(none)" : args.back(); }

class Cli : public ::testing::Test {
 protected:
  test::ScratchDir dir;

  std::string path(const char* name) { return dir.path(name); }
  // Three days of events in a few cells, one of them in no cell at all.
  std::string sample() {
    std::string bytes;
    const int events[][6] = {{0x1085, 20, 10, 3, 2, 3},
                             {0x1086, 20, 10, 3, 2, 2},
                             {0x108A, 0, 83, 1000, 9, 3},
                             {0x108B, 66, 84, 0, 0, 3},
                             {0x108F, 65, 0, 1001, 12, 2}};
    for (const auto& [key, row, col, zip, council, division] : events) {
      Event e = test::event_at(static_cast<uint16_t>(key), row, col, zip, council);
      set_field(e, kDivision, static_cast<uint32_t>(division));
      uint8_t record[kEventBytes];
      encode_event(e, record);
      bytes.append(reinterpret_cast<char*>(record), kEventBytes);
    }
    test::write_file(path("sample.vdr"), bytes);
    return path("sample.vdr");
  }
};

TEST_F(Cli, CountPrintsJsonForTheWindowAndFilterOptions) {
  const std::string file = sample();
  const std::pair<Args, const char*> cases[] = {
      // the whole output, or its start
      {{},
       "{\"total\": 5, \"cells\": [[0,83,1],[20,10,2],[65,0,1]], \"zip\": [[0,2],[3,2],[1000,1]], "
       "\"council\": [[0,2],[2,2],[9,1]]}\n"},
      {{"--from", "Day,January,1,2002", "--to", "Day,January,1,2002"}, "{\"total\": 1,"},
      {{"--from", "0x1086", "--to", "4234"}, "{\"total\": 2,"},  // 4234 = 0x108A
      {{"--where", "division=clear lake", "--where", "SHIFT=evening"}, "{\"total\": 1,"},
      {{"--where", "DIVISION=2"}, "{\"total\": 2,"}};
  for (const auto& [options, out] : cases) {
    const CliRun r = run({"count", file}, options);
    EXPECT_EQ(r.code, kExitOk) << label(options) << ": " << r.err;
    EXPECT_EQ(r.out.rfind(out, 0), 0u) << label(options) << ": " << r.out;
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
      {{"map", out, "--overlays", "0xZ"}, kExitUsage, "--overlays takes"},
      {{"map", out, "--overlays", ""}, kExitUsage, "--overlays takes"},
      {{"render"}, kExitUsage, "render takes"},
      {{"render", out, "--size", "0x100"}, kExitUsage, "--size takes"},
      {{"render", out, "--distance", "inf"}, kExitUsage, "--distance takes a number"},
      {{"render", out, "--look-at", "4"}, kExitUsage, "--look-at takes"},
      {{"count", path("missing.vdr")}, kExitFile, "ERROR: read_records(): fopen error"},
      {{"select", "--cell", "1,1", "--mode", "zip", "--data", nodata}, kExitFile, no_cells},
      {{"generate", path("g.vdr"), "--data", nodata}, kExitFile, no_cells},
      {{"import-csv", path("missing.csv"), path("x.vdr")}, kExitFile, "Can't load csv file"},
      {{"export-csv", file, path("no/folder/x.csv")}, kExitFile, "can't write"},
      {{"render", out, path("missing.vdr")}, kExitFile, "can't load data file"},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, c.code) << label(c.args);
    EXPECT_NE(r.err.find(c.err), std::string::npos) << label(c.args) << ": " << r.err;
    EXPECT_TRUE(r.out.empty()) << label(c.args) << ": " << r.out;
  }
  // A missing base map is the one message: no overlay is tried after it.
  const CliRun no_map = run({"map", out, "--data", nodata});
  EXPECT_EQ(std::tuple(no_map.code, no_map.err),
            std::tuple(kExitFile, "ERROR: make_map(): can't read map\nError: can't read map " +
                                      nodata + "/maps/basemap.bmp\n"));
  EXPECT_FALSE(std::filesystem::exists(out));
  EXPECT_EQ(run({"--help"}).code, kExitOk);
}

// Generate starts afresh each run; --repeat 2 is what the core makes over
// two calls on one state.
TEST_F(Cli, GenerateStartsFreshEachRunAndRepeatContinuesTheSequence) {
  for (const Args& args : {Args{"generate", path("one.vdr")}, Args{"generate", path("again.vdr")},
                           Args{"generate", path("two.vdr"), "--repeat", "2"},
                           Args{"generate", path("small.vdr"), "--count", "10"}})
    ASSERT_EQ(run(args, {"--data", kData}).code, kExitOk) << args[1];
  const std::string one = test::read_file(path("one.vdr"));
  EXPECT_EQ(one.size(), 1200u * 16);
  EXPECT_EQ(one, test::read_file(path("again.vdr")));
  EXPECT_EQ(test::read_file(path("small.vdr")).size(), 160u);
  auto cells = std::make_unique<CellTable>();
  ASSERT_EQ(init_selection((kData + "/selections/default.sel").c_str(), *cells), 1);
  auto store = std::make_unique<EventStore>();
  TimeState time;
  RandomState random;
  for (int i = 0; i < 2; ++i) generate_events(kGenerateCount, *cells, random, *store, time);
  ASSERT_EQ(write_records(path("core.vdr").c_str(), *store), 1);
  EXPECT_EQ(test::read_file(path("two.vdr")), test::read_file(path("core.vdr")));
}

// Every command's way through: its output on stdout, or its file, whose
// bytes the suites of the core and the view layer check in detail.
TEST_F(Cli, EachCommandSucceedsWithItsOutput) {
  test::write_file(path("in.csv"),
                   "header\n2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002\n");
  const std::string file = sample();
  const std::pair<Args, std::string> cases[] = {
      {{"report", file, "--cell", "20,10", "--data", kData},  // a cell outside the shipped city
       "From: Day,January,1,2002\r\nTo: Night,January,3,2002\r\nTotal Events: 5\r\n"
       "Keymap (20, 10): 2, 40.00%\r\n"},
      {{"select", "--cell", "12,3", "--mode", "keymap", "--data", kData}, "[[12,3]]\n"},
      {{"select", "--cell", "0,0", "--mode", "zip", "--data", kData}, "[]\n"},
      {{"import-csv", path("in.csv"), path("in.vdr")}, ""},
      {{"export-csv", path("in.vdr"), path("out.csv")}, ""},
      {{"map", path("out.bmp"), "--data", kData, "--map", "1", "--overlays", "0x101"}, ""}};
  for (const auto& [args, out] : cases) {
    const CliRun r = run(args);
    EXPECT_EQ(std::tuple(r.code, r.out, r.err), std::tuple(kExitOk, out, "")) << args[0];
  }
  const auto example = test::hex_bytes("85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00");
  EXPECT_EQ(test::read_file(path("in.vdr")), std::string(example.begin(), example.end()));
  EXPECT_EQ(test::read_file(path("out.csv"))
                .rfind("START\nDay,January,1,2000\nEND\nDay,January,1,2000\n", 0),
            0u);
  GisSettings gis{0x101, 1};
  Image map;
  ASSERT_EQ(compose_map(gis, kData, map), 1);
  ASSERT_EQ(write_bmp(path("expected.bmp").c_str(), map), 1);
  free_image(map);
  EXPECT_TRUE(test::read_file(path("out.bmp")) == test::read_file(path("expected.bmp")));
  test::ScratchDir empty;  // each missing overlay is named; the map is still written
  std::filesystem::copy(kData + "/maps", empty.path("maps"));
  EXPECT_EQ(run({"map", path("out.bmp"), "--data", empty.root(), "--overlays", "0x0082"}).err,
            "ERROR: overlay(): can't read overlay\nERROR: overlay(): can't read overlay\n");
}

// The headless render needs no display at all: it draws through EGL into a
// framebuffer of its own.
TEST_F(Cli, RenderWithoutADisplayShowsTheMap) {
  const std::string& data = kData;
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
