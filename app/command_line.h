// The viewer's command line, read before anything else so that --help and
// --version answer without a display or OpenGL. Plain code: no Qt, so that
// it runs before the application object exists.
//
//   valdrin [FILE.vdr] [--data DIR] [--to KEY] [--reset-settings]
//   valdrin --help | --version
//
// Qt's own options (-platform and the like) are not taken; its environment
// variables (QT_QPA_PLATFORM, ...) are.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace valdrin {

struct StartOptions {
  std::string file;                    // loaded at start-up as "Load Data.." loads it
  std::string data;                    // --data DIR; "" searches (core/data_folder.h)
  std::optional<uint16_t> window_end;  // --to KEY, set after start-up and the load
  bool help = false;
  bool version = false;
  bool reset_settings = false;  // forget the saved settings, then start as a first start
  // Scripted checks of an installation: messages go to stderr instead of
  // boxes, and once start-up (with the load) is done the viewer prints what
  // it holds and ends with exit code 0.
  bool quit_after_start = false;
};

// Reads argv[1..]. Return "" with `options` filled, or the usage error.
std::string parse_start_options(int argc, const char* const* argv, StartOptions& options);

// What --help prints.
extern const char kStartUsage[];

}  // namespace valdrin
