// Image records: allocation, the 24-bit BMP reader and writer, and the
// bilinear resampler. The reader checks the whole file against its header
// before it allocates, so a refused file never leaves memory behind; both
// directions move one row per read or write call through a fixed buffer.
// The resampler, the cost of every printout, blends each source row it
// needs once and reuses the blends for all destination rows between the
// same pair of rows.
#include "view/image.h"

#include <cstdio>
#include <cstring>
#include <vector>

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

// Where destination index `i` samples: the lower source index of its pair
// and the weight of the upper one. The position (source side - 2) * i /
// (destination side - 1) takes its product exactly in 64 bits, its quotient
// in double, rounded to float, which is the precision the weights are
// defined in.
struct Sample {
  int32_t index = 0;
  float fraction = 0;
};

Sample sample_at(int32_t source_side, int32_t i, int32_t destination_side) {
  if (destination_side < 2 || source_side < 2) return Sample{};
  const int64_t product = static_cast<int64_t>(source_side - 2) * i;
  const float position = static_cast<float>(static_cast<double>(product) / (destination_side - 1));
  Sample s;
  s.index = static_cast<int32_t>(position);
  s.fraction = position - static_cast<float>(s.index);
  // On a side of more than 2^24 pixels the rounding to float can carry the
  // position past the last pair (the pixel it names is then the last one):
  // the pair is held at the last two pixels, and the weight on the upper
  // one, so nothing outside the source is read.
  if (s.index > source_side - 2) {
    s.index = source_side - 2;
    s.fraction = 1.0f;
  }
  return s;
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
  const size_t row_bytes = static_cast<size_t>(src_w) * channels;
  // A source one pixel across has no right (or upper) neighbour; its single
  // column (row) is used for both with weight 0 on the missing one.
  const size_t right = src_w >= 2 ? channels : 0;
  const size_t up = src_h >= 2 ? row_bytes : 0;

  // The column pairs and weights are the same on every row, so they are
  // worked out once. Offsets are of the left pixel within a source row.
  std::vector<size_t> left(static_cast<size_t>(dst_w));
  std::vector<double> weight_right(static_cast<size_t>(dst_w));
  for (int32_t x = 0; x < dst_w; ++x) {
    const Sample s = sample_at(src_w, x, dst_w);
    left[static_cast<size_t>(x)] = static_cast<size_t>(s.index) * channels;
    weight_right[static_cast<size_t>(x)] = s.fraction;
  }

  // The horizontal blends of one source row serve every destination row
  // that samples it: two rows of them are kept, for the lower and the
  // upper row of the current pair, and computed only when the pair moves.
  const size_t blend_count = static_cast<size_t>(dst_w) * 3;
  std::vector<float> blended[2] = {std::vector<float>(blend_count),
                                   std::vector<float>(blend_count)};
  int64_t blended_row[2] = {-1, -1};  // source row offset each one holds
  auto blend_row = [&](size_t offset, std::vector<float>& out) {
    const uint8_t* row = source.pixels + offset;
    float* o = out.data();
    for (int32_t x = 0; x < dst_w; ++x, o += 3) {
      const uint8_t* l = row + left[static_cast<size_t>(x)];
      const uint8_t* r = l + right;
      const double fx = weight_right[static_cast<size_t>(x)];
      // Formed in double, where the products are exact, and rounded once to
      // float; weights summing to 1 then can't push a constant area below
      // its value before truncation.
      for (int c = 0; c < 3; ++c) o[c] = static_cast<float>((1.0 - fx) * l[c] + fx * r[c]);
    }
  };
  auto row_of = [&](size_t offset) -> const float* {
    for (int k = 0; k < 2; ++k)
      if (blended_row[k] == static_cast<int64_t>(offset)) return blended[k].data();
    // Destination rows only move up the source, so the slot holding the
    // lower row is the one no longer needed.
    const int k = blended_row[0] < blended_row[1] ? 0 : 1;
    blend_row(offset, blended[k]);
    blended_row[k] = static_cast<int64_t>(offset);
    return blended[k].data();
  };

  uint8_t* out = destination.pixels;
  for (int32_t y = 0; y < dst_h; ++y, out += blend_count) {
    const Sample s = sample_at(src_h, y, dst_h);
    const size_t lower = static_cast<size_t>(s.index) * row_bytes;
    const float* row0 = row_of(lower);
    const float* row1 = row_of(lower + up);
    const double fy = s.fraction;
    for (size_t i = 0; i < blend_count; ++i) {
      const float v = static_cast<float>((1.0 - fy) * row0[i] + fy * row1[i]);
      out[i] = static_cast<uint8_t>(static_cast<int>(v));
    }
  }
}

}  // namespace valdrin
