// The mapping file: how one export's columns become Event records, written
// by hand in TOML from the export's header line. It names the time
// column(s) and their patterns, where a row lies (longitude/latitude, map
// x/y or grid row/column; zip and district columns), each attribute's
// column with a table from the export's texts to the field's codes, and
// the incident-number and id columns that group rows into incidents.
// Every fault is told as "FILE:LINE: key: what is wrong".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/event.h"
#include "records/time_pattern.h"

namespace valdrin::records {

// A column the mapping names, with the key and line that named it, so that
// a column missing from the export's header is told at its place.
struct ColumnRef {
  std::string name;  // "" when not given
  std::string key;   // "place.latitude"
  int line = 0;
  int index = -1;  // in the export's header, once resolved
};

enum class PlaceKind : uint8_t { LonLat, MapXY, Grid };

// One attribute of the record. Texts are looked up trimmed and lower case;
// the columns' texts are joined by "|" when there are several.
struct FieldMapping {
  std::vector<ColumnRef> columns;  // empty: the field is not mapped
  std::unordered_map<std::string, uint8_t> table;
  bool years = false;  // SAGE only: the column holds an age in years
};

struct Mapping {
  std::string source;  // the mapping file's name, for messages

  std::vector<ColumnRef> time_columns;    // joined by one space before matching
  std::vector<std::string> time_formats;  // tried in order
  ShiftRule shifts;

  PlaceKind place = PlaceKind::LonLat;
  ColumnRef place_a, place_b;  // longitude/latitude, x/y or row/col
  ColumnRef zip, district;     // optional; else from the cell table

  ColumnRef incident, officer_id, subject_id;  // optional

  FieldMapping fields[kFieldCount];  // DIVISION .. REASON are used
};

// The mapping key of an attribute field ("orace"), or nullptr for fields
// the mapping does not take (time and place).
const char* mapping_field_key(FieldId field);

// Reads a mapping from its text; `source` names it in messages. Return 1;
// 0 with `error` as "SOURCE:LINE: key: what is wrong".
int parse_mapping(std::string_view text, const std::string& source, Mapping& out,
                  std::string& error);

// Reads the mapping file at `path`. Return 1; 0 with `error` (a file that
// can't be read is said so without a line).
int read_mapping(const std::string& path, Mapping& out, std::string& error);

// Finds every named column in the export's header (names compared trimmed,
// any case, a run of spaces as one). Return 1; 0 with `error` naming the first missing column at
// the mapping's line.
int resolve_columns(Mapping& mapping, const std::vector<std::string>& header, std::string& error);

// The trimmed, lower-case form texts are looked up in; at most `size`
// bytes are written. Return the length, or `size` + 1 when it did not fit.
size_t normalise_text(std::string_view text, char* out, size_t size);

}  // namespace valdrin::records
