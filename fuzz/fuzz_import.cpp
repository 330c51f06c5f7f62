// The records import on any bytes, mapping and export together: the input is
// a mapping's TOML, a line "====", then the CSV; without that line the bytes
// are the CSV under a fixed mapping that reads every kind of column. The
// import either fails with a message or accounts for every row (an event, a
// row joined to one, a reject or a row left out) and writes sorted records.
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "core/event.h"
#include "fuzz/fuzz_support.h"
#include "records/import.h"

using namespace valdrin;

namespace {

constexpr std::string_view kMapping =
    "[time]\ncolumns = [\"D\", \"T\"]\nformat = [\"%m/%d/%Y %I:%M %p\", \"%Y%j %H%M\", "
    "\"%d-%b-%y\"]\nnight_after_midnight = \"previous_day\"\n"
    "[place]\nlongitude = \"LON\"\nlatitude = \"LAT\"\nzip = \"ZIP\"\ndistrict = \"DIST\"\n"
    "[incident]\ncolumn = \"NO\"\nofficer_id = \"O\"\nsubject_id = \"S\"\n"
    "[fields.orace]\ncolumn = \"R\"\ntable = { w = \"White\" }\n"
    "[fields.sage]\ncolumn = \"AGE\"\nyears = true\n"
    "[fields.injury]\ncolumns = [\"OI\", \"SI\"]\ntable = { \"y|n\" = 2 }\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silence_messages();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find("\n====\n");
  const std::string_view mapping = cut == std::string_view::npos ? kMapping : input.substr(0, cut);
  const std::string_view csv = cut == std::string_view::npos ? input : input.substr(cut + 6);
  records::ImportRequest request;
  request.mapping_path = fuzz::stage_file(
      "map.toml", reinterpret_cast<const uint8_t*>(mapping.data()), mapping.size());
  request.csv_path =
      fuzz::stage_file("in.csv", reinterpret_cast<const uint8_t*>(csv.data()), csv.size());
  request.out_path = fuzz::scratch_dir() + "/out.vdr";
  request.rejects_path = fuzz::scratch_dir() + "/rejects.csv";
  request.data_folder = VALDRIN_DATA_DIR;
  records::ImportSummary summary;
  std::string error;
  if (!records::import_records(request, summary, error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  uint64_t accounted = summary.events + summary.grouped + summary.left_out;
  for (uint64_t n : summary.rejected) accounted += n;
  if (accounted != summary.rows) std::abort();
  std::FILE* out = std::fopen(request.out_path.c_str(), "rb");
  if (out == nullptr) std::abort();
  uint8_t record[kEventBytes];
  uint16_t last = 0;
  uint64_t count = 0;
  while (std::fread(record, 1, kEventBytes, out) == kEventBytes) {
    const Event e = decode_event(record);
    if (e.key < last || get_field(e, kCol) >= kNoCol || get_field(e, kRow) >= kNoRow) std::abort();
    last = e.key;
    ++count;
  }
  std::fclose(out);
  if (count != summary.events) std::abort();
  return 0;
}
