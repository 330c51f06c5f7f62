// The picture files valdrin-cli writes itself: PNG (libpng) beside the
// BMP the view layer writes, animated GIF (giflib), and the Date label
// drawn into a frame. Every file goes through save_whole_file, so a failed
// write leaves an existing file as it was.
#pragma once

#include <cstdio>
#include <string_view>

#include "view/image.h"

struct GifFileType;

namespace valdrin::cli {

// True when `path` ends in ".png" in any letter case.
bool names_png(std::string_view path);

// Writes a 3-channel image as PNG when `path` names one, else as BMP.
// Return 1, or 0 when the file could not be written whole.
int write_picture(const char* path, const Image& image);

// The widest image a BMP row can hold.
constexpr int kMaxBmpWidth = kMaxBmpRowBytes / 3;

// Writes `image` as an 8-bit RGB PNG on `file`, top row first. Return 1/0.
int write_png(std::FILE* file, const Image& image);

// An animated GIF being written on a stream: a screen of the first
// frame's size, looping for ever, each frame with its own 256-colour table.
struct GifOut {
  GifFileType* gif = nullptr;
  std::FILE* file = nullptr;
  int width = 0;
  int height = 0;
};

// Starts the GIF on `file`. Return 1/0 (then nothing is left open).
int gif_begin(std::FILE* file, int width, int height, GifOut& out);
// Adds one frame of the screen's size shown for `delay_cs` hundredths of a
// second. Return 1/0.
int gif_add_frame(GifOut& out, const Image& frame, int delay_cs);
// Ends the GIF and releases it; harmless when it was never begun.
// Return 1 when every byte was handed to the stream.
int gif_end(GifOut& out);

// Draws `text` (a Date label) white on a black box in the lower-left
// corner, with font pixels scaled to the frame's height so that it stays
// readable; letters outside the frame are clipped.
void draw_label(Image& image, std::string_view text);

// The label's font pixel size for a frame `height` rows high.
int label_scale(int height);

}  // namespace valdrin::cli
