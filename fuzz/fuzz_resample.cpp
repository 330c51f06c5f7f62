// The bilinear resampler on small sources of every shape, odd sides and
// one-pixel sides included, with 3 or 4 channels. The source is exactly as
// large as its sides say, so any read past it is caught.
// Layout: [width - 1][height - 1][channels flag][pixel bytes, repeated].
#include <cstdlib>
#include <cstring>

#include "view/image.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const int32_t width = data[0] % 80 + 1;
  const int32_t height = data[1] % 80 + 1;
  const int32_t channels = data[2] & 1 ? 4 : 3;
  data += 3;
  size -= 3;
  Image source;
  uint8_t* pixels = alloc_image(width, height, channels, source);
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * channels;
  for (size_t i = 0; size != 0 && i < bytes; ++i) pixels[i] = data[i % size];
  Image destination;
  resample_image(source, destination);
  // Sides are the powers of two at or above the source's.
  if (destination.width < width || destination.width >= 2 * width || destination.height < height ||
      destination.height >= 2 * height)
    std::abort();
  // A source of one colour resamples to that colour.
  bool flat = true;
  for (size_t i = channels; i < bytes && flat; ++i) flat = pixels[i] == pixels[i % channels];
  if (flat) {
    const size_t out = static_cast<size_t>(destination.width) * destination.height;
    for (size_t i = 0; i < out; ++i)
      if (std::memcmp(destination.pixels + 3 * i, pixels, 3) != 0) std::abort();
  }
  free_image(destination);
  free_image(source);
  return 0;
}
