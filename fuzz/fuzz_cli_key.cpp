// KEY parsing of the command-line tool, run in-process: "count" over an
// empty event file with any --from and --to text. The input holds both
// texts, split at the first NUL byte.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/commands.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  if (sink == nullptr) std::abort();
  const char* text = reinterpret_cast<const char*>(data);
  const void* nul = std::memchr(text, '\0', size);
  const size_t split = nul ? static_cast<size_t>(static_cast<const char*>(nul) - text) : size;
  const std::string from(text, split);
  const std::string to = split < size ? std::string(text + split + 1, size - split - 1) : "";
  const char* argv[] = {"valdrin-cli", "count", "/dev/null", "--from",
                        from.c_str(),  "--to",  to.c_str()};
  const int code = run_cli(7, argv, sink, sink);
  if (code != kExitOk && code != kExitFile && code != kExitUsage) std::abort();
  return 0;
}
