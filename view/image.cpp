// Image records: allocation, the 24-bit BMP reader and writer, and the
// bilinear resampler. The reader checks the whole file against its header
// before it allocates, so a refused file never leaves memory behind; both
// directions move one row per read or write call through a fixed buffer.
#include "view/image.h"

#include <cstdio>
#include <cstring>

#include "core/whole_file.h"

namespace valdrin {

namespace {

constexpr int kHeaderBytes = 54;
constexpr int kInfoHeaderBytes = 40;
constexpr int kPixelsPerMetre = 2835;  // 72 dots per inch

uint32_t get_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t get_u16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void put_u32(uint8_t* p, uint32_t value) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(value >> (8 * i));
}

void put_u16(uint8_t* p, uint16_t value) {
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
}

// Bytes per file row, pad included; wide enough not to overflow for any
// 32-bit width so that the limit check itself is safe.
int64_t bmp_row_bytes(int32_t width) {
  const int64_t bytes = static_cast<int64_t>(width) * 3;
  return bytes + (4 - bytes % 4) % 4;
}

// Smallest power of two at or above `side`, capped at the largest texture
// side printing uses.
int32_t texture_side(int32_t side) {
  int32_t result = 1;
  while (result < side && result < 1024) result *= 2;
  return result;
}

// The source coordinate of destination index `i`: the product is exact in
// 64 bits, the quotient is taken in double and then rounded to float, which
// is the precision the sampling weights are defined in.
float source_position(int32_t source_side, int32_t i, int32_t destination_side) {
  if (destination_side < 2) return 0.0f;
  const int64_t product = static_cast<int64_t>(source_side - 2) * i;
  return static_cast<float>(static_cast<double>(product) / (destination_side - 1));
}

}  // namespace

uint8_t* alloc_image(int32_t width, int32_t height, int32_t channels, Image& image) {
  image.width = width;
  image.height = height;
  image.channels = channels;
  const size_t bytes =
      width > 0 && height > 0 && channels > 0
          ? static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels)
          : 0;
  image.pixels = new uint8_t[bytes]();
  return image.pixels;
}

void free_image(Image& image) {
  delete[] image.pixels;
  image = Image{};
}

int read_bmp(const char* path, Image& image) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  uint8_t header[kHeaderBytes] = {};
  const bool have_header = std::fread(header, 1, kHeaderBytes, file) == kHeaderBytes;
  const int32_t width = static_cast<int32_t>(get_u32(header + 18));
  const int32_t height = static_cast<int32_t>(get_u32(header + 22));
  const int64_t row_bytes = bmp_row_bytes(width);
  // Only the signature, size, depth and compression fields count. The depth
  // must be exactly 24: a depth of 25-31 would also give 3 bytes per pixel
  // but is no variant anyone writes. The rows are always taken to start
  // right after the 54 header bytes, whatever the offset field says, so a
  // file with a larger information header or a gap before its rows is read
  // from byte 54 all the same.
  bool ok = have_header && header[0] == 'B' && header[1] == 'M' && get_u16(header + 28) == 24 &&
            get_u32(header + 30) == 0 && width > 0 && height > 0 && row_bytes <= kMaxBmpRowBytes;
  if (ok) {
    // A short file is refused up front rather than found out after the
    // allocation, which also keeps absurd heights from allocating at all.
    ok = std::fseek(file, 0, SEEK_END) == 0 &&
         std::ftell(file) - kHeaderBytes >= row_bytes * height &&
         std::fseek(file, kHeaderBytes, SEEK_SET) == 0;
  }
  if (!ok) {
    std::fclose(file);
    return 0;
  }

  Image result;
  alloc_image(width, height, 3, result);
  uint8_t row[kMaxBmpRowBytes];
  for (int32_t y = 0; y < height && ok; ++y) {
    ok = std::fread(row, 1, static_cast<size_t>(row_bytes), file) == static_cast<size_t>(row_bytes);
    uint8_t* out = result.pixels + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
    for (int32_t x = 0; x < width; ++x, out += 3) {
      out[0] = row[3 * x + 2];
      out[1] = row[3 * x + 1];
      out[2] = row[3 * x];
    }
  }
  std::fclose(file);
  if (!ok) {  // the file shrank between the size check and the reads
    free_image(result);
    return 0;
  }
  image = result;
  return 1;
}

int write_bmp(const char* path, const Image& image) {
  if (image.channels != 3 || image.width <= 0 || image.height <= 0 || image.pixels == nullptr)
    return 0;
  const int64_t row_bytes = bmp_row_bytes(image.width);
  if (row_bytes > kMaxBmpRowBytes) return 0;

  uint8_t header[kHeaderBytes] = {'B', 'M'};
  put_u32(header + 2, static_cast<uint32_t>(kHeaderBytes + row_bytes * image.height));
  put_u32(header + 10, kHeaderBytes);
  put_u32(header + 14, kInfoHeaderBytes);
  put_u32(header + 18, static_cast<uint32_t>(image.width));
  put_u32(header + 22, static_cast<uint32_t>(image.height));
  put_u16(header + 26, 1);   // planes
  put_u16(header + 28, 24);  // bits per pixel
  put_u32(header + 38, kPixelsPerMetre);
  put_u32(header + 42, kPixelsPerMetre);

  // Whole or not at all: a failed write leaves the file it was replacing.
  return save_whole_file(path, [&](std::FILE* file) {
    bool ok = std::fwrite(header, 1, kHeaderBytes, file) == kHeaderBytes;
    // The pad bytes past the pixels are never touched, so they stay zero.
    uint8_t row[kMaxBmpRowBytes] = {};
    for (int32_t y = 0; y < image.height && ok; ++y) {
      const uint8_t* in =
          image.pixels + static_cast<size_t>(y) * static_cast<size_t>(image.width) * 3;
      for (int32_t x = 0; x < image.width; ++x, in += 3) {
        row[3 * x] = in[2];
        row[3 * x + 1] = in[1];
        row[3 * x + 2] = in[0];
      }
      ok = std::fwrite(row, 1, static_cast<size_t>(row_bytes), file) ==
           static_cast<size_t>(row_bytes);
    }
    return ok ? 1 : 0;
  });
}

void resample_image(const Image& source, Image& destination) {
  const int32_t src_w = source.width;
  const int32_t src_h = source.height;
  const int32_t dst_w = texture_side(src_w);
  const int32_t dst_h = texture_side(src_h);
  alloc_image(dst_w, dst_h, 3, destination);
  // Nothing to sample: the destination stays black.
  if (src_w <= 0 || src_h <= 0 || source.channels < 3 || source.pixels == nullptr) return;

  const size_t channels = static_cast<size_t>(source.channels);
  // A source one pixel across has no right (or upper) neighbour; its single
  // column (row) is used for both with weight 0 on the missing one.
  const size_t right = src_w >= 2 ? channels : 0;
  const size_t up = src_h >= 2 ? static_cast<size_t>(src_w) * channels : 0;
  uint8_t* out = destination.pixels;
  for (int32_t y = 0; y < dst_h; ++y) {
    const float sy = source_position(src_h, y, dst_h);
    const int32_t iy = static_cast<int32_t>(sy);
    const float fy = sy - static_cast<float>(iy);
    for (int32_t x = 0; x < dst_w; ++x, out += 3) {
      const float sx = source_position(src_w, x, dst_w);
      const int32_t ix = static_cast<int32_t>(sx);
      const float fx = sx - static_cast<float>(ix);
      const uint8_t* l0 =
          source.pixels + (static_cast<size_t>(iy) * static_cast<size_t>(src_w) + ix) * channels;
      const uint8_t* r0 = l0 + right;
      const uint8_t* l1 = l0 + up;
      const uint8_t* r1 = l1 + right;
      for (int c = 0; c < 3; ++c) {
        // Each blend is formed in double, where the products are exact, and
        // rounded once to float; weights summing to 1 then can't push a
        // constant area below its value before truncation.
        const float row0 = static_cast<float>((1.0 - fx) * l0[c] + static_cast<double>(fx) * r0[c]);
        const float row1 = static_cast<float>((1.0 - fx) * l1[c] + static_cast<double>(fx) * r1[c]);
        const float v = static_cast<float>((1.0 - fy) * row0 + static_cast<double>(fy) * row1);
        out[c] = static_cast<uint8_t>(static_cast<int>(v));
      }
    }
  }
}

}  // namespace valdrin
