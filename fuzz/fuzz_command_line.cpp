// The command lines that take new options, run in-process: the viewer's own
// (file, --data, --to, flags) and valdrin-cli's hotspots and compare over an
// empty event file. The input is the arguments, split at NUL bytes. Neither
// command writes a file, whatever it is given; each either runs or refuses
// with a usage message.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "cli/commands.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  std::vector<std::string> args;
  const char* text = reinterpret_cast<const char*>(data);
  for (size_t at = 0; at <= size && args.size() < 12;) {
    const void* nul = std::memchr(text + at, '\0', size - at);
    const size_t end = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : size;
    args.emplace_back(text + at, end - at);
    at = end + 1;
  }
  std::vector<const char*> viewer = {"valdrin"};
  for (const std::string& a : args) viewer.push_back(a.c_str());
  StartOptions options;
  parse_start_options(static_cast<int>(viewer.size()), viewer.data(), options);
  for (const char* command : {"hotspots", "compare"}) {
    std::vector<const char*> argv = {"valdrin-cli", command, "/dev/null"};
    for (const std::string& a : args) argv.push_back(a.c_str());
    const int code = run_cli(static_cast<int>(argv.size()), argv.data(), sink, sink);
    if (code != kExitOk && code != kExitFile && code != kExitUsage) std::abort();
  }
  return 0;
}
