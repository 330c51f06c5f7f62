// What counts: the Query record (its Time key is the Window end, its words
// are the three Query masks), the thirteen filterable fields with their Query
// Panel lists, the count tables and the counting pass that fills them, and
// the "Default Time" and "Default Query" resets.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/event.h"
#include "core/store.h"

namespace valdrin {

// The program holds one Query record. A mask sub-field of 0 admits any value.
// The shift filter sits in bits 0-1 of the Incident mask, which are reserved
// in events, and is compared with the shift of the event's Time key.
inline Event initial_query() {
  Event query;
  query.key = 0xFE7F;
  return query;
}

// Filterable fields in the order the Query Panel fills its lists.
enum QueryFieldId : uint8_t {
  kQueryShift,
  kQueryDivision,
  kQuerySuccessful,
  kQueryInjury,
  kQueryNumo,
  kQueryOrace,
  kQueryOgender,
  kQueryResponse,
  kQueryNums,
  kQuerySrace,
  kQuerySgender,
  kQuerySage,
  kQueryReason,
  kQueryFieldCount
};

struct QueryField {
  FieldId event_field;  // the event field it is compared with
  EventPart mask;       // Incident, Officer or Suspect mask
  uint8_t first_bit;
  uint8_t width;
  const char* label;         // the list's label
  const char* const* items;  // list items; item 0 is "ALL"
  uint8_t item_count;
  uint8_t duplicate_index;  // item written as 9 instead of its index (0: none)
};

extern const QueryField kQueryFields[kQueryFieldCount];

// The value a list item writes into its sub-field, and back.
uint32_t query_item_value(QueryFieldId field, uint32_t item);
// The item that shows `value`, or -1 when no item does.
int query_value_item(QueryFieldId field, uint32_t value);

uint32_t get_query_field(const Event& query, QueryFieldId field);
// Clears the sub-field and writes value masked to its width; nothing else
// changes.
void set_query_field(Event& query, QueryFieldId field, uint32_t value);

// Finds a filterable field by its CSV column name, any letter case. Return 1
// with the id, 0 when no field has that name.
int find_query_field(std::string_view name, QueryFieldId& field);

// Results of the last counting pass. The program holds one.
struct CountTables {
  uint32_t cells[kCellCount];         // row * 84 + col
  uint32_t council[kMaxCouncil + 1];  // slot 0: no district
  uint32_t zip[kMaxZipIndex + 1];     // slot 0: no zip
  uint32_t total;
};

void clear_counts(CountTables& counts);

// Counts the events of the store that lie in [Window start, Window end] and
// pass the masks. The store is sorted, so the scan stops at the first key
// past the Window end. Codes without a slot (ZIP above 1000, COUNCIL above 9)
// count in slot 0, and a COL of 84 or more or a ROW of 66 or more is no cell;
// such events still count in the Total count.
void count_events(const EventStore& store, const Event& query, const TimeState& time,
                  CountTables& counts);

// "Default Time": Window end := First key, Window start := Window end. The
// caller rebuilds.
void default_time(TimeState& time, Event& query);
// The time-window reset after new data: Window end := First key, with the
// shift Day when the First key has none. The Window start is the loader's.
void reset_window_end(const TimeState& time, Event& query);

// "Default Query": every mask sub-field := 0. The caller shows the lists and
// rebuilds.
void default_query(Event& query);

}  // namespace valdrin
