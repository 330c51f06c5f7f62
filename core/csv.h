// CSV interchange. The export writes the store as readable text, words for
// every code, after four lines naming the First and Last key and a header.
// The import reads a spreadsheet listing of another layout (21 columns of
// numbers, upper-case names and one-letter codes) and replaces the store.
// An exported file is not an import file.
#pragma once

#include <cstddef>
#include <cstdio>

#include "core/area_table.h"
#include "core/event.h"
#include "core/store.h"

namespace valdrin {

constexpr int kCsvFields = 21;         // fields 0-20 of an import line
constexpr int kCsvFieldSize = 64;      // a field keeps its first 63 characters
constexpr size_t kCsvLineSize = 2048;  // longest exported line, with its end

// The fields of one import line, each NUL-terminated; fields the line did
// not reach read "-NA-".
struct CsvFields {
  char text[kCsvFields][kCsvFieldSize];
};

// Builds an event from one import line's fields. Unknown text gives code 0;
// numbers are read as atoi reads them and masked to the field's width; the
// reserved bits are zero. A zip code becomes the index `areas` gives it (0
// when it has none); without a table, the code less 76999.
Event parse_csv_event(const CsvFields& fields, const AreaTable& areas);

// Replaces the store with the records of an import file (line 1 skipped,
// every further line one record), sorted by key with equal keys in file
// order, and sets the data keys. Return 1; 0 when the file cannot be opened
// or read, and then the store and keys are unchanged. Lines past the
// 1,048,576th are left out and said so. Zip codes are read through `areas`.
int import_csv(const char* path, EventStore& store, TimeState& time, const AreaTable& areas);

// Writes one record's export line, with its line end, into `out` (at least
// kCsvLineSize bytes), zip codes as `areas` names them. Return its length.
size_t format_csv_event(const Event& event, const AreaTable& areas, char* out);

// Writes one record's export line to an open export file. Return 1, or 0 when
// the write failed.
int write_csv_event(std::FILE* file, const Event& event, const AreaTable& areas);

// Writes the whole store in the export layout, whole or not at all. Return 1,
// or 0 when the file cannot be created or fully written; an existing file at
// `path` is then left exactly as it was.
int export_csv(const char* path, const EventStore& store, const TimeState& time,
               const AreaTable& areas);

}  // namespace valdrin
