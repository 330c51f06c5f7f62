// The image family of valdrin-cli: map (the composed map image), render
// (one headless frame of the scene) and animate (the time window played
// as the Timeline Panel plays it, one headless frame per step, as an
// animated GIF and optionally as numbered picture files).
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#include "cli/command_table.h"
#include "cli/image_files.h"
#include "core/message.h"
#include "core/text.h"
#include "core/time_key.h"
#include "core/whole_file.h"
#include "view/headless.h"
#include "view/scene.h"

namespace valdrin::cli {

namespace {

// Writes and releases an image made by a command; its exit code.
int write_image(std::string_view path, Image& image, std::FILE* err) {
  const std::string out = path_of(path);
  const int written = write_picture(out.c_str(), image);
  free_image(image);
  if (!written) {
    std::fprintf(err, "Error: can't write %s\n", out.c_str());
    return kExitFile;
  }
  return kExitOk;
}

std::string base_map_path(const Options& o, const GisSettings& gis) {
  return data_folder(o) + "/" + kBaseMaps[map_choice(gis) & 1];
}

void parse_pair(std::string_view text, char separator, const char* option, std::string_view& first,
                std::string_view& second) {
  const size_t at = text.find(separator);
  if (at == std::string_view::npos)
    throw UsageError{std::string(option) + " takes two values joined by '" + separator + "'"};
  first = text.substr(0, at);
  second = text.substr(at + 1);
}

// What a headless frame is drawn with: its size, camera and map settings.
struct FrameSetup {
  int width = 1024;
  int height = 768;
  ViewState view;
  GisSettings gis;
};

// --size, the camera options and the map options. `bmp` says whether any
// frame goes into a BMP file, whose rows hold at most kMaxBmpWidth pixels.
FrameSetup parse_frame_setup(const Options& o, bool bmp) {
  FrameSetup f;
  if (o.size) {
    std::string_view w, h;
    parse_pair(*o.size, 'x', "--size", w, h);
    uint32_t wv = 0, hv = 0;
    if (!parse_unsigned(w, wv) || !parse_unsigned(h, hv) || wv < 1 || hv < 1 || wv > 8192 ||
        hv > 8192)
      throw UsageError{"--size takes WxH, each from 1 to 8192"};
    if (bmp && wv > static_cast<uint32_t>(kMaxBmpWidth))
      throw UsageError{"--size: a BMP is at most " + std::to_string(kMaxBmpWidth) +
                       " pixels wide (write a .png for wider pictures)"};
    f.width = static_cast<int>(wv);
    f.height = static_cast<int>(hv);
  }
  if (o.heading) f.view.heading = std::clamp(parse_real(*o.heading, "--heading"), -180.0f, 180.0f);
  if (o.tilt) f.view.tilt = std::clamp(parse_real(*o.tilt, "--tilt"), -90.0f, 90.0f);
  if (o.distance) f.view.distance = std::max(parse_real(*o.distance, "--distance"), 5.0f);
  if (o.look_at) {
    std::string_view x, y;
    parse_pair(*o.look_at, ',', "--look-at", x, y);
    f.view.look_at[0] = parse_real(x, "--look-at");
    f.view.look_at[1] = parse_real(y, "--look-at");
  }
  f.gis = parse_gis(o);
  return f;
}

// Passes messages on to the command's sink and notes whether setting up
// the scene failed to read the base map or the cell table.
struct WatchedSink {
  MessageSink outer;
  bool map_failed = false;
  bool cells_failed = false;

  static void show(void* context, const char* caption, const char* text) {
    auto* self = static_cast<WatchedSink*>(context);
    if (std::strncmp(text, "make_map(", 9) == 0) self->map_failed = true;
    if (std::strncmp(text, "init_selection(", 15) == 0) self->cells_failed = true;
    if (self->outer.show != nullptr) self->outer.show(self->outer.context, caption, text);
  }
};

// A headless context with the scene set up over a session: opened by
// open_renderer, drawn by draw, closed by its destructor.
class Renderer {
 public:
  ~Renderer() {
    if (!open_) return;
    free_scene();
    close_headless_gl(gl_);
  }

  // Return 1, or 0 after saying on `err` what could not be had.
  int open(const Options& o, const FrameSetup& setup, AnalysisState& s, std::FILE* err) {
    const std::string data = data_folder(o);  // may throw: before anything is opened
    if (!open_headless_gl(setup.width, setup.height, gl_)) return 0;
    open_ = true;
    setup_ = setup;
    WatchedSink watch;
    watch.outer = set_message_sink(MessageSink{WatchedSink::show, &watch});
    scene_ = std::make_unique<Scene>();
    state_ = &s;
    s.gis = setup.gis;
    choose_band_scale(s);
    init_scene(*scene_, s, data);
    setup_.view.events_per_band = scene_->events_per_band;
    set_message_sink(watch.outer);
    if (watch.cells_failed)
      std::fprintf(err, "Error: can't read the cell table %s\n", selection_path(o).c_str());
    if (watch.map_failed)
      std::fprintf(err, "Error: can't read map %s\n", base_map_path(o, setup.gis).c_str());
    if (watch.cells_failed || watch.map_failed) return 0;
    resize_view(setup_.view, static_cast<int16_t>(setup.width), static_cast<int16_t>(setup.height));
    return 1;
  }

  // Counts the session's window again (after it changed) and draws it.
  void rebuild() { rebuild_columns(*scene_, *state_); }

  // Draws the scene and reads it into a new image. Frames after the first
  // redraw only what the last step changed: the same pixels, sooner.
  void draw(Image& frame) {
    redraw_view(*scene_, setup_.view);
    read_frame(setup_.width, setup_.height, frame);
  }

 private:
  bool open_ = false;
  HeadlessGl gl_;
  FrameSetup setup_;
  std::unique_ptr<Scene> scene_;
  AnalysisState* state_ = nullptr;
};

}  // namespace

int command_map(const Options& o, AnalysisState&, const Streams& io) {
  expect_positional(o, 1, "map");
  const GisSettings gis = parse_gis(o);
  Image image;
  if (!compose_map(gis, data_folder(o), image)) {
    std::fprintf(io.err, "Error: can't read map %s\n", base_map_path(o, gis).c_str());
    return kExitFile;
  }
  return write_image(o.positional[0], image, io.err);
}

int command_render(const Options& o, AnalysisState& s, const Streams& io) {
  if (o.positional.empty() || o.positional.size() > 2)
    throw UsageError{"render takes OUT.bmp or OUT.png and an optional IN.vdr"};
  const FrameSetup setup = parse_frame_setup(o, !names_png(o.positional[0]));
  check_filter(o);
  apply_analysis(o, s);
  if (o.positional.size() == 2 && !load_store(o.positional[1], s, io.err)) return kExitFile;
  apply_filter(o, s);
  Renderer renderer;
  if (!renderer.open(o, setup, s, io.err)) return kExitFile;
  Image frame;
  renderer.draw(frame);
  return write_image(o.positional[0], frame, io.err);
}

namespace {

constexpr uint32_t kMaxFrames = 2000;

struct AnimateSetup {
  uint8_t step = kStepDay;
  uint32_t frames = 24;
  int delay_cs = 50;  // the playback pace: one step per 500 ms tick
  bool png_frames = false;
};

AnimateSetup parse_animate(const Options& o) {
  AnimateSetup a;
  if (o.step) {
    constexpr const char* kUnits[] = {"shift", "day", "month", "year"};
    int unit = -1;
    for (int i = 0; i < 4; ++i)
      if (equals_ignore_case(*o.step, kUnits[i])) unit = i;
    if (unit < 0) throw UsageError{"--step is shift, day, month or year"};
    a.step = static_cast<uint8_t>(unit);
  }
  if (o.frames) a.frames = parse_count(*o.frames, "--frames", 1, kMaxFrames);
  // GIF delays are hundredths of a second in 16 bits.
  if (o.delay)
    a.delay_cs = static_cast<int>((parse_count(*o.delay, "--delay", 10, 655350) + 5) / 10);
  if (o.frame_format) {
    if (equals_ignore_case(*o.frame_format, "png"))
      a.png_frames = true;
    else if (!equals_ignore_case(*o.frame_format, "bmp"))
      throw UsageError{"--frame-format is bmp or png"};
  }
  if (o.frame_format && !o.frames_dir) throw UsageError{"--frame-format needs --frames-dir"};
  if (o.frames_dir && o.frames_dir->empty()) throw UsageError{"--frames-dir needs a folder"};
  return a;
}

}  // namespace

int command_animate(const Options& o, AnalysisState& s, const Streams& io) {
  if (o.positional.empty() || o.positional.size() > 2)
    throw UsageError{"animate takes OUT.gif and an optional IN.vdr"};
  const std::string_view name = o.positional[0];
  if (name.size() < 4 || !equals_ignore_case(name.substr(name.size() - 4), ".gif"))
    throw UsageError{"animate writes a GIF: OUT.gif must end in .gif"};
  const AnimateSetup a = parse_animate(o);
  const FrameSetup setup = parse_frame_setup(o, o.frames_dir && !a.png_frames);
  check_filter(o);
  apply_analysis(o, s);
  if (o.positional.size() == 2 && !load_store(o.positional[1], s, io.err)) return kExitFile;
  // The window as the Timeline Panel starts it after a load: the Window
  // start at the First key and the Window end at the time-window reset's
  // key, each unless given.
  reset_window_end(s.time, s.query);
  if (o.to) s.query.key = parse_key(*o.to, "--to");
  s.time.window_start = o.from ? parse_key(*o.from, "--from") : s.time.first_key;
  for (std::string_view clause : o.where) apply_where(clause, s.query);

  Renderer renderer;
  if (!renderer.open(o, setup, s, io.err)) return kExitFile;
  const bool progress = isatty(fileno(io.err)) != 0;
  const std::string out = path_of(o.positional[0]);
  std::string failed;  // the file that could not be written, if any
  const int saved = save_whole_file(out.c_str(), [&](std::FILE* file) {
    GifOut gif;
    if (!gif_begin(file, setup.width, setup.height, gif)) return 0;
    for (uint32_t k = 1; k <= a.frames; ++k) {
      if (k > 1) {
        step_time_forward(s.query.key, a.step);  // a wrap past 2031 goes on, as playback does
        renderer.rebuild();
      }
      Image frame;
      renderer.draw(frame);
      char label[kDateLabelSize];
      format_time_key(s.query.key, label);
      draw_label(frame, label);
      bool ok = gif_add_frame(gif, frame, a.delay_cs) == 1;
      if (ok && o.frames_dir) {
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04u.%s", k, a.png_frames ? "png" : "bmp");
        const std::string path = path_of(*o.frames_dir) + name;
        if (!write_picture(path.c_str(), frame)) {
          failed = path;
          ok = false;
        }
      }
      free_image(frame);
      if (progress) std::fprintf(io.err, "\rframe %u of %u", k, a.frames);
      if (!ok) break;
      if (k == a.frames) {
        if (progress) std::fputc('\n', io.err);
        return gif_end(gif);
      }
    }
    if (progress) std::fputc('\n', io.err);
    gif_end(gif);
    return 0;
  });
  if (!saved) {
    std::fprintf(io.err, "Error: can't write %s\n", failed.empty() ? out.c_str() : failed.c_str());
    return kExitFile;
  }
  return kExitOk;
}

}  // namespace valdrin::cli
