// The CSV importer on any bytes: a load succeeds, keeps the store sorted and
// within its capacity, and every imported record exports.
#include <cstdlib>

#include "core/csv.h"
#include "core/store.h"
#include "fuzz/fuzz_support.h"

using namespace valdrin;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::silence_messages();
  static EventStore store;
  TimeState time;
  const std::string path = fuzz::stage_file("in.csv", data, size);
  if (!import_csv(path.c_str(), store, time, AreaTable{})) std::abort();
  if (store.count > kStoreCapacity) std::abort();
  char line[kCsvLineSize];
  for (uint32_t i = 0; i < store.count; ++i) {
    if (i > 0 && store.records[i - 1].key > store.records[i].key) std::abort();
    if (format_csv_event(store.records[i], AreaTable{}, line) >= kCsvLineSize) std::abort();
  }
  return 0;
}
