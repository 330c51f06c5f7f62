// The event data loader on any bytes: whatever it loads must be a store the
// rest of the program can use, so every record is also counted and written
// as an export line.
#include <cstdlib>
#include <cstring>

#include "core/csv.h"
#include "core/query.h"
#include "core/store.h"
#include "fuzz/fuzz_support.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silence_messages();
  static EventStore store;
  static CountTables counts;
  TimeState time;
  const std::string path = fuzz::stage_file("in.vdr", data, size);
  if (!read_records(path.c_str(), store, time)) std::abort();  // a plain file always loads
  if (store.count != (size / kEventBytes < kStoreCapacity ? size / kEventBytes : kStoreCapacity))
    std::abort();
  Event query;
  default_query(query);
  reset_window_end(time, query);
  count_events(store, query, time, counts);
  char line[kCsvLineSize];
  for (uint32_t i = 0; i < store.count; ++i)
    if (format_csv_event(store.records[i], AreaTable{}, line) >= kCsvLineSize) std::abort();
  return 0;
}
