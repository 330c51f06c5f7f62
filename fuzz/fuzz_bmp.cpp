// The BMP reader on any bytes. An image it accepts must write back and read
// again to the same pixels: the reader and the writer agree on the variant.
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "view/image.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = fuzz::stage_file("in.bmp", data, size);
  Image image;
  if (!read_bmp(path.c_str(), image)) {
    if (image.pixels != nullptr) std::abort();  // a refusal allocates nothing
    return 0;
  }
  if (image.channels != 3 || image.width <= 0 || image.height <= 0) std::abort();
  const std::string again = fuzz::scratch_dir() + "/again.bmp";
  if (!write_bmp(again.c_str(), image)) std::abort();
  Image copy;
  if (!read_bmp(again.c_str(), copy)) std::abort();
  const size_t bytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3;
  if (copy.width != image.width || copy.height != image.height ||
      std::memcmp(copy.pixels, image.pixels, bytes) != 0)
    std::abort();
  free_image(copy);
  free_image(image);
  return 0;
}
