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
#include "view/bitmap_font.h"

namespace valdrin::cli {

namespace {

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
    // Lower-case letters are drawn as capitals, the font's only letters.
    const uint8_t* rows = glyph_rows(c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c);
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
