// valdrin-about: reduces a rendered view (a 24-bit BMP, as valdrin-cli
// render writes it) to the About picture: 322 x 115 pixels, 16 colours,
// a 4-bit BMP. scripts/about_picture.sh makes resources/about.bmp with it.
#include <cstdio>

#include "core/whole_file.h"
#include "tools/about/picture.h"

int main(int argc, char** argv) {
  using namespace valdrin;
  if (argc != 3 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: valdrin-about IN.bmp OUT.bmp\n");
    return 2;
  }
  Image view;
  if (!read_bmp(argv[1], view)) {
    std::fprintf(stderr, "valdrin-about: can't read %s (a 24-bit BMP)\n", argv[1]);
    return 1;
  }
  Image small;
  const int shrunk = about::shrink_image(view, about::kPictureWidth, about::kPictureHeight, small);
  free_image(view);
  if (!shrunk) return 1;
  const about::Picture picture = about::quantize(small);
  free_image(small);
  const std::vector<uint8_t> bytes = about::bmp4_bytes(picture);
  if (!save_whole_file(argv[2], [&bytes](std::FILE* file) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 1 : 0;
      })) {
    std::fprintf(stderr, "valdrin-about: can't write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
