// Speed of the map rebuild that runs on every change in the GIS Panel (a
// 1024 x 1024 base map and all ten overlays read from disk), of its parts,
// and of the resampling a printout makes of a window capture.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "view/image.h"
#include "view/map_layers.h"

namespace valdrin {
namespace {

constexpr int32_t kSide = 1024;
constexpr size_t kMaskBytes = kSide * kSide / 8;  // 131072

// A data folder under the temporary folder with a 1024 x 1024 base map and
// ten masks, removed when the benchmark ends. `dense` masks have random
// bits in every byte; otherwise one byte in sixteen is nonzero, nearer to
// what thin roads and labels make.
class MapData {
 public:
  explicit MapData(bool dense) {
    root_ = (std::filesystem::temp_directory_path() /
             ("valdrin-view-bench-" + std::to_string(reinterpret_cast<uintptr_t>(this))))
                .string();
    std::filesystem::create_directories(root_ + "/maps");
    std::filesystem::create_directories(root_ + "/overlays");
    uint32_t seed = 12345;
    auto next = [&seed] {
      seed = seed * 1103515245u + 12345u;
      return static_cast<uint8_t>(seed >> 16);
    };
    Image map;
    alloc_image(kSide, kSide, 3, map);
    for (size_t i = 0; i < static_cast<size_t>(kSide) * kSide * 3; ++i) map.pixels[i] = next();
    write_bmp((root_ + "/maps/basemap.bmp").c_str(), map);
    free_image(map);
    std::string mask(kMaskBytes, '\0');
    for (const OverlayLayer& layer : kOverlays) {
      for (size_t k = 0; k < kMaskBytes; ++k) {
        const uint8_t bits = next();
        mask[k] = static_cast<char>(dense || k % 16 == 0 ? bits : 0);
      }
      std::FILE* file = std::fopen((root_ + "/" + layer.file).c_str(), "wb");
      std::fwrite(mask.data(), 1, mask.size(), file);
      std::fclose(file);
    }
  }
  ~MapData() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  const std::string& root() const { return root_; }

 private:
  std::string root_;
};

void compose(benchmark::State& state, bool dense, uint16_t flags) {
  MapData data(dense);
  GisSettings gis;
  gis.overlay_flags = flags;
  for (auto _ : state) {
    Image image;
    if (!compose_map(gis, data.root(), image)) state.SkipWithError("compose_map failed");
    benchmark::DoNotOptimize(image.pixels);
    free_image(image);
  }
}

void compose_all_overlays_dense(benchmark::State& state) { compose(state, true, 0x03FF); }
BENCHMARK(compose_all_overlays_dense)->Unit(benchmark::kMillisecond);

void compose_all_overlays_sparse(benchmark::State& state) { compose(state, false, 0x03FF); }
BENCHMARK(compose_all_overlays_sparse)->Unit(benchmark::kMillisecond);

void compose_initial_settings(benchmark::State& state) { compose(state, false, 0x0034); }
BENCHMARK(compose_initial_settings)->Unit(benchmark::kMillisecond);

void read_base_map(benchmark::State& state) {
  MapData data(false);
  const std::string path = data.root() + "/maps/basemap.bmp";
  for (auto _ : state) {
    Image image;
    if (!read_bmp(path.c_str(), image)) state.SkipWithError("read_bmp failed");
    benchmark::DoNotOptimize(image.pixels);
    free_image(image);
  }
}
BENCHMARK(read_base_map)->Unit(benchmark::kMillisecond);

void resample_capture(benchmark::State& state) {
  // A capture about the size of the main window.
  Image capture;
  alloc_image(1008, 729, 3, capture);
  for (size_t i = 0; i < static_cast<size_t>(1008) * 729 * 3; ++i)
    capture.pixels[i] = static_cast<uint8_t>(i * 31);
  for (auto _ : state) {
    Image texture;
    resample_image(capture, texture);
    benchmark::DoNotOptimize(texture.pixels);
    free_image(texture);
  }
  free_image(capture);
}
BENCHMARK(resample_capture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
