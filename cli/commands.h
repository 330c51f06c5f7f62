// valdrin-cli's commands, callable in-process: the tool's main and the tests
// both go through run_cli.
#pragma once

#include <cstdio>

namespace valdrin {

// Exit codes of every command.
constexpr int kExitOk = 0;
constexpr int kExitFile = 1;   // a file can't be read or written, nothing generated
constexpr int kExitUsage = 2;  // unknown command, option, field or value

// Runs one command line (argv[0] is the program name). Results go to `out`,
// messages and usage errors to `err`.
int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace valdrin
