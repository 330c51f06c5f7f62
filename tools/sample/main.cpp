// valdrin-sample: writes the sample city's incidents, examples/sample-city.vdr
// and the import listing examples/sample-city.csv that reproduces it, and the
// same incidents as a response-to-resistance export for import-records
// (examples/sample-city-resistance.csv). Same bytes on every run and every
// machine.
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/cell_table.h"
#include "core/message.h"
#include "core/whole_file.h"
#include "geo/geo.h"
#include "tools/sample/resistance_export.h"
#include "tools/sample/sample_city.h"

namespace {

void print_message(void*, const char* caption, const char* text) {
  std::fprintf(stderr, "%s: %s\n", caption, text);
}

}  // namespace

int main(int argc, char** argv) {
  std::string data = "data";
  std::string out = "examples";
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--data" && i + 1 < argc) {
      data = argv[++i];
    } else if (!arg.empty() && arg[0] != '-' && positional == 0) {
      out = argv[i];
      ++positional;
    } else {
      std::fprintf(
          stderr,
          "usage: valdrin-sample [--data DATA_DIR] [OUT_DIR]   (default: data, examples)\n");
      return 2;
    }
  }
  valdrin::set_message_sink(valdrin::MessageSink{print_message, nullptr});
  auto cells = std::make_unique<valdrin::CellTable>();
  const std::string selection = data + "/selections/default.sel";
  if (!valdrin::init_selection(selection.c_str(), *cells)) return 1;
  std::vector<valdrin::sample::Incident> incidents;
  if (!valdrin::sample::make_sample(valdrin::atlas::the_city(), *cells, incidents)) {
    std::fprintf(stderr, "valdrin-sample: no cell of %s has a zip area\n", selection.c_str());
    return 1;
  }
  if (!valdrin::sample::write_sample(incidents, out)) {
    std::fprintf(stderr, "valdrin-sample: can't write the sample into %s\n", out.c_str());
    return 1;
  }
  valdrin::Georeference georeference;
  std::string error, text;
  if (!valdrin::read_georeference(data + "/" + valdrin::kGeoreferenceFile, georeference, error) ||
      !valdrin::sample::resistance_export(incidents, *cells, georeference, text, error)) {
    std::fprintf(stderr, "valdrin-sample: %s\n", error.c_str());
    return 1;
  }
  const std::string export_path = out + "/" + valdrin::sample::kResistanceExport;
  if (!valdrin::save_whole_file(export_path.c_str(), [&](std::FILE* file) {
        return std::fwrite(text.data(), 1, text.size(), file) == text.size() ? 1 : 0;
      })) {
    std::fprintf(stderr, "valdrin-sample: can't write %s\n", export_path.c_str());
    return 1;
  }
  std::printf("valdrin-sample: wrote %zu incidents to %s/sample-city.vdr and %s/sample-city.csv\n",
              incidents.size(), out.c_str(), out.c_str());
  std::printf("valdrin-sample: wrote them as an export to %s\n", export_path.c_str());
  return 0;
}
