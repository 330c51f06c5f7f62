// Drawing without any window system: an EGL context on Mesa's surfaceless
// platform with a framebuffer object of its own (colour and 24-bit depth),
// for the command-line render, the pixel tests and the benchmarks.
#pragma once

#include "view/image.h"

namespace valdrin {

struct HeadlessGl {
  void* display = nullptr;
  void* context = nullptr;
  unsigned framebuffer = 0;
  unsigned color = 0;
  unsigned depth = 0;
  int width = 0;
  int height = 0;
};

// Creates a compatibility-profile context, makes it current and binds a
// width x height framebuffer. Return 1, or 0 (with a message) when no such
// context can be had; then nothing stays open.
int open_headless_gl(int width, int height, HeadlessGl& gl);

void close_headless_gl(HeadlessGl& gl);

// Reads the colour buffer last drawn into a new 3-channel image, bottom row
// first, as a snapshot holds it.
void read_frame(int width, int height, Image& image);

}  // namespace valdrin
