// Event record byte layout, field table and code labels.
#include "core/event.h"

namespace valdrin {

namespace {

void put16(uint8_t* out, uint16_t value) {
  out[0] = static_cast<uint8_t>(value);
  out[1] = static_cast<uint8_t>(value >> 8);
}

void put32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t get16(const uint8_t* in) { return static_cast<uint16_t>(in[0] | (in[1] << 8)); }

uint32_t get32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | (static_cast<uint32_t>(in[1]) << 8) |
         (static_cast<uint32_t>(in[2]) << 16) | (static_cast<uint32_t>(in[3]) << 24);
}

uint32_t part_value(const Event& event, EventPart part) {
  switch (part) {
    case EventPart::Key: return event.key;
    case EventPart::Location: return event.location;
    case EventPart::Incident: return event.incident;
    case EventPart::Officer: return event.officer;
    case EventPart::Suspect: return event.suspect;
  }
  return 0;
}

constexpr const char* kShiftLabels[] = {nullptr, "Day", "Evening", "Night"};
constexpr const char* kMonthLabels[] = {nullptr,   "January",  "February", "March",  "April",
                                        "May",     "June",     "July",     "August", "September",
                                        "October", "November", "December"};
constexpr const char* kDivisionLabels[] = {
    nullptr,       "Airport",   "Central",       "Clear Lake", "Travis",
    "Eastside",    "Fondren",   "Kingwood",      "Narcotics",  "North Division",
    "Northeast",   "Northwest", "South Central", "Southeast",  "Southwest",
    "Special Ops", "SWAT",      "Traffic",       "Westside",   "X-Job"};
constexpr const char* kSuccessfulLabels[] = {nullptr, "No", "Yes"};
constexpr const char* kInjuryLabels[] = {nullptr, "None", "Officer", "Suspect", "Both"};
constexpr const char* kNumoLabels[] = {nullptr, "1",     "2",     "3",     "4",
                                       "5",     nullptr, nullptr, nullptr, "Duplicate"};
constexpr const char* kOraceLabels[] = {nullptr, "Asian", "Black", "Hispanic", "White"};
constexpr const char* kOgenderLabels[] = {nullptr, "Male", "Female"};
constexpr const char* kResponseLabels[] = {nullptr, "Dispatched", "Initiated", "Duplicate"};
constexpr const char* kNumsLabels[] = {nullptr, "1", "2", "3", "4", "5", "9", "Dog", "Officer"};
constexpr const char* kSraceLabels[] = {nullptr, "Asian", "Black",  "Hispanic",
                                        "White", "Dog",   "Officer"};
constexpr const char* kSgenderLabels[] = {nullptr, "Male", "Female", "Dog", "Officer"};
constexpr const char* kSageLabels[] = {nullptr, "<= 16", "17-22", "23-28",  "29-34",
                                       "35-42", "43-49", "50-75", "Unknown"};
constexpr const char* kReasonLabels[] = {nullptr,           "Combat/Resist",  "Threat/Weapon",
                                         "Verbal/Physical", "Felony Suspect", "Dog",
                                         "Accident"};

template <size_t N>
constexpr CodeLabels labels_of(const char* const (&table)[N]) {
  return CodeLabels{table, static_cast<uint8_t>(N)};
}

}  // namespace

void encode_event(const Event& event, uint8_t out[kEventBytes]) {
  put16(out + 0, event.key);
  put16(out + 2, event.reserved);
  put32(out + 4, event.location);
  put16(out + 8, event.incident);
  put16(out + 10, event.officer);
  put32(out + 12, event.suspect);
}

Event decode_event(const uint8_t in[kEventBytes]) {
  Event event;
  event.key = get16(in + 0);
  event.reserved = get16(in + 2);
  event.location = get32(in + 4);
  event.incident = get16(in + 8);
  event.officer = get16(in + 10);
  event.suspect = get32(in + 12);
  return event;
}

const FieldInfo kFields[kFieldCount] = {
    {"SHIFT", EventPart::Key, 0, 2},         {"MONTH", EventPart::Key, 7, 4},
    {"DAY", EventPart::Key, 2, 5},           {"YEAR", EventPart::Key, 11, 5},
    {"COL", EventPart::Location, 0, 7},      {"ROW", EventPart::Location, 7, 7},
    {"ZIP", EventPart::Location, 14, 10},    {"COUNCIL", EventPart::Location, 24, 4},
    {"DIVISION", EventPart::Incident, 2, 6}, {"SUCCESSFUL", EventPart::Incident, 8, 3},
    {"INJURY", EventPart::Incident, 11, 4},  {"NUMO", EventPart::Officer, 0, 4},
    {"ORACE", EventPart::Officer, 4, 4},     {"OGENDER", EventPart::Officer, 8, 3},
    {"RESPONSE", EventPart::Officer, 11, 4}, {"NUMS", EventPart::Suspect, 0, 4},
    {"SRACE", EventPart::Suspect, 4, 4},     {"SGENDER", EventPart::Suspect, 8, 4},
    {"SAGE", EventPart::Suspect, 12, 5},     {"REASON", EventPart::Suspect, 17, 4},
};

uint32_t get_field(const Event& event, FieldId field) {
  const FieldInfo& info = kFields[field];
  return (part_value(event, info.part) >> info.first_bit) & ((1u << info.width) - 1u);
}

void set_field(Event& event, FieldId field, uint32_t value) {
  const FieldInfo& info = kFields[field];
  const uint32_t mask = ((1u << info.width) - 1u) << info.first_bit;
  const uint32_t bits = (value << info.first_bit) & mask;
  switch (info.part) {
    case EventPart::Key: event.key = static_cast<uint16_t>((event.key & ~mask) | bits); break;
    case EventPart::Location: event.location = (event.location & ~mask) | bits; break;
    case EventPart::Incident:
      event.incident = static_cast<uint16_t>((event.incident & ~mask) | bits);
      break;
    case EventPart::Officer:
      event.officer = static_cast<uint16_t>((event.officer & ~mask) | bits);
      break;
    case EventPart::Suspect: event.suspect = (event.suspect & ~mask) | bits; break;
  }
}

CodeLabels code_labels(FieldId field) {
  switch (field) {
    case kShift: return labels_of(kShiftLabels);
    case kMonth: return labels_of(kMonthLabels);
    case kDivision: return labels_of(kDivisionLabels);
    case kSuccessful: return labels_of(kSuccessfulLabels);
    case kInjury: return labels_of(kInjuryLabels);
    case kNumo: return labels_of(kNumoLabels);
    case kOrace: return labels_of(kOraceLabels);
    case kOgender: return labels_of(kOgenderLabels);
    case kResponse: return labels_of(kResponseLabels);
    case kNums: return labels_of(kNumsLabels);
    case kSrace: return labels_of(kSraceLabels);
    case kSgender: return labels_of(kSgenderLabels);
    case kSage: return labels_of(kSageLabels);
    case kReason: return labels_of(kReasonLabels);
    default: return CodeLabels{nullptr, 0};
  }
}

const char* code_label(FieldId field, uint32_t code) {
  const CodeLabels table = code_labels(field);
  return code < table.size ? table.labels[code] : nullptr;
}

}  // namespace valdrin
