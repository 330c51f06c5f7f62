// The Event store: the fixed array of at most 1,048,576 records (16 MB, a
// large department's years), kept in ascending Time key order, that every
// view of the data reads; the event data file (.vdr: records back to back,
// no header) that loads and saves it; and the Time key comparator every
// producer sorts with.
#pragma once

#include <cstdint>

#include "core/event.h"

namespace valdrin {

constexpr uint32_t kStoreCapacity = 1048576;
// The synthetic generator makes at most this many, as it always has.
constexpr uint32_t kGenerateCapacity = 6000;

// The program holds one EventStore for its whole run; records 0 to count - 1
// are the data. Too big for a stack: make it static or on the heap.
struct EventStore {
  Event records[kStoreCapacity];
  uint32_t count = 0;
};

// The keys that frame the loaded data and the start of the Time window. The
// Window end lives in the Query record's Time key (see query.h).
struct TimeState {
  uint16_t window_start = 0x0085;
  uint16_t first_key = 0x0085;
  uint16_t last_key = 0xFE7F;
};

// -1, 0 or 1 as a's Time key is below, equal to or above b's.
int compare_time_keys(const Event& a, const Event& b);

// Sorts records 0 to count - 1 by Time key; records with equal keys keep
// their order, so a store built from the same input is always the same.
void sort_store(EventStore& store);

// After a producer filled the store: First key and Window start := key of
// record 0, Last key := key of the last record. An empty store takes the
// start-up keys, which the time-window reset and the timeline can use.
void set_data_keys(const EventStore& store, TimeState& time);

// A producer that had more than the store holds says so, with the ERROR
// caption: "OPERATION: the store holds 1048576 records; N more WHATwere left
// out" (WHAT is "" or ends in a space). Nothing is said for 0.
void say_left_out(const char* operation, const char* what, uint64_t left_out);

// Replaces the store with the records of an event data file and sets the
// data keys. Return 1 on success; 0 when the file cannot be opened or read,
// and then the store and the keys are as they were. A file of more than
// 1,048,576 records loads its first 1,048,576 and says how many were left
// out.
int read_records(const char* path, EventStore& store, TimeState& time);

// Writes records 0 to count - 1 to a new event data file, whole or not at
// all. Return 1, or 0 when the file cannot be created or fully written; an
// existing file at `path` is then left exactly as it was.
int write_records(const char* path, const EventStore& store);

}  // namespace valdrin
