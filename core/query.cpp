// Query fields and lists, the counting pass and the two resets.
#include "core/query.h"

#include <cstring>

#include "core/text.h"

namespace valdrin {

namespace {

constexpr const char* kShiftItems[] = {"ALL", "Day", "Evening", "Night"};
constexpr const char* kDivisionItems[] = {
    "ALL",         "Airport",   "Central",       "Clear Lake", "Travis",
    "Eastside",    "Fondren",   "Kingwood",      "Narcotics",  "North Division",
    "Northeast",   "Northwest", "South Central", "Southeast",  "Southwest",
    "Special Ops", "SWAT",      "Traffic",       "Westside",   "X-Job"};
constexpr const char* kSuccessfulItems[] = {"ALL", "No", "Yes"};
constexpr const char* kInjuryItems[] = {"ALL", "None", "Officer", "Suspect", "Both"};
constexpr const char* kNumoItems[] = {"ALL", "1", "2", "3", "4", "5", "Duplicate"};
constexpr const char* kOraceItems[] = {"ALL", "Asian", "Black", "Hispanic", "White"};
constexpr const char* kOgenderItems[] = {"ALL", "Male", "Female"};
constexpr const char* kResponseItems[] = {"ALL", "Dispatched", "Initiated", "Duplicate"};
constexpr const char* kNumsItems[] = {"ALL", "1", "2", "3", "4", "5", "9", "Dog", "Officer"};
constexpr const char* kSraceItems[] = {"ALL",   "Asian", "Black",  "Hispanic",
                                       "White", "Dog",   "Officer"};
constexpr const char* kSgenderItems[] = {"ALL", "Male", "Female", "Dog", "Officer"};
constexpr const char* kSageItems[] = {"ALL",   "<= 16", "17-22", "23-28",  "29-34",
                                      "35-42", "43-49", "50-75", "Unknown"};
constexpr const char* kReasonItems[] = {
    "ALL", "Combat/Resist", "Threat/Weapon", "Verbal/Physical", "Felony Suspect",
    "Dog", "Accident"};

template <size_t N>
constexpr uint8_t size_of(const char* const (&)[N]) {
  return static_cast<uint8_t>(N);
}

#define VALDRIN_ITEMS(table) table, size_of(table)

uint32_t mask_part(const Event& query, EventPart part) {
  switch (part) {
    case EventPart::Incident: return query.incident;
    case EventPart::Officer: return query.officer;
    case EventPart::Suspect: return query.suspect;
    default: return 0;
  }
}

uint32_t field_bits(const QueryField& f) { return ((1u << f.width) - 1u) << f.first_bit; }

// The bits of a mask word that take part in the comparison: those of every
// nonzero sub-field. An event passes when it agrees with the mask on them.
uint32_t care_bits(const Event& query, EventPart part) {
  const uint32_t word = mask_part(query, part);
  uint32_t care = 0;
  for (const QueryField& f : kQueryFields)
    if (f.mask == part && (word & field_bits(f)) != 0) care |= field_bits(f);
  return care;
}

}  // namespace

const QueryField kQueryFields[kQueryFieldCount] = {
    {kShift, EventPart::Incident, 0, 2, "Shift", VALDRIN_ITEMS(kShiftItems), 0},
    {kDivision, EventPart::Incident, 2, 6, "Division", VALDRIN_ITEMS(kDivisionItems), 0},
    {kSuccessful, EventPart::Incident, 8, 3, "Successful", VALDRIN_ITEMS(kSuccessfulItems), 0},
    {kInjury, EventPart::Incident, 11, 4, "Injury", VALDRIN_ITEMS(kInjuryItems), 0},
    {kNumo, EventPart::Officer, 0, 4, "# Of", VALDRIN_ITEMS(kNumoItems), 6},
    {kOrace, EventPart::Officer, 4, 4, "Race", VALDRIN_ITEMS(kOraceItems), 0},
    {kOgender, EventPart::Officer, 8, 3, "Gender", VALDRIN_ITEMS(kOgenderItems), 0},
    {kResponse, EventPart::Officer, 11, 4, "Response", VALDRIN_ITEMS(kResponseItems), 0},
    {kNums, EventPart::Suspect, 0, 4, "# Of", VALDRIN_ITEMS(kNumsItems), 0},
    {kSrace, EventPart::Suspect, 4, 4, "Race", VALDRIN_ITEMS(kSraceItems), 0},
    {kSgender, EventPart::Suspect, 8, 4, "Gender", VALDRIN_ITEMS(kSgenderItems), 0},
    {kSage, EventPart::Suspect, 12, 5, "Age", VALDRIN_ITEMS(kSageItems), 0},
    {kReason, EventPart::Suspect, 17, 4, "Reason", VALDRIN_ITEMS(kReasonItems), 0},
};

#undef VALDRIN_ITEMS

uint32_t query_item_value(QueryFieldId field, uint32_t item) {
  const QueryField& f = kQueryFields[field];
  return (f.duplicate_index != 0 && item == f.duplicate_index) ? 9u : item;
}

int query_value_item(QueryFieldId field, uint32_t value) {
  const QueryField& f = kQueryFields[field];
  for (uint32_t item = 0; item < f.item_count; ++item)
    if (query_item_value(field, item) == value) return static_cast<int>(item);
  return -1;
}

uint32_t get_query_field(const Event& query, QueryFieldId field) {
  const QueryField& f = kQueryFields[field];
  return (mask_part(query, f.mask) >> f.first_bit) & ((1u << f.width) - 1u);
}

void set_query_field(Event& query, QueryFieldId field, uint32_t value) {
  const QueryField& f = kQueryFields[field];
  const uint32_t bits = field_bits(f);
  const uint32_t put = (value << f.first_bit) & bits;
  switch (f.mask) {
    case EventPart::Incident:
      query.incident = static_cast<uint16_t>((query.incident & ~bits) | put);
      break;
    case EventPart::Officer:
      query.officer = static_cast<uint16_t>((query.officer & ~bits) | put);
      break;
    case EventPart::Suspect: query.suspect = (query.suspect & ~bits) | put; break;
    default: break;
  }
}

int find_query_field(std::string_view name, QueryFieldId& field) {
  for (uint8_t i = 0; i < kQueryFieldCount; ++i) {
    if (equals_ignore_case(name, kFields[kQueryFields[i].event_field].name)) {
      field = static_cast<QueryFieldId>(i);
      return 1;
    }
  }
  return 0;
}

void clear_counts(CountTables& counts) { std::memset(&counts, 0, sizeof counts); }

namespace {

// The scan itself, compiled once with the mask test and once without it for
// the common case of no filter at all.
template <bool kFiltered>
void scan_events(const EventStore& store, const Event& query, uint16_t window_start,
                 CountTables& counts) {
  const uint16_t window_end = query.key;
  const uint32_t incident_mask = query.incident;
  const uint32_t officer_mask = query.officer;
  const uint32_t suspect_mask = query.suspect;
  const uint32_t incident_care = care_bits(query, EventPart::Incident);
  const uint32_t officer_care = care_bits(query, EventPart::Officer);
  const uint32_t suspect_care = care_bits(query, EventPart::Suspect);
  const uint32_t n = store.count < kStoreCapacity ? store.count : kStoreCapacity;
  // A city's few districts take most events in turn: one counter each would
  // make every increment wait for the one before it, so four rows of
  // counters take turns and are summed at the end.
  uint32_t council[4][16] = {};
  // Counted by the raw row-column and zip bits, so that the loop needs no
  // range tests; what lies past the grid or the zip table is dropped or
  // folded into slot 0 afterwards. One program, one thread: static spares
  // the stack 68 KB.
  static uint32_t by_place[128 * 128];
  static uint32_t by_zip[1024];
  std::memset(by_place, 0, sizeof by_place);
  std::memset(by_zip, 0, sizeof by_zip);
  uint32_t total = 0;
  for (uint32_t i = 0; i < n; ++i) {
    const Event& e = store.records[i];
    if (e.key > window_end) break;
    if (e.key < window_start) continue;
    if constexpr (kFiltered) {
      // The event's shift takes the place of the reserved incident bits 0-1.
      const uint32_t incident = (e.incident & ~3u) | (e.key & 3u);
      if ((((incident ^ incident_mask) & incident_care) |
           ((e.officer ^ officer_mask) & officer_care) |
           ((e.suspect ^ suspect_mask) & suspect_care)) != 0)
        continue;
    }
    const uint32_t location = e.location;
    ++by_place[location & 0x3FFFu];
    ++by_zip[(location >> 14) & 1023u];
    ++council[i & 3u][(location >> 24) & 15u];
    ++total;
  }
  for (uint32_t c = 0; c < 16; ++c)
    counts.council[c] += council[0][c] + council[1][c] + council[2][c] + council[3][c];
  for (uint32_t r = 0; r < kNoRow; ++r)
    for (uint32_t c = 0; c < kNoCol; ++c) counts.cells[r * kGridCols + c] += by_place[r << 7 | c];
  for (uint32_t z = 0; z < 1024; ++z) counts.zip[z <= kMaxZipIndex ? z : 0] += by_zip[z];
  counts.total = total;
}

}  // namespace

void count_events(const EventStore& store, const Event& query, const TimeState& time,
                  CountTables& counts) {
  clear_counts(counts);
  const bool filtered =
      (care_bits(query, EventPart::Incident) | care_bits(query, EventPart::Officer) |
       care_bits(query, EventPart::Suspect)) != 0;
  if (filtered)
    scan_events<true>(store, query, time.window_start, counts);
  else
    scan_events<false>(store, query, time.window_start, counts);
}

void default_time(TimeState& time, Event& query) {
  query.key = time.first_key;
  time.window_start = query.key;
}

void reset_window_end(const TimeState& time, Event& query) {
  query.key = time.first_key;
  if ((query.key & 3u) == 0) query.key |= 1u;
}

void default_query(Event& query) {
  query.incident = 0;
  query.officer = 0;
  query.suspect = 0;
}

}  // namespace valdrin
