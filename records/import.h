// The import of an analyst's own export: rows of a CSV, read through a
// mapping, become the events of a .vdr file. Rows that can't be placed are
// kept in a rejects file with their line number and a reason word; texts
// the mapping doesn't know become "not recorded" and are counted. Rows that
// share an incident number form one incident, whose officer and subject
// attributes come from its first row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/store.h"

namespace valdrin::records {

// Why a row did not become an event; the words the rejects file uses.
enum RejectReason : uint8_t {
  kMalformed,    // unreadable CSV: a stray quote, a field count unlike the header's
  kNoDate,       // the time column(s) empty
  kBadDate,      // no pattern matches, or no such date or time of day
  kYearRange,    // a year outside 2000-2031
  kNoPlace,      // a coordinate empty
  kBadPlace,     // a coordinate that is no number, or can't be projected
  kOutsideGrid,  // the point lies off the 84 x 66 grid
  kOutsideCity,  // the cell table marks the cell outside the city (keymap ".")
  kRejectReasonCount
};

extern const char* const kRejectWords[kRejectReasonCount];

struct ImportRequest {
  std::string csv_path, out_path, mapping_path;
  std::string rejects_path;  // "" for none
  std::string data_folder;   // cell table, georeference, areas
  // Where the events are built, and left sorted; null for a store of the
  // import's own. A caller that holds a store anyway spares the 16 MB. After
  // a failed import its content is not the old one.
  EventStore* store = nullptr;
};

// One text a mapped column held that its table doesn't know.
struct UnknownText {
  std::string column;  // the column(s) as the mapping names them
  std::string text;    // trimmed, lower case; "(other texts)" past the limit
  uint64_t count = 0;
};

struct ImportSummary {
  uint64_t rows = 0;      // data rows read (the header not counted)
  uint64_t events = 0;    // events written
  uint64_t grouped = 0;   // rows that joined an incident an earlier row began
  uint64_t left_out = 0;  // rows of incidents beyond the store's capacity
  uint64_t rejected[kRejectReasonCount] = {};
  std::vector<UnknownText> unknown;  // by column, then count, most first
  bool bad_mapping = false;          // the failure was the mapping's (exit code 2)
};

// Runs the whole import. Return 1 when OUT (and REJECTS, if asked for) were
// written whole; 0 with `error` said otherwise, and then neither file was
// touched. summary.bad_mapping tells a mapping fault (the message names the
// key and its line) from a file that can't be read or written.
int import_records(const ImportRequest& request, ImportSummary& summary, std::string& error);

// The summary as the command prints it.
std::string summary_text(const ImportSummary& summary);

}  // namespace valdrin::records
