// Shrinking, median-cut quantisation and the 4-bit BMP of the About picture.
// Everything is integer arithmetic in a fixed order, so the same render
// always gives the same bytes.
#include "tools/about/picture.h"

#include <algorithm>
#include <array>
#include <map>

namespace valdrin::about {

namespace {

struct Colour {
  std::array<uint8_t, 3> rgb;
  uint32_t count;
};

using Box = std::vector<Colour>;

// The channel with the widest range in the box, and that range.
std::pair<int, int> widest_channel(const Box& box) {
  int best = 0, best_range = -1;
  for (int c = 0; c < 3; ++c) {
    int low = 255, high = 0;
    for (const Colour& colour : box) {
      low = std::min<int>(low, colour.rgb[c]);
      high = std::max<int>(high, colour.rgb[c]);
    }
    if (high - low > best_range) best = c, best_range = high - low;
  }
  return {best, best_range};
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
  put16(out, v & 0xFFFFu);
  put16(out, v >> 16);
}

}  // namespace

int shrink_image(const Image& source, int32_t width, int32_t height, Image& destination) {
  if (width <= 0 || height <= 0 || source.channels != 3 || source.width <= 0 ||
      source.height <= 0 || source.pixels == nullptr)
    return 0;
  alloc_image(width, height, 3, destination);
  for (int32_t y = 0; y < height; ++y) {
    const int64_t y0 = int64_t{y} * source.height / height;
    const int64_t y1 = std::max(y0 + 1, int64_t{y + 1} * source.height / height);
    for (int32_t x = 0; x < width; ++x) {
      const int64_t x0 = int64_t{x} * source.width / width;
      const int64_t x1 = std::max(x0 + 1, int64_t{x + 1} * source.width / width);
      uint64_t sum[3] = {};
      for (int64_t sy = y0; sy < y1; ++sy)
        for (int64_t sx = x0; sx < x1; ++sx)
          for (int c = 0; c < 3; ++c) sum[c] += source.pixels[(sy * source.width + sx) * 3 + c];
      const uint64_t n = static_cast<uint64_t>((y1 - y0) * (x1 - x0));
      for (int c = 0; c < 3; ++c)
        destination.pixels[(int64_t{y} * width + x) * 3 + c] =
            static_cast<uint8_t>((sum[c] + n / 2) / n);
    }
  }
  return 1;
}

Picture quantize(const Image& image) {
  Picture picture;
  picture.width = image.width;
  picture.height = image.height;
  const size_t n = static_cast<size_t>(image.width) * static_cast<size_t>(image.height);
  std::map<std::array<uint8_t, 3>, uint32_t> histogram;
  for (size_t i = 0; i < n; ++i)
    ++histogram[{image.pixels[3 * i], image.pixels[3 * i + 1], image.pixels[3 * i + 2]}];

  std::vector<Box> boxes(1);
  for (const auto& [rgb, count] : histogram) boxes[0].push_back({rgb, count});
  while (boxes.size() < kPaletteSize) {
    // Split the box whose widest channel is widest; boxes of one colour
    // cannot be split.
    int pick = -1, pick_range = 0, channel = 0;
    for (size_t b = 0; b < boxes.size(); ++b) {
      if (boxes[b].size() < 2) continue;
      const auto [c, range] = widest_channel(boxes[b]);
      if (range > pick_range) pick = static_cast<int>(b), pick_range = range, channel = c;
    }
    if (pick < 0) break;
    Box& box = boxes[static_cast<size_t>(pick)];
    std::stable_sort(box.begin(), box.end(), [channel](const Colour& a, const Colour& b) {
      return a.rgb[channel] < b.rgb[channel];
    });
    uint64_t total = 0;
    for (const Colour& colour : box) total += colour.count;
    uint64_t seen = 0;
    size_t cut = 1;
    for (; cut < box.size() - 1; ++cut) {
      seen += box[cut - 1].count;
      if (2 * seen >= total) break;
    }
    Box upper(box.begin() + static_cast<std::ptrdiff_t>(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }

  for (size_t b = 0; b < boxes.size(); ++b) {
    uint64_t sum[3] = {}, count = 0;
    for (const Colour& colour : boxes[b]) {
      for (int c = 0; c < 3; ++c) sum[c] += uint64_t{colour.rgb[c]} * colour.count;
      count += colour.count;
    }
    for (int c = 0; c < 3; ++c)
      picture.palette[b][c] = static_cast<uint8_t>(count ? (sum[c] + count / 2) / count : 0);
  }

  // Each colour to its nearest palette entry; the first of equals wins.
  std::map<std::array<uint8_t, 3>, uint8_t> nearest;
  for (const auto& entry : histogram) {
    int best = 0;
    int best_distance = 1 << 30;
    for (size_t b = 0; b < boxes.size(); ++b) {
      int distance = 0;
      for (int c = 0; c < 3; ++c) {
        const int d = int{entry.first[c]} - int{picture.palette[b][c]};
        distance += d * d;
      }
      if (distance < best_distance) best = static_cast<int>(b), best_distance = distance;
    }
    nearest[entry.first] = static_cast<uint8_t>(best);
  }
  picture.indices.resize(n);
  for (size_t i = 0; i < n; ++i)
    picture.indices[i] =
        nearest[{image.pixels[3 * i], image.pixels[3 * i + 1], image.pixels[3 * i + 2]}];
  return picture;
}

std::vector<uint8_t> bmp4_bytes(const Picture& picture) {
  const uint32_t row_bytes = ((static_cast<uint32_t>(picture.width) * 4 + 31) / 32) * 4;
  const uint32_t pixel_bytes = row_bytes * static_cast<uint32_t>(picture.height);
  const uint32_t offset = 14 + 40 + 4 * kPaletteSize;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  put32(out, offset + pixel_bytes);
  put32(out, 0);
  put32(out, offset);
  put32(out, 40);
  put32(out, static_cast<uint32_t>(picture.width));
  put32(out, static_cast<uint32_t>(picture.height));
  put16(out, 1);
  put16(out, 4);
  put32(out, 0);  // no compression
  put32(out, pixel_bytes);
  put32(out, 2835);  // 72 dots per inch
  put32(out, 2835);
  put32(out, kPaletteSize);
  put32(out, 0);
  for (const auto& entry : picture.palette) {
    out.push_back(entry[2]);
    out.push_back(entry[1]);
    out.push_back(entry[0]);
    out.push_back(0);
  }
  for (int32_t y = 0; y < picture.height; ++y) {
    std::vector<uint8_t> row(row_bytes, 0);
    for (int32_t x = 0; x < picture.width; ++x) {
      const uint8_t index = picture.indices[static_cast<size_t>(y) * picture.width + x] & 15;
      row[static_cast<size_t>(x) / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace valdrin::about
