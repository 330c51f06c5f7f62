// The Event record: one incident packed into 16 bytes (Time key, two reserved
// bytes, Location, Incident, Officer and Suspect words), the table of its
// fields that the CSV, the query and the command line all use, and the code
// labels of each field. The same layout carries the Query record.
#pragma once

#include <cstddef>
#include <cstdint>

namespace valdrin {

// In memory the record is a plain struct; on disk it is 16 little-endian
// bytes in field order, written by encode_event so that the file format never
// depends on the host's struct layout or byte order.
struct Event {
  uint16_t key = 0;       // Time key: shift, day, month, year field
  uint16_t reserved = 0;  // bytes 2-3, carried as read, never interpreted
  uint32_t location = 0;  // COL, ROW, ZIP, COUNCIL
  uint16_t incident = 0;  // DIVISION, SUCCESSFUL, INJURY
  uint16_t officer = 0;   // NUMO, ORACE, OGENDER, RESPONSE
  uint32_t suspect = 0;   // NUMS, SRACE, SGENDER, SAGE, REASON
};

constexpr size_t kEventBytes = 16;

void encode_event(const Event& event, uint8_t out[kEventBytes]);
Event decode_event(const uint8_t in[kEventBytes]);

// Which word of the record a field lives in.
enum class EventPart : uint8_t { Key, Location, Incident, Officer, Suspect };

// Field ids in the order of the CSV export header.
enum FieldId : uint8_t {
  kShift,
  kMonth,
  kDay,
  kYear,
  kCol,
  kRow,
  kZip,
  kCouncil,
  kDivision,
  kSuccessful,
  kInjury,
  kNumo,
  kOrace,
  kOgender,
  kResponse,
  kNums,
  kSrace,
  kSgender,
  kSage,
  kReason,
  kFieldCount
};

struct FieldInfo {
  const char* name;  // CSV column name
  EventPart part;
  uint8_t first_bit;
  uint8_t width;
};

extern const FieldInfo kFields[kFieldCount];

// Reads (part >> first bit) & (2^width - 1).
uint32_t get_field(const Event& event, FieldId field);
// Clears exactly the field's bits and or-s in value masked to the width, so no
// other field is touched.
void set_field(Event& event, FieldId field, uint32_t value);

// Grid and table sizes shared by every layer.
constexpr int kGridCols = 84;
constexpr int kGridRows = 66;
constexpr int kCellCount = kGridCols * kGridRows;
constexpr uint32_t kNoCol = 84;
constexpr uint32_t kNoRow = 66;
constexpr uint32_t kZipBase = 76999;  // zip code = kZipBase + Zip index
constexpr uint32_t kMaxZipIndex = 1000;
constexpr uint32_t kMaxCouncil = 15;  // the 4-bit code's every district, A-O

// Labels of a coded field as the Query Panel lists show them, by code; a null
// entry is a code without label. Code 0 ("not recorded") has no label here.
struct CodeLabels {
  const char* const* labels;
  uint8_t size;
};

// Labels for the coded fields (SHIFT, MONTH, DIVISION ... REASON); an empty
// table for the numeric ones (DAY, YEAR, COL, ROW, ZIP, COUNCIL).
CodeLabels code_labels(FieldId field);

// The label of one code, or nullptr when the code has none.
const char* code_label(FieldId field, uint32_t code);

}  // namespace valdrin
