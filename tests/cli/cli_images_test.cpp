// valdrin-cli's pictures and its stricter command line: animate (frame
// count and size of the GIF, its pace and loop, frames that follow the
// advancing window with the right Date label, the map still recognisable
// after colour reduction), PNG beside BMP, saves that leave an old file
// alone when they fail, results that could not be written to stdout, and
// the usage errors that used to slip through as keys, file errors or
// "can't write".
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/image_files.h"
#include "core/event.h"
#include "core/time_key.h"
#include "tests/core/test_files.h"
#include "view/image.h"

namespace valdrin {
namespace {

using Args = std::vector<std::string>;

struct CliRun {
  int code;
  std::string out, err;
};

CliRun run(const Args& args, std::FILE* out_stream = nullptr) {
  std::vector<const char*> argv = {"valdrin-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::FILE* streams[2] = {out_stream ? out_stream : std::tmpfile(), std::tmpfile()};
  const int code = run_cli(static_cast<int>(argv.size()), argv.data(), streams[0], streams[1]);
  std::string text[2];
  for (int i = out_stream ? 1 : 0; i < 2; ++i) {
    std::rewind(streams[i]);
    for (int ch; (ch = std::fgetc(streams[i])) != EOF;) text[i] += static_cast<char>(ch);
    std::fclose(streams[i]);
  }
  return CliRun{code, text[0], text[1]};
}

const std::string kData = std::string(VALDRIN_SOURCE_DIR) + "/data";

// Three events a day, on five days of January 2002, each day in its own
// cell: a window that grows by a day shows one more column.
std::string events_file(const test::ScratchDir& dir) {
  std::string bytes;
  for (uint8_t day = 1; day <= 5; ++day)
    for (int i = 0; i < 3; ++i) {
      Event e;
      e.key = pack_time_key(1, day, 1, 2);
      set_field(e, kRow, 30u + day * 2);
      set_field(e, kCol, 40u + day * 2);
      uint8_t record[kEventBytes];
      encode_event(e, record);
      bytes.append(reinterpret_cast<char*>(record), kEventBytes);
    }
  const std::string path = dir.path("days.vdr");
  test::write_file(path, bytes);
  return path;
}

Image read_picture(const std::string& path) {
  Image image;
  EXPECT_EQ(read_bmp(path.c_str(), image), 1) << path;
  return image;
}

// Pixel (x, row) of a bottom-up 3-channel image.
const uint8_t* at(const Image& image, int x, int row) {
  return image.pixels + (static_cast<size_t>(row) * image.width + x) * 3;
}

TEST(Animate, WritesALoopingGifWhoseFramesFollowTheWindowAndShowItsDate) {
  test::ScratchDir dir;
  const std::string vdr = events_file(dir);
  std::filesystem::create_directories(dir.path("frames"));
  const CliRun r = run({"animate", dir.path("a.gif"), vdr, "--size", "160x120", "--frames", "3",
                        "--delay", "120", "--frames-dir", dir.path("frames"), "--data", kData});
  ASSERT_EQ(r.code, kExitOk) << r.err;

  int error = 0;
  GifFileType* gif = DGifOpenFileName(dir.path("a.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->ImageCount, 3);
  EXPECT_EQ(gif->SWidth, 160);
  EXPECT_EQ(gif->SHeight, 120);
  bool loops = false;
  for (int i = 0; i < gif->SavedImages[0].ExtensionBlockCount; ++i) {
    const ExtensionBlock& b = gif->SavedImages[0].ExtensionBlocks[i];
    if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11 &&
        std::string(reinterpret_cast<char*>(b.Bytes), 11) == "NETSCAPE2.0")
      loops = true;
  }
  EXPECT_TRUE(loops);

  const char* dates[] = {"Day,January,1,2002", "Day,January,2,2002", "Day,January,3,2002"};
  Image frames[3];
  for (int k = 0; k < 3; ++k) {
    GraphicsControlBlock control;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, k, &control), GIF_OK);
    EXPECT_EQ(control.DelayTime, 12) << k;
    const SavedImage& saved = gif->SavedImages[k];
    ASSERT_EQ(saved.ImageDesc.Width, 160);
    ASSERT_EQ(saved.ImageDesc.Height, 120);
    const ColorMapObject* colours =
        saved.ImageDesc.ColorMap ? saved.ImageDesc.ColorMap : gif->SColorMap;
    ASSERT_NE(colours, nullptr);

    char name[32];
    std::snprintf(name, sizeof name, "frames/frame-%04d.bmp", k + 1);
    frames[k] = read_picture(dir.path(name));
    ASSERT_EQ(frames[k].width, 160);
    // The GIF is the frame with fewer colours: close on average, top row first.
    long difference = 0;
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 160; ++x) {
        const GifColorType c = colours->Colors[saved.RasterBits[y * 160 + x]];
        const uint8_t* p = at(frames[k], x, 119 - y);
        difference += std::abs(c.Red - p[0]) + std::abs(c.Green - p[1]) + std::abs(c.Blue - p[2]);
      }
    EXPECT_LT(difference / (160 * 120 * 3), 6) << k;

    // The label: wherever it paints a blank picture, the frame is the same.
    Image label;
    alloc_image(160, 120, 3, label);
    for (size_t i = 0; i < 160 * 120 * 3; ++i) label.pixels[i] = 7;
    cli::draw_label(label, dates[k]);
    int painted = 0, same = 0;
    for (size_t i = 0; i < 160 * 120 * 3; ++i)
      if (label.pixels[i] != 7) {
        ++painted;
        same += label.pixels[i] == frames[k].pixels[i];
      }
    EXPECT_GT(painted, 300) << dates[k];
    EXPECT_EQ(same, painted) << dates[k];
    free_image(label);
  }
  DGifCloseFile(gif, &error);
  // Above the label each step adds a column: the pictures differ.
  const size_t above = static_cast<size_t>(30) * 160 * 3;
  for (int k = 1; k < 3; ++k)
    EXPECT_NE(std::string(reinterpret_cast<char*>(frames[k - 1].pixels) + above, 160 * 90 * 3),
              std::string(reinterpret_cast<char*>(frames[k].pixels) + above, 160 * 90 * 3))
        << k;
  for (Image& f : frames) free_image(f);
}

TEST(Pictures, PngHoldsTheSamePixelsAsBmpTopRowFirst) {
  test::ScratchDir dir;
  const std::string vdr = events_file(dir);
  for (const char* name : {"v.bmp", "v.PNG"}) {
    const CliRun r =
        run({"render", dir.path(name), vdr, "--size", "99x40", "--tilt", "30", "--data", kData});
    ASSERT_EQ(r.code, kExitOk) << name << ": " << r.err;
  }
  Image bmp = read_picture(dir.path("v.bmp"));
  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  ASSERT_NE(png_image_begin_read_from_file(&png, dir.path("v.PNG").c_str()), 0);
  png.format = PNG_FORMAT_RGB;
  ASSERT_EQ(png.width, 99u);
  ASSERT_EQ(png.height, 40u);
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(png));
  ASSERT_NE(png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr), 0);
  for (int y = 0; y < 40; ++y)
    EXPECT_EQ(
        0, std::memcmp(pixels.data() + static_cast<size_t>(y) * 99 * 3, at(bmp, 0, 39 - y), 99 * 3))
        << "row " << y;
  free_image(bmp);
}

TEST(Saves, AFailedOutputLeavesTheOldFileAndNoTemporaryFile) {
  test::ScratchDir dir;
  const std::string vdr = events_file(dir);
  struct Case {
    Args args;
    const char* target;  // an existing file the failed run must leave alone
    const char* err;
  };
  const Case cases[] = {
      // A frame file that can't be made stops the GIF too.
      {{"animate", dir.path("old.gif"), vdr, "--size", "32x24", "--frames-dir",
        dir.path("missing")},
       "old.gif",
       "can't write"},
      {{"animate", dir.path("old.gif"), vdr, "--size", "32x24", "--frames-dir", dir.path("missing"),
        "--frame-format", "png"},
       "old.gif",
       "missing/frame-0001.png"},
      // The GIF's folder is a file: nothing can be made beside it.
      {{"animate", dir.path("old.gif/x.gif"), vdr, "--size", "32x24"}, "old.gif", "can't write"},
      {{"render", dir.path("old.gif/x.png"), vdr, "--size", "32x24"}, "old.gif", "can't write"},
  };
  for (const Case& c : cases) {
    test::write_file(dir.path(c.target), std::string("old bytes"));
    Args args = c.args;
    args.insert(args.end(), {"--data", kData});
    const CliRun r = run(args);
    EXPECT_EQ(r.code, kExitFile) << args[1];
    EXPECT_NE(r.err.find(c.err), std::string::npos) << args[1] << ": " << r.err;
    EXPECT_EQ(test::read_file(dir.path(c.target)), "old bytes") << args[1];
  }
  for (const auto& entry : std::filesystem::directory_iterator(dir.root()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp"), std::string::npos) << entry.path();
}

TEST(Stdout, AResultThatCantBeWrittenFailsTheRun) {
  test::ScratchDir dir;
  const std::string vdr = events_file(dir);
  const Args commands[] = {{"--help"},
                           {"count", vdr},
                           {"report", vdr, "--cell", "32,42", "--data", kData},
                           {"select", "--cell", "32,42", "--mode", "zip", "--data", kData}};
  for (const Args& args : commands) {
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    const CliRun r = run(args, full);
    EXPECT_EQ(r.code, kExitFile) << args[0];
    EXPECT_NE(r.err.find("can't write"), std::string::npos) << args[0] << ": " << r.err;
  }
}

TEST(Usage, BadValuesAreUsageErrorsThatSayWhatIsWrong) {
  test::ScratchDir dir;
  const std::string vdr = events_file(dir);
  const std::string gif = dir.path("a.gif");
  const std::string bmp = dir.path("a.bmp");
  struct Case {
    Args args;
    const char* err;
  };
  const Case cases[] = {
      {{"count", vdr, "--to", ""}, "bad time key \"\" for --to"},
      {{"count", vdr, "--from", ""}, "bad time key \"\" for --from"},
      {{"count", vdr, "--to", "day,,0,2000"}, "names no date"},
      {{"count", vdr, "--from", "0"}, "names no date"},
      {{"count", vdr, "--to", "Day,February,30,2001"}, "names no date"},
      {{"count", vdr, "--where", "=3"}, "field name"},
      {{"count", vdr, "--where", "SHIFT="}, "needs a value"},
      {{"count", vdr, "--where", "SHIFT=99999999999"}, "too wide for SHIFT (codes 0 to 3)"},
      {{"generate", dir.path("g.vdr"), "--count", ""}, "--count takes"},
      {{"render", bmp, "--size", "6145x10"}, "at most 6144 pixels wide"},
      {{"animate", gif, "--size", "6145x10", "--frames-dir", dir.root()}, "6144"},
      {{"animate", gif, "--step", "week"}, "--step is"},
      {{"animate", gif, "--frames", "0"}, "--frames takes a number from 1 to 2000"},
      {{"animate", gif, "--frames", "2001"}, "--frames takes"},
      {{"animate", gif, "--delay", "fast"}, "--delay takes"},
      {{"animate", gif, "--frame-format", "png"}, "needs --frames-dir"},
      {{"animate", gif, "--frames-dir", dir.root(), "--frame-format", "gif"}, "bmp or png"},
      {{"animate"}, "animate takes"},
      {{"animate", dir.path("a.png")}, "must end in .gif"},
      // A bad option is named even when the data file is missing too.
      {{"animate", gif, dir.path("none.vdr"), "--to", "x"}, "bad time key"},
  };
  for (const Case& c : cases) {
    const CliRun r = run(c.args);
    EXPECT_EQ(r.code, kExitUsage) << c.args.back();
    EXPECT_NE(r.err.find(c.err), std::string::npos) << c.args.back() << ": " << r.err;
  }
  EXPECT_FALSE(std::filesystem::exists(gif));
  // Letter case doesn't matter for names: modes and steps as fields do.
  EXPECT_EQ(run({"select", "--cell", "32,42", "--mode", "ZIP", "--data", kData}).code, kExitOk);
  // Files the core could not read are named.
  const std::string none = dir.path("none");
  EXPECT_NE(run({"select", "--cell", "1,1", "--mode", "zip", "--data", none})
                .err.find("can't read the cell table " + none + "/selections/default.sel"),
            std::string::npos);
  EXPECT_NE(
      run({"map", bmp, "--data", none}).err.find("can't read map " + none + "/maps/basemap.bmp"),
      std::string::npos);
  const CliRun render = run({"render", bmp, "--size", "8x8", "--data", none});
  EXPECT_EQ(render.code, kExitFile);
  EXPECT_NE(render.err.find("can't read map " + none), std::string::npos) << render.err;
}

}  // namespace
}  // namespace valdrin
