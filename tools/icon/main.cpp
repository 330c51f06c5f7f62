// valdrin-icon: writes the application icon into a folder as the desktop
// expects it: DIR/scalable/apps/valdrin.svg and DIR/NxN/apps/valdrin.png
// for each size (the layout of share/icons/hicolor). The build runs it.
#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "core/whole_file.h"
#include "tools/icon/icon.h"

namespace {

using namespace valdrin;

int write_png(std::FILE* file, const std::vector<uint8_t>& rgba, int size) {
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
  if (info == nullptr) {
    png_destroy_write_struct(&png, nullptr);
    return 0;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return 0;
  }
  png_init_io(png, file);
  png_set_IHDR(png, info, size, size, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < size; ++y)
    png_write_row(png, rgba.data() + static_cast<size_t>(y) * size * 4);
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return 1;
}

bool save(const std::filesystem::path& path, const std::function<int(std::FILE*)>& write) {
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (!error && save_whole_file(path.c_str(), write)) return true;
  std::fprintf(stderr, "valdrin-icon: can't write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: valdrin-icon DIR\n");
    return 2;
  }
  const std::filesystem::path dir = argv[1];
  const std::vector<icon::Shape> shapes = icon::icon_shapes();
  const std::string svg = icon::icon_svg(shapes);
  bool ok = save(dir / "scalable/apps/valdrin.svg", [&svg](std::FILE* file) {
    return std::fwrite(svg.data(), 1, svg.size(), file) == svg.size() ? 1 : 0;
  });
  for (const int size : icon::kSizes) {
    const std::vector<uint8_t> rgba = icon::icon_pixels(shapes, size);
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    ok = save(dir / name / "apps/valdrin.png",
              [&](std::FILE* file) { return write_png(file, rgba, size); }) &&
         ok;
  }
  return ok ? 0 : 1;
}
