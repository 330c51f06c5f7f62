// valdrin-cli end to end, in-process: options, exit codes, messages, outputs and failed saves.
#include <gif_lib.h>
#include <png.h>

#include <map>
#include <regex>
#include <set>

#include "cli/commands.h"
#include "cli/image_files.h"
#include "core/cell_table.h"
#include "core/generator.h"
#include "core/store.h"
#include "tests/core/test_files.h"
#include "view/image.h"
#include "view/map_layers.h"

namespace valdrin::cli_test {

using Args = std::vector<std::string>;
const std::string kData = std::string(VALDRIN_SOURCE_DIR) + "/data";

struct CliRun {
  int code;
  std::string out, err;
};

// One command line, with what it wrote to stdout (unless given) and stderr.
CliRun run(const Args& args, std::FILE* out_stream = nullptr) {
  std::vector<const char*> argv = {"valdrin-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::FILE* streams[2] = {out_stream ? out_stream : std::tmpfile(), std::tmpfile()};
  CliRun r{run_cli(static_cast<int>(argv.size()), argv.data(), streams[0], streams[1]), "", ""};
  for (int i = out_stream ? 1 : 0; i < 2; ++i) {
    std::rewind(streams[i]);
    for (int ch; (ch = std::fgetc(streams[i])) != EOF;)
      (i ? r.err : r.out) += static_cast<char>(ch);
    std::fclose(streams[i]);
  }
  return r;
}

const uint8_t* at(const Image& image, int x, int row) {  // bottom-up, 3 channels
  return image.pixels + (static_cast<size_t>(row) * image.width + x) * 3;
}

struct Cli : ::testing::Test {
  test::ScratchDir dir;
  std::string path(const std::string& name) { return dir.path(name); }
  // Arguments split at '|': "@name" is a scratch file, "$d" the shipped data.
  Args split(const std::string& line) {
    Args args;
    for (size_t at = 0, end = 0; end < line.size(); at = end + 1) {
      end = std::min(line.find('|', at), line.size());
      const std::string a = line.substr(at, end - at);
      args.push_back(a.starts_with('@') ? path(a.substr(1)) : a == "$d" ? kData : a);
    }
    return args;
  }

  // "s": three days in a few cells, one in none; "days.vdr": five days of three, a cell each.
  void SetUp() override {
    std::string sample, days;
    const int rows[][6] = {{0x1085, 20, 10, 3, 2, 3},
                           {0x1086, 20, 10, 3, 2, 2},
                           {0x108A, 0, 83, 1000, 9, 3},
                           {0x108B, 66, 84, 0, 0, 3},
                           {0x108F, 65, 0, 1001, 12, 2}};  // key, row, col, zip, council, division
    for (const auto& [key, row, col, zip, council, division] : rows) {
      Event e = test::event_at(static_cast<uint16_t>(key), row, col, zip, council);
      set_field(e, kDivision, static_cast<uint32_t>(division));
      sample += test::record_bytes(e);
    }
    for (uint32_t n = 0; n < 15; ++n)
      days += test::record_bytes(test::event_at(
          pack_time_key(1, static_cast<uint8_t>(1 + n / 3), 1, 2), 32 + n / 3 * 2, 42 + n / 3 * 2));
    test::write_file(path("s"), sample), test::write_file(path("days.vdr"), days);
  }
};

// Exit codes and stdout (whole if it ends a line, else its start), or the reason on stderr alone.
TEST_F(Cli, EachCommandLineExitsWithItsCodeAndOutput) {
  test::write_file(path("in.csv"),
                   "header\n2000,1,1,B,,45,10,1,CENTRAL,Y,1,2,W,M,1,1,B,M,20,1,77002\n");
  const std::string out = path("out.bmp"), gif = path("a.gif"), none = path("none"),
                    old = path("o.gif");
  test::write_file(old, std::string("old bytes"));
  test::write_file(path("bad.toml"), "[place]\nrow = \"R\"\ncol = \"C\"\n");
  const int U = kExitUsage, F = kExitFile;
  // clang-format off
  const std::tuple<std::string, int, std::string> cases[] = {
      {"count|@s", 0,
       "{\"total\": 5, \"cells\": [[0,83,1],[20,10,2],[65,0,1]], \"zip\": [[0,2],[3,2],[1000,1]], "
       "\"council\": [[0,1],[2,2],[9,1],[12,1]]}\n"},
      {"count|@s|--from|Day,January,1,2002|--to|Day,January,1,2002", 0, "{\"total\": 1,"},
      {"count|@s|--from|0x1086|--to|4234", 0, "{\"total\": 2,"},  // 4234 = 0x108A
      {"count|@s|--where|division=clear lake|--where|SHIFT=evening", 0, "{\"total\": 1,"},
      {"count|@s|--where|DIVISION=2", 0, "{\"total\": 2,"},
      {"report|@s|--cell|20,10|--data|$d", 0,  // a cell outside the shipped city
       "From: Day,January,1,2002\r\nTo: Night,January,3,2002\r\nTotal Events: 5\r\n"
       "Keymap (20, 10): 2, 40.00%\r\n"},
      {"select|--cell|12,3|--mode|keymap|--data|$d", 0, "[[12,3]]\n"},
      {"select|--cell|0,0|--mode|zip|--data|$d", 0, "[]\n"},
      {"select|--cell|32,42|--mode|ZIP|--data|$d", 0, "["},  // any case
      {"import-csv|@in.csv|@in.vdr", 0, ""}, {"export-csv|@in.vdr|@out.csv", 0, ""},
      {"map|@map.bmp|--data|$d|--map|1|--overlays|0x101", 0, ""},
      {"generate|@one.vdr|--data|$d", 0, ""}, {"generate|@again.vdr|--data|$d", 0, ""},
      {"generate|@two.vdr|--repeat|2|--data|$d", 0, ""},
      {"generate|@small.vdr|--count|10|--data|$d", 0, ""}, {"--help", 0, ""},
      {"", U, "no command given"}, {"frobnicate", U, "unknown command frobnicate"},
      {"count", U, "count takes 1 file argument"},
      {"count|@s|--bogus", U, "unknown option --bogus"},
      {"count|@s|--from", U, "--from needs a value"},
      {"count|@s|--from|Day,Jan,1,2000", U, "bad time key"},
      {"count|@s|--to|0x10000", U, "bad time key"}, {"count|@s|--to|65536", U, "bad time key"},
      {"count|@s|--to|", U, "bad time key \"\" for --to"},
      {"count|@s|--to|day,,0,2000", U, "names no date"}, {"count|@s|--from|0", U, "names no date"},
      {"count|@s|--to|Day,February,30,2001", U, "names no date"},
      {"count|@s|--where|ZIP=3", U, "unknown field ZIP"},
      {"count|@s|--where|SHIFT=4", U, "too wide"},
      {"count|@s|--where|SHIFT=99999999999", U, "too wide for SHIFT (codes 0 to 3)"},
      {"count|@s|--where|SHIFT", U, "--where needs FIELD=VALUE"},
      {"count|@s|--where|=3", U, "field name"}, {"count|@s|--where|SHIFT=", U, "needs a value"},
      {"count|@s|--where|REASON=Theft", U, "unknown value"},
      {"report|@s|--cell|66,0", U, "--cell needs"},
      {"select|--cell|1,1|--mode|street", U, "--mode is"},
      {"generate|@g.vdr|--count|6001", U, "--count takes"},
      {"generate|@g.vdr|--count|", U, "--count takes"},
      {"map|@out.bmp|--map|2", U, "--map is 0 or 1"},
      {"map|@out.bmp|--overlays|0xZ", U, "--overlays takes"},
      {"map|@out.bmp|--overlays|", U, "--overlays takes"}, {"render", U, "render takes"},
      {"render|@out.bmp|--size|0x100", U, "--size takes"},
      {"render|@out.bmp|--size|6145x10", U, "at most 6144 pixels wide"},
      {"render|@out.bmp|--distance|inf", U, "--distance takes a number"},
      {"render|@out.bmp|--look-at|4", U, "--look-at takes"},
      {"animate|@a.gif|--size|6145x10|--frames-dir|@.", U, "6144"},
      {"animate|@a.gif|--step|week", U, "--step is"},
      {"animate|@a.gif|--frames|0", U, "--frames takes a number from 1 to 2000"},
      {"animate|@a.gif|--frames|2001", U, "--frames takes"},
      {"animate|@a.gif|--delay|fast", U, "--delay takes"},
      {"animate|@a.gif|--frame-format|png", U, "needs --frames-dir"},
      {"animate|@a.gif|--frames-dir|@.|--frame-format|gif", U, "bmp or png"},
      {"animate", U, "animate takes"}, {"animate|@a.png", U, "must end in .gif"},
      // A bad option is named even when the data file is missing too.
      {"animate|@a.gif|@none.vdr|--to|x", U, "bad time key"},
      {"count|@missing.vdr", F, "ERROR: read_records(): fopen error"},
      {"select|--cell|1,1|--mode|zip|--data|@none", F,
       "can't read the cell table " + none + "/selections/default.sel"},
      {"generate|@g.vdr|--data|@none", F, "ERROR: init_selection(): can't read selection"},
      {"import-csv|@missing.csv|@x.vdr", F, "Can't load csv file"},
      {"import-records|@in.csv|@r.vdr", U, "import-records needs --mapping MAP.toml"},
      {"import-records|@in.csv|@r.vdr|--mapping|@bad.toml|--data|$d", U, "bad.toml:1: time: missing"},
      {"import-records|@in.csv|@r.vdr|--mapping|@none.toml|--data|$d", F, "Error: can't read"},
      {"export-csv|@s|@no/folder/x.csv", F, "can't write"},
      {"render|@out.bmp|@missing.vdr", F, "can't load data file"},
      {"render|@out.bmp|--size|8x8|--data|@none", F, "can't read map " + none},
      // A missing base map is the one message: no overlay is tried after it.
      {"map|@out.bmp|--data|@none", F,
       "ERROR: make_map(): can't read map\nError: can't read map " + none + "/maps/basemap.bmp\n"},
      // A failed save, of a frame file too, leaves the old file.
      {"animate|@o.gif|@s|--size|32x24|--frames-dir|@m|--data|$d", F, "can't write"},
      {"animate|@o.gif|@s|--size|32x24|--frames-dir|@m|--frame-format|png|--data|$d", F,
       "m/frame-0001.png"},
      {"animate|@o.gif/x.gif|@s|--size|32x24|--data|$d", F, "can't write"},
      {"render|@o.gif/x.png|@s|--size|32x24|--data|$d", F, "can't write"}};
  // clang-format on
  for (const auto& [line, code, text] : cases) {
    const CliRun r = run(split(line));
    EXPECT_EQ(r.code, code) << line << ": " << r.err;
    if (code != kExitOk) {
      EXPECT_NE(r.err.find(text), std::string::npos) << line << ": " << r.err;
      EXPECT_EQ(r.out, "") << line;
    } else {
      EXPECT_EQ(r.err, "") << line;
      EXPECT_EQ(text.ends_with('\n') ? r.out : r.out.substr(0, text.size()), text) << line;
    }
  }
  EXPECT_EQ(
      std::tuple(std::filesystem::exists(gif), std::filesystem::exists(out), test::read_file(old)),
      std::tuple(false, false, "old bytes"));
  for (const auto& entry : std::filesystem::directory_iterator(dir.root()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
  // A result stdout can't take fails the run.
  for (const char* line : {"--help", "count|@s", "report|@s|--cell|32,42|--data|$d",
                           "select|--cell|32,42|--mode|zip|--data|$d"}) {
    const CliRun r = run(split(line), std::fopen("/dev/full", "w"));
    EXPECT_TRUE(r.code == kExitFile && r.err.find("can't write") != std::string::npos)
        << line << ": " << r.err;
  }
  EXPECT_EQ(test::read_file(path("in.vdr")),
            test::hex_bytes("85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00"));
  EXPECT_TRUE(test::read_file(path("out.csv"))
                  .starts_with("START\nDay,January,1,2000\nEND\nDay,January,1,2000\n"));
  Image map;
  ASSERT_EQ(compose_map(GisSettings{0x101, 1}, kData, map), 1);
  ASSERT_EQ(write_bmp(path("expected.bmp").c_str(), map), 1);
  free_image(map);
  EXPECT_TRUE(test::read_file(path("map.bmp")) == test::read_file(path("expected.bmp")));
  EXPECT_EQ(std::tuple(test::read_file(path("small.vdr")).size(),
                       test::read_file(path("one.vdr")) == test::read_file(path("again.vdr"))),
            std::tuple(160u, true));
  auto cells = std::make_unique<CellTable>();
  ASSERT_EQ(init_selection((kData + "/selections/default.sel").c_str(), *cells), 1);
  auto store = std::make_unique<EventStore>();
  TimeState time;
  RandomState random;
  for (const char* file : {"one.vdr", "two.vdr"}) {  // --repeat 2: the second of two calls
    generate_events(kGenerateCount, *cells, random, *store, time);
    ASSERT_EQ(write_records(path("core.vdr").c_str(), *store), 1);
    EXPECT_TRUE(test::read_file(path(file)) == test::read_file(path("core.vdr"))) << file;
  }
}

// A known option the command does not take ends the run before any file is read or written.
TEST_F(Cli, AForeignOptionIsAUsageErrorAndEachCommandTakesJustTheOptionsItsUsageLineNames) {
  const std::pair<std::string, std::string> cases[] = {
      {"count|@s|--data|$d", "count takes no option --data"},
      {"report|@s|--cell|20,10|--data|$d|--size|8x8", "report takes no option --size"},
      {"select|--cell|12,3|--mode|keymap|--data|$d|--from|0x1085", "select takes no option --from"},
      {"generate|@g.vdr|--data|$d|--where|SHIFT=1", "generate takes no option --where"},
      {"import-csv|@in.csv|@x.vdr|--tilt|9", "import-csv takes no option --tilt"},
      {"export-csv|@s|@x.csv|--overlays|1", "export-csv takes no option --overlays"},
      {"map|@m.bmp|--data|$d|--frames|3", "map takes no option --frames"},
      {"render|@r.bmp|@s|--data|$d|--cell|1,1", "render takes no option --cell"},
      {"animate|@a.gif|@s|--data|$d|--count|5", "animate takes no option --count"},
      // The line's own faults come first, as before.
      {"import-csv|@in.csv|@x.vdr|--tilt", "--tilt needs a value"},
      {"count|@s|--tilt|9|--bogus", "unknown option --bogus"}};
  for (const auto& [line, text] : cases) {
    const CliRun r = run(split(line));
    EXPECT_EQ(std::tuple(r.code, r.out, r.err),
              std::tuple(kExitUsage, "", "valdrin-cli: " + text + " (try --help)\n"))
        << line;
  }
  EXPECT_EQ(test::entries_in(dir.root()), 2);  // "days.vdr" and "s"
  // Each command takes just the options its --help usage names; a taken one fails as bare.
  std::map<std::string, std::string> usage;  // command name: its usage lines
  std::string name;
  std::istringstream help(run({"--help"}).out);
  for (std::string line; std::getline(help, line);) {
    if (line.starts_with("      ") && !name.empty()) {
      usage[name] += line;
    } else if (line.starts_with("  ")) {
      name = line.substr(2, line.find(' ', 2) - 2);
      usage[name] = line.substr(2 + name.size());
    }
  }
  std::map<std::string, std::set<std::string>> takes;
  std::set<std::string> all;
  const std::regex option("--[a-z-]+");
  for (auto& [command, text] : usage) {
    if (text.find("[render options]") != std::string::npos) text += usage["render"];
    for (std::sregex_iterator at(text.begin(), text.end(), option), end; at != end; ++at) {
      takes[command].insert(at->str());
      all.insert(at->str());
    }
  }
  ASSERT_EQ(std::tuple(usage.size(), all.size()), std::tuple(12u, 30u));
  for (const auto& [command, own] : takes) {
    const std::string bare = run({command}).err;
    for (const std::string& o : all) {
      const CliRun r = o == "--no-fdr" ? run({command, o}) : run({command, o, "1"});  // a flag
      const std::string expected =
          own.contains(o) ? bare
                          : "valdrin-cli: " + command + " takes no option " + o + " (try --help)\n";
      EXPECT_EQ(std::tuple(r.code, r.err), std::tuple(kExitUsage, expected)) << command << " " << o;
    }
  }
  // Without --data, ./data serves; with none there nor installed the run fails naming both places.
  const std::filesystem::path was = std::filesystem::current_path();
  std::filesystem::current_path(dir.root());
  const CliRun missing = run(split("select|--cell|12,3|--mode|keymap"));
  const CliRun bad_mode = run(split("select|--cell|12,3|--mode|street"));
  std::filesystem::create_directory_symlink(kData, path("data"));
  const CliRun found = run(split("select|--cell|12,3|--mode|keymap"));
  std::filesystem::current_path(was);
  EXPECT_EQ(std::tuple(missing.code,
                       missing.err.rfind("valdrin-cli: can't find the data folder; looked in " +
                                             path("data") + " and /",
                                         0),
                       bad_mode.code, found.code, found.out),
            std::tuple(kExitFile, 0u, kExitUsage, kExitOk, "[[12,3]]\n"));
}

// Rendering needs no display (EGL); PNG holds the BMP's pixels top row first.
TEST_F(Cli, RenderAndAnimateWithoutADisplayShowTheMapAsBmpPngAndGif) {
  ASSERT_EQ(run(split("generate|@g.vdr|--data|$d")).code, kExitOk);
  const char* display = std::getenv("DISPLAY");
  const std::string saved = display ? display : "";
  unsetenv("DISPLAY");
  std::filesystem::create_directories(path("f"));
  std::vector<CliRun> runs;
  for (const char* line :
       {"render|@view.bmp|@g.vdr|--size|320x240|--data|$d",
        "render|@v.bmp|@days.vdr|--size|99x40|--tilt|30|--data|$d",
        "render|@v.PNG|@days.vdr|--size|99x40|--tilt|30|--data|$d",
        "render|@tilted.bmp|@g.vdr|--size|320x240|--tilt|60|--heading|30|--distance|80|--look-at|"
        "40,30|--data|$d",
        "animate|@a.gif|@days.vdr|--size|160x120|--frames|3|--delay|120|--frames-dir|@f|--data|$d"})
    runs.push_back(run(split(line)));
  if (display) setenv("DISPLAY", saved.c_str(), 1);
  for (const CliRun& r : runs) ASSERT_EQ(std::tuple(r.code, r.err), std::tuple(kExitOk, ""));
  const std::string bmp = test::read_file(path("view.bmp"));
  ASSERT_EQ(bmp.size(), 54u + 320 * 240 * 3);
  // The centre pixel shows the downtown blocks, not the empty background's grey.
  const uint8_t* centre = reinterpret_cast<const uint8_t*>(bmp.data()) + 54 + (120 * 320 + 160) * 3;
  EXPECT_TRUE(std::max({std::abs(centre[0] - 127), std::abs(centre[1] - 127),
                        std::abs(centre[2] - 127)}) > 2 &&
              centre[0] + centre[1] + centre[2] > 150);
  EXPECT_NE(test::read_file(path("tilted.bmp")), bmp);

  Image small;
  ASSERT_EQ(read_bmp(path("v.bmp").c_str(), small), 1);
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&png, path("v.PNG").c_str()), 0);
  png.format = PNG_FORMAT_RGB;
  ASSERT_EQ(std::tuple(png.width, png.height), std::tuple(99u, 40u));
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  ASSERT_NE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr), 0);
  for (int y = 0; y < 40; ++y)
    EXPECT_EQ(0, std::memcmp(pixels.data() + y * 99 * 3, at(small, 0, 39 - y), 99 * 3)) << y;
  free_image(small);
  // A GIF looping for ever (a loop count of 0), its frames following the window with its date.
  int error = 0;
  GifFileType* gif = DGifOpenFileName(path("a.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(std::tuple(gif->ImageCount, gif->SWidth, gif->SHeight), std::tuple(3, 160, 120));
  EXPECT_NE(test::read_file(path("a.gif")).find(std::string("NETSCAPE2.0\x03\x01\0\0", 16)),
            std::string::npos);

  Image frames[3], label;
  alloc_image(160, 120, 3, label);
  for (int k = 0; k < 3; ++k) {
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, k, &control), GIF_OK);
    const SavedImage& saved = gif->SavedImages[k];
    ASSERT_EQ(std::tuple(control.DelayTime, saved.ImageDesc.Width, saved.ImageDesc.Height),
              std::tuple(12, 160, 120));
    const ColorMapObject* colours =
        saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : gif->SColorMap;
    ASSERT_NE(colours, nullptr);
    char name[32], date[32];
    std::snprintf(name, sizeof name, "f/frame-%04d.bmp", k + 1);
    std::snprintf(date, sizeof date, "Day,January,%d,2002", k + 1);
    ASSERT_EQ(read_bmp(path(name).c_str(), frames[k]), 1);
    ASSERT_EQ(frames[k].width, 160);
    // Where the label paints on a blank picture the frame is the same; the GIF is the frame in
    // fewer colours, close on average, top row first.
    std::memset(label.pixels, 7, 160 * 120 * 3);
    cli::draw_label(label, date);
    long difference = 0, painted = 0, unlike = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) {
        const GifColorType c = colours->Colors[saved.RasterBits[y * 160 + x]];
        const uint8_t *p = at(frames[k], x, 119 - y), *l = at(label, x, 119 - y);
        difference += std::abs(c.Red - p[0]) + std::abs(c.Green - p[1]) + std::abs(c.Blue - p[2]);
        painted += l[0] != 7;
        unlike += l[0] != 7 && std::memcmp(l, p, 3) != 0;
      }
    EXPECT_LT(difference / (160 * 120 * 3), 6) << k;
    EXPECT_EQ(std::tuple(painted > 100, unlike), std::tuple(true, 0)) << date;
  }
  free_image(label);
  DGifCloseFile(gif, &error);
  // Above the label each step adds a column: the pictures differ.
  const size_t above = 30 * 160 * 3;
  for (int k = 1; k < 3; ++k)
    EXPECT_NE(std::memcmp(frames[k - 1].pixels + above, frames[k].pixels + above, 160 * 90 * 3), 0)
        << k;
  for (Image& f : frames) free_image(f);
}

}  // namespace valdrin::cli_test

namespace valdrin::cli_test {

// hotspots and compare as JSON and CSV; a colouring or several events per band put their legend
// in the render's bottom-left corner, events colouring at one event per band none.
TEST_F(Cli, HotSpotsCompareAndTheLegendsOfTheirColourings) {
  const CliRun hot = run(split("hotspots|@days.vdr|--data|$d|--format|csv|--distance|2"));
  EXPECT_EQ(std::tuple(hot.code, hot.out.substr(0, 27), hot.err),
            std::tuple(0, "row,column,count,z,p,class\n", ""));
  EXPECT_NE(hot.out.find("\n36,46,3,"), std::string::npos);  // a busy cell inside the city
  EXPECT_EQ(run(split("hotspots|@days.vdr|--data|$d")).out.substr(0, 44),
            "{\"distance\": 1, \"fdr\": true, \"study_cells\": ");
  // January 3 against January 2: three events come, three go.
  EXPECT_EQ(run(split("compare|@days.vdr|--from|Day,January,3,2002|--to|Night,January,3,2002|"
                      "--format|csv"))
                .out,
            "row,column,now,before,difference,z,flag\n34,44,0,3,-3,-3.4641,-2\n"
            "36,46,3,0,3,3.4641,2\n");
  const std::pair<const char*, const char*> refused[] = {
      {"compare|@days.vdr|--by|zip|--base-from|0x1085", "--base-from and --base-to go together"},
      {"compare|@days.vdr|--base-from|0x1089|--base-to|0x1085",
       "--base-from must not come after --base-to"},
      {"compare|@days.vdr|--from|Day,January,1,2000",
       "no base window before Day,January,1,2000: give --base-from and --base-to"}};
  for (const auto& [line, said] : refused)
    EXPECT_EQ(run(split(line)).err, "valdrin-cli: " + std::string(said) + " (try --help)\n");

  // More than the generator's 6000: 20000 events in one cell stand twenty to a band.
  static EventStore tower;
  tower.count = 20000;
  for (uint32_t i = 0; i < tower.count; ++i)
    tower.records[i] = test::event_at(pack_time_key(1, 1, 1, 5), 33, 42);
  ASSERT_EQ(write_records(path("tower.vdr").c_str(), tower), 1);
  const std::tuple<std::string, bool> renders[] = {{"@days.vdr", false},
                                                   {"@days.vdr|--colour-by|hotspots", true},
                                                   {"@days.vdr|--colour-by|change", true},
                                                   {"@tower.vdr", true},
                                                   {"@tower.vdr|--per-band|1", false}};
  for (const auto& [options, legend] : renders) {
    ASSERT_EQ(run(split("render|@r.bmp|--size|480x360|--data|$d|" + options)).code, 0) << options;
    Image r;
    ASSERT_EQ(read_bmp(path("r.bmp").c_str(), r), 1);
    const uint8_t* rim = at(r, 480 - 9, 8);  // the bottom-right corner, 8 pixels in
    EXPECT_EQ(rim[0] == 64 && rim[1] == 64 && rim[2] == 64 && at(r, 480 - 12, 10)[0] == 245, legend)
        << options;
    free_image(r);
  }
}

}  // namespace valdrin::cli_test
