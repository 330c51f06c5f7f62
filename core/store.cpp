// Event data file loading and saving, sorting and the data keys.
#include "core/store.h"

#include <algorithm>
#include <cstdio>

#include "core/message.h"
#include "core/time_key.h"
#include "core/whole_file.h"

namespace valdrin {

int compare_time_keys(const Event& a, const Event& b) {
  return a.key < b.key ? -1 : (a.key > b.key ? 1 : 0);
}

void sort_store(EventStore& store) {
  std::stable_sort(store.records, store.records + store.count,
                   [](const Event& a, const Event& b) { return compare_time_keys(a, b) < 0; });
}

void set_data_keys(const EventStore& store, TimeState& time) {
  if (store.count == 0) {
    time.first_key = kFirstValidKey;
    time.last_key = kLastValidKey;
  } else {
    time.first_key = store.records[0].key;
    time.last_key = store.records[store.count - 1].key;
  }
  time.window_start = time.first_key;
}

void say_left_out(const char* operation, const char* what, uint64_t left_out) {
  if (left_out == 0) return;
  char text[160];
  std::snprintf(text, sizeof text, "%s: the store holds %u records; %llu more %swere left out",
                operation, kStoreCapacity, static_cast<unsigned long long>(left_out), what);
  show_message("ERROR", text);
}

int read_records(const char* path, EventStore& store, TimeState& time) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) {
    show_message("ERROR", "read_records(): fopen error");
    return 0;
  }
  // The file is read whole into a staging area first, so that a read that
  // fails half-way leaves the store as it was. One program, one thread: a
  // static area spares 96 KB of stack.
  static uint8_t staging[kStoreCapacity * kEventBytes];
  uint8_t record[kEventBytes];
  uint32_t count = 0;
  uint64_t left_out = 0;
  for (;;) {
    uint8_t* target = count < kStoreCapacity ? staging + count * kEventBytes : record;
    if (std::fread(target, 1, kEventBytes, file) != kEventBytes) break;
    if (count < kStoreCapacity)
      ++count;
    else
      ++left_out;
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    show_message("ERROR", "read_records(): read error");
    return 0;
  }
  for (uint32_t i = 0; i < count; ++i) store.records[i] = decode_event(staging + i * kEventBytes);
  store.count = count;
  set_data_keys(store, time);
  say_left_out("read_records()", "", left_out);
  return 1;
}

int write_records(const char* path, const EventStore& store) {
  static uint8_t staging[kStoreCapacity * kEventBytes];
  const uint32_t count = std::min(store.count, kStoreCapacity);
  for (uint32_t i = 0; i < count; ++i) encode_event(store.records[i], staging + i * kEventBytes);
  const size_t bytes = static_cast<size_t>(count) * kEventBytes;
  // Whole or not at all: a failed save leaves the file it was replacing.
  return save_whole_file(
      path, [&](std::FILE* file) { return std::fwrite(staging, 1, bytes, file) == bytes ? 1 : 0; });
}

}  // namespace valdrin
