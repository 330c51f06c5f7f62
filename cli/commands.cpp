// valdrin-cli's dispatcher: the table of commands that the dispatch and
// --help both read, a command taking just the options its usage line names;
// the message sink that prints the core's messages on stderr as "CAPTION:
// text"; and the exit code of a run. A result that could not be written to
// stdout (a full disk, a closed pipe) fails the run with exit code 1 rather
// than passing for success.
#include "cli/commands.h"

#include <memory>
#include <string>
#include <string_view>

#include "cli/command_table.h"
#include "core/message.h"

namespace valdrin {

namespace {

using cli::Command;

constexpr Command kCommands[] = {
    {"count", "IN.vdr [--from KEY] [--to KEY] [--where FIELD=VALUE]...", cli::command_count},
    {"report",
     "IN.vdr --cell ROW,COL [--from KEY] [--to KEY] [--where FIELD=VALUE]... [--data DIR]",
     cli::command_report},
    {"select", "--cell ROW,COL --mode keymap|council|zip [--data DIR]", cli::command_select},
    {"generate", "OUT.vdr [--count N] [--repeat K] [--data DIR]", cli::command_generate},
    {"import-csv", "IN.csv OUT.vdr [--data DIR]", cli::command_import},
    {"export-csv", "IN.vdr OUT.csv [--data DIR]", cli::command_export},
    {"import-records", "IN.csv OUT.vdr --mapping MAP.toml [--rejects REJECTS.csv] [--data DIR]",
     cli::command_import_records},
    {"map", "OUT.bmp|OUT.png [--map 0|1] [--overlays MASK] [--data DIR]", cli::command_map},
    {"render",
     "OUT.bmp|OUT.png [IN.vdr] [--size WxH] [--from KEY] [--to KEY] [--where FIELD=VALUE]...\n"
     "      [--heading DEG] [--tilt DEG] [--distance D] [--look-at X,Y] [--map 0|1]\n"
     "      [--overlays MASK] [--colour-by events|hotspots|change] [--neighbourhood D]\n"
     "      [--no-fdr] [--per-band K|auto] [--data DIR]",
     cli::command_render},
    {"animate",
     "OUT.gif [IN.vdr] [--step shift|day|month|year] [--frames N] [--delay MS]\n"
     "      [--frames-dir DIR [--frame-format bmp|png]] [render options]",
     cli::command_animate},
    {"hotspots",
     "IN.vdr [--from KEY] [--to KEY] [--where FIELD=VALUE]... [--distance D] [--no-fdr]\n"
     "      [--format json|csv] [--data DIR]",
     cli::command_hotspots},
    {"compare",
     "IN.vdr [--from KEY] [--to KEY] [--base-from KEY --base-to KEY] [--by cell|district|zip]\n"
     "      [--format json|csv] [--where FIELD=VALUE]... [--data DIR]",
     cli::command_compare},
};

constexpr const char* kNotes =
    "KEY is a date label such as \"Day,January,1,2000\" or a raw key (decimal or 0x hex)\n"
    "naming a real date.\n"
    "FIELD is a filterable CSV column (SHIFT, DIVISION, ..., REASON); VALUE a code or a list "
    "item.\n"
    "MASK is the overlay flags, bit n painting overlay n (decimal or 0x hex, default 0x0034);\n"
    "--map 0 is the base map, 1 the city council map.\n"
    "Pictures are PNG when the name ends in .png, BMP (at most 6144 pixels wide) otherwise.\n"
    "animate plays the time window: N frames (default 24, at most 2000), the Window end\n"
    "stepping by the step (default day) after each, MS per frame (default 500), looping.\n"
    "DIR is the data folder (default ./data, else the installed one,\n"
    "<prefix>/share/valdrin/data).\n"
    "hotspots: Gi* of every cell with a zip area over the window's counts, weights 1 within\n"
    "D cells (default 1, at most 3), classes at 90/95/99% with the false discovery rate\n"
    "unless --no-fdr. compare: the window against the base window (default: as long, just\n"
    "before it), z = 2 (sqrt(now) - sqrt(before)). --colour-by tints render and animate by\n"
    "either, with a legend; --per-band K draws K events per band (auto: the data's choice).\n"
    "import-records reads an analyst's own export through a TOML mapping (README, \"Your own\n"
    "records\"); rows that can't be placed go to REJECTS.csv as line,reason,row. Exit 2 on a\n"
    "bad mapping, naming its line.\n";

void print_usage(std::FILE* out) {
  std::fputs("usage: valdrin-cli COMMAND ...\n", out);
  for (const Command& c : kCommands) std::fprintf(out, "  %s %s\n", c.name, c.usage);
  std::fputs(kNotes, out);
}

// The usage text whose options `c` takes: its own, and that of each command
// it names as "[NAME options]" (animate takes all of render's).
std::string options_text(const Command& c) {
  std::string text = c.usage;
  for (const Command& other : kCommands) {
    std::string mention = "[";
    mention.append(other.name).append(" options]");
    if (std::string_view(c.usage).find(mention) != std::string_view::npos)
      text.append(" ").append(other.usage);
  }
  return text;
}

void print_message(void* context, const char* caption, const char* text) {
  std::fprintf(static_cast<std::FILE*>(context), "%s: %s\n", caption, text);
}

int run_command(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const std::string_view name = argc > 1 ? argv[1] : "";
  if (name == "--help" || name == "-h" || name == "help") {
    print_usage(out);
    return kExitOk;
  }
  if (name == "--version") {
    std::fputs("valdrin-cli " VALDRIN_VERSION "\n", out);
    return kExitOk;
  }
  for (const Command& c : kCommands) {
    if (name != c.name) continue;
    const cli::Options options = cli::parse_options(argc, argv, options_text(c));
    auto session = std::make_unique<AnalysisState>();
    return c.run(options, *session, cli::Streams{out, err});
  }
  throw cli::UsageError{name.empty() ? "no command given" : "unknown command " + std::string(name)};
}

}  // namespace

int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err) {
  const MessageSink previous = set_message_sink(MessageSink{print_message, err});
  int code = kExitUsage;
  try {
    code = run_command(argc, argv, out, err);
    if (code == kExitOk && (std::fflush(out) != 0 || std::ferror(out))) {
      std::fputs("Error: can't write the output\n", err);
      code = kExitFile;
    }
  } catch (const cli::DataFolderError& e) {
    std::fprintf(err, "valdrin-cli: %s (name one with --data DIR)\n", e.text.c_str());
    code = kExitFile;
  } catch (const cli::UsageError& e) {
    std::fprintf(err, "valdrin-cli: %s (try --help)\n", e.text.c_str());
    code = kExitUsage;
  }
  set_message_sink(previous);
  return code;
}

}  // namespace valdrin
