// The viewer's command line.
#include "app/command_line.h"

#include <string_view>

#include "core/time_key.h"

namespace valdrin {

const char kStartUsage[] =
    "usage: valdrin [FILE.vdr] [--data DIR] [--to KEY] [--reset-settings]\n"
    "       valdrin --help | --version\n"
    "Opens the viewer of incident records. FILE.vdr is loaded at start-up as\n"
    "File > Load Data.. loads it.\n"
    "  --data DIR        the data folder (maps, overlays, cell table); default ./data,\n"
    "                    else the installed one (<prefix>/share/valdrin/data)\n"
    "  --to KEY          after start-up, the time window's end at KEY, a date label\n"
    "                    such as Night,January,31,2024\n"
    "  --reset-settings  forget the saved window, panels and choices; start as on a\n"
    "                    first start\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "Settings are kept in $XDG_CONFIG_HOME/valdrin/valdrin.conf (default ~/.config).\n";

std::string parse_start_options(int argc, const char* const* argv, StartOptions& options) {
  options = StartOptions{};
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const auto value = [&](std::string_view& into) {
      if (i + 1 >= argc || argv[i + 1][0] == '\0') return false;
      into = argv[++i];
      return true;
    };
    std::string_view text;
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--reset-settings") {
      options.reset_settings = true;
    } else if (arg == "--quit-after-start") {
      options.quit_after_start = true;
    } else if (arg == "--data") {
      if (!value(text)) return "--data needs a folder";
      options.data = text;
    } else if (arg == "--to") {
      uint16_t key = 0;
      if (!value(text)) return "--to needs a date label";
      if (!parse_time_label(text, key) || !names_a_day(key))
        return "bad time key \"" + std::string(text) + "\" for --to: a date label such as " +
               "Night,January,31,2024 names a day";
      options.window_end = key;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + std::string(arg);
    } else if (!options.file.empty()) {
      return "one file at most (" + options.file + ", " + std::string(arg) + ")";
    } else {
      options.file = arg;
    }
  }
  return "";
}

}  // namespace valdrin
