// Speed of valdrin-cli's animate: 24 frames of 640 x 480 over the shipped
// city and a generated data set, each frame drawn headless, labelled,
// colour-reduced and added to the GIF (the command as a user runs it,
// start-up of the context and the scene included).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"

namespace valdrin {
namespace {

int run(std::vector<std::string> args) {
  std::vector<const char*> argv = {"valdrin-cli"};
  for (const auto& a : args) argv.push_back(a.c_str());
  std::FILE* sink = std::fopen("/dev/null", "w");
  const int code = run_cli(static_cast<int>(argv.size()), argv.data(), sink, sink);
  std::fclose(sink);
  return code;
}

void animate_24_frames_640x480(benchmark::State& state) {
  const std::string data = std::string(VALDRIN_SOURCE_DIR) + "/data";
  const auto root = std::filesystem::temp_directory_path() / "valdrin-cli-bench";
  std::filesystem::create_directories(root);
  const std::string events = (root / "g.vdr").string();
  const std::string gif = (root / "a.gif").string();
  if (run({"generate", events, "--data", data}) != 0) state.SkipWithError("generate failed");
  for (auto _ : state)
    if (run({"animate", gif, events, "--size", "640x480", "--tilt", "45", "--data", data}) != 0)
      state.SkipWithError("animate failed");
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}
BENCHMARK(animate_24_frames_640x480)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace valdrin

BENCHMARK_MAIN();
