// The looks of the colourings and their legend.
#include "view/column_style.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "view/bitmap_font.h"

namespace valdrin {

namespace {

struct Rgb8 {
  uint8_t r, g, b;
};

// A diverging blue-grey-red scale, cold (or fewer) to hot (or more).
constexpr Rgb8 kDiverging[7] = {{33, 102, 172},  {103, 169, 207}, {209, 229, 240}, {204, 204, 204},
                                {253, 219, 199}, {239, 138, 98},  {178, 24, 43}};

struct LegendLine {
  int8_t shade;  // index into kDiverging
  const char* text;
};

constexpr LegendLine kHotSpotLines[] = {
    {6, "HOT SPOT 99%"},  {5, "HOT SPOT 95%"},  {4, "HOT SPOT 90%"}, {3, "NOT SIGNIFICANT"},
    {2, "COLD SPOT 90%"}, {1, "COLD SPOT 95%"}, {0, "COLD SPOT 99%"}};
constexpr LegendLine kChangeLines[] = {{6, "MORE, Z >= 3"},
                                       {5, "MORE, Z >= 2"},
                                       {3, "NO CLEAR CHANGE"},
                                       {1, "FEWER, Z <= -2"},
                                       {0, "FEWER, Z <= -3"}};

// The palette entry of a class: hot spots use all seven, change skips the
// palest pair.
int shade_of(uint8_t colouring, int cell_class) {
  if (colouring == kColourByChange)
    cell_class = cell_class == 0 ? 0 : cell_class > 0 ? cell_class + 1 : cell_class - 1;
  return 3 + std::max(-3, std::min(3, cell_class));
}

ColumnLook tinted_look(const Rgb8& tint, float brightness) {
  const float rgb[3] = {tint.r / 255.0f, tint.g / 255.0f, tint.b / 255.0f};
  ColumnLook look{};
  for (int k = 0; k < 3; ++k) {
    look.top[k] = rgb[k] * brightness;
    for (int f = 0; f < 4; ++f) look.sides[f][k] = rgb[k] * kSideGreys[f];
  }
  return look;
}

}  // namespace

ColumnLook column_look(uint32_t /*count*/, bool selected, uint8_t colouring, int cell_class) {
  const float brightness = selected ? kSelectedGrey : 1.0f;
  if (colouring == kColourByHotSpots || colouring == kColourByChange)
    return tinted_look(kDiverging[shade_of(colouring, cell_class)], brightness);
  ColumnLook look{{brightness, brightness, brightness}, {}};
  for (int f = 0; f < 4; ++f)
    for (float& channel : look.sides[f]) channel = kSideGreys[f];
  return look;
}

int make_legend(uint8_t colouring, uint16_t events_per_band, Image& legend) {
  std::vector<LegendLine> lines;
  const char* title = nullptr;
  if (colouring == kColourByHotSpots) {
    title = "HOT SPOTS (GI*)";
    lines.assign(std::begin(kHotSpotLines), std::end(kHotSpotLines));
  } else if (colouring == kColourByChange) {
    title = "CHANGE FROM THE BASE WINDOW";
    lines.assign(std::begin(kChangeLines), std::end(kChangeLines));
  }
  char band[48] = {};
  if (events_per_band > 1) std::snprintf(band, sizeof band, "1 BAND = %u EVENTS", events_per_band);
  if (title == nullptr && band[0] == '\0') return 0;

  constexpr int kScale = 2, kPad = 6, kSwatch = 16, kGap = 6;
  const int line_height = kGlyphHeight * kScale + 6;
  std::vector<std::pair<const char*, int>> rows;  // text, shade (-1: none)
  if (title != nullptr) rows.emplace_back(title, -1);
  for (const LegendLine& line : lines) rows.emplace_back(line.text, line.shade);
  if (band[0] != '\0') rows.emplace_back(band, -1);
  int width = 0;
  for (const auto& [text, shade] : rows)
    width = std::max(width, (shade >= 0 ? kSwatch + kGap : 0) + text_width(text, kScale));
  width += 2 * kPad;
  const int height = static_cast<int>(rows.size()) * line_height + 2 * kPad - 6;
  alloc_image(width, height, 3, legend);
  // A light box with a dark rim, so that it reads over any map.
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const bool rim = x == 0 || y == 0 || x == width - 1 || y == height - 1;
      std::memset(legend.pixels + (y * width + x) * 3, rim ? 64 : 245, 3);
    }
  // Picture rows grow downward; the image's rows run bottom up.
  const auto put = [&legend, width, height](int x, int y, const Rgb8& c) {
    uint8_t* p = legend.pixels + ((height - 1 - y) * width + x) * 3;
    p[0] = c.r, p[1] = c.g, p[2] = c.b;
  };
  int top = kPad;
  for (const auto& [text, shade] : rows) {
    int left = kPad;
    if (shade >= 0) {
      for (int y = 0; y < kGlyphHeight * kScale; ++y)
        for (int x = 0; x < kSwatch; ++x)
          put(left + x, top + y,
              (x == 0 || y == 0 || x == kSwatch - 1 || y == kGlyphHeight * kScale - 1)
                  ? Rgb8{64, 64, 64}
                  : kDiverging[shade]);
      left += kSwatch + kGap;
    }
    draw_text(text, left, top, kScale, kScale, [&](int x, int y) { put(x, y, {20, 20, 20}); });
    top += line_height;
  }
  return 1;
}

}  // namespace valdrin
