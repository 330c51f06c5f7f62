// PNG, GIF and the frame label. libpng reports errors by a long jump, so
// the PNG writer keeps no C++ object alive across it; giflib writes through
// a callback onto the stream the whole-file save gave us.
#include "cli/image_files.h"

#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <string>
#include <vector>

#include "core/text.h"
#include "core/whole_file.h"

namespace valdrin::cli {

namespace {

// A 5 x 7 bitmap font (the atlas tool's, with a comma), so that the label
// looks the same on every machine: no system font is read. Lower-case
// letters are drawn as capitals.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;
constexpr int kGlyphAdvance = 6;

struct Glyph {
  char c;
  uint8_t rows[kGlyphHeight];  // top row first; bit 4 is the leftmost column
};

// clang-format off
constexpr Glyph kGlyphs[] = {
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}},
    {'D', {0x1E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1E}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}},
    {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}},
    {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}},
    {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}},
    {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}},
    {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}},
    {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}},
    {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x0A, 0x04, 0x04, 0x04, 0x04}},
    {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}},
    {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}},
    {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}},
    {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}},
    {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {'/', {0x00, 0x01, 0x02, 0x04, 0x08, 0x10, 0x00}},
    {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
};
// clang-format on

const uint8_t* glyph_rows(char c) {
  static constexpr uint8_t kBlank[kGlyphHeight] = {};
  if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  for (const Glyph& g : kGlyphs)
    if (g.c == c) return g.rows;
  return kBlank;
}

int write_to_stream(GifFileType* gif, const GifByteType* bytes, int count) {
  auto* file = static_cast<std::FILE*>(gif->UserData);
  return static_cast<int>(std::fwrite(bytes, 1, static_cast<size_t>(count), file));
}

}  // namespace

bool names_png(std::string_view path) {
  return path.size() >= 4 && equals_ignore_case(path.substr(path.size() - 4), ".png");
}

int write_png(std::FILE* file, const Image& image) {
  if (image.channels != 3 || image.width <= 0 || image.height <= 0 || image.pixels == nullptr)
    return 0;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return 0;
  png_infop info = png_create_info_struct(png);
  if (info == nullptr || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
               static_cast<png_uint_32>(image.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  // PNG rows run top-down; the image's row 0 is the bottom one.
  const size_t row_bytes = static_cast<size_t>(image.width) * 3;
  for (int32_t y = image.height - 1; y >= 0; --y)
    png_write_row(png, image.pixels + static_cast<size_t>(y) * row_bytes);
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return 1;
}

int write_picture(const char* path, const Image& image) {
  if (!names_png(path)) return write_bmp(path, image);
  return save_whole_file(path, [&](std::FILE* file) { return write_png(file, image); });
}

int gif_begin(std::FILE* file, int width, int height, GifOut& out) {
  out = GifOut{};
  int error = 0;
  GifFileType* gif = EGifOpen(file, write_to_stream, &error);
  if (gif == nullptr) return 0;
  EGifSetGifVersion(gif, true);
  // The application block that makes viewers loop the frames for ever.
  static const GifByteType kLoop[] = {1, 0, 0};
  const bool ok = EGifPutScreenDesc(gif, width, height, 8, 0, nullptr) == GIF_OK &&
                  EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
                  EGifPutExtensionBlock(gif, 11, "NETSCAPE2.0") == GIF_OK &&
                  EGifPutExtensionBlock(gif, 3, kLoop) == GIF_OK &&
                  EGifPutExtensionTrailer(gif) == GIF_OK;
  if (!ok) {
    EGifCloseFile(gif, &error);
    return 0;
  }
  out = GifOut{gif, file, width, height};
  return 1;
}

int gif_add_frame(GifOut& out, const Image& frame, int delay_cs) {
  if (out.gif == nullptr || frame.width != out.width || frame.height != out.height ||
      frame.channels != 3)
    return 0;
  const size_t count = static_cast<size_t>(frame.width) * static_cast<size_t>(frame.height);
  // The quantiser takes the picture as three planes, top row first.
  std::vector<GifByteType> planes(count * 3);
  GifByteType* red = planes.data();
  GifByteType* green = red + count;
  GifByteType* blue = green + count;
  for (int32_t y = 0; y < frame.height; ++y) {
    const uint8_t* in = frame.pixels + static_cast<size_t>(frame.height - 1 - y) *
                                           static_cast<size_t>(frame.width) * 3;
    const size_t at = static_cast<size_t>(y) * static_cast<size_t>(frame.width);
    for (int32_t x = 0; x < frame.width; ++x, in += 3) {
      red[at + x] = in[0];
      green[at + x] = in[1];
      blue[at + x] = in[2];
    }
  }
  std::vector<GifByteType> indices(count);
  ColorMapObject* colours = GifMakeMapObject(256, nullptr);
  if (colours == nullptr) return 0;
  int colour_count = 256;
  bool ok =
      GifQuantizeBuffer(static_cast<unsigned>(frame.width), static_cast<unsigned>(frame.height),
                        &colour_count, red, green, blue, indices.data(), colours->Colors) == GIF_OK;
  GraphicsControlBlock control{};
  control.DisposalMode = DISPOSE_DO_NOT;
  control.UserInputFlag = false;
  control.DelayTime = delay_cs;
  control.TransparentColor = NO_TRANSPARENT_COLOR;
  GifByteType extension[4];
  const size_t extension_size = EGifGCBToExtension(&control, extension);
  ok = ok &&
       EGifPutExtension(out.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(extension_size),
                        extension) == GIF_OK &&
       EGifPutImageDesc(out.gif, 0, 0, frame.width, frame.height, false, colours) == GIF_OK;
  for (int32_t y = 0; y < frame.height && ok; ++y)
    ok = EGifPutLine(out.gif, indices.data() + static_cast<size_t>(y) * frame.width, frame.width) ==
         GIF_OK;
  GifFreeMapObject(colours);
  return ok ? 1 : 0;
}

int gif_end(GifOut& out) {
  if (out.gif == nullptr) return 0;
  int error = 0;
  const bool ok = EGifCloseFile(out.gif, &error) == GIF_OK;
  out = GifOut{};
  return ok ? 1 : 0;
}

int label_scale(int height) { return std::clamp(height / 240, 1, 8); }

void draw_label(Image& image, std::string_view text) {
  if (image.channels != 3 || image.pixels == nullptr || text.empty()) return;
  const int scale = label_scale(image.height);
  const int margin = 2 * scale;  // around the letters, inside the box
  const int box_w = (static_cast<int>(text.size()) * kGlyphAdvance - 1) * scale + 2 * margin;
  const int box_h = kGlyphHeight * scale + 2 * margin;
  const int left = 2 * scale;
  const int bottom = 2 * scale;  // image rows count from the bottom
  auto put = [&](int x, int row, uint8_t value) {
    if (x < 0 || x >= image.width || row < 0 || row >= image.height) return;
    uint8_t* p = image.pixels + (static_cast<size_t>(row) * image.width + x) * 3;
    p[0] = p[1] = p[2] = value;
  };
  for (int row = bottom; row < bottom + box_h; ++row)
    for (int x = left; x < left + box_w; ++x) put(x, row, 0);
  // Font rows run top-down: glyph row gy lands scale rows below the box top.
  const int top_row = bottom + box_h - 1 - margin;
  int x0 = left + margin;
  for (char c : text) {
    const uint8_t* rows = glyph_rows(c);
    for (int gy = 0; gy < kGlyphHeight; ++gy)
      for (int gx = 0; gx < kGlyphWidth; ++gx)
        if (rows[gy] & (0x10 >> gx))
          for (int sy = 0; sy < scale; ++sy)
            for (int sx = 0; sx < scale; ++sx)
              put(x0 + gx * scale + sx, top_row - gy * scale - sy, 255);
    x0 += kGlyphAdvance * scale;
  }
}

}  // namespace valdrin::cli
