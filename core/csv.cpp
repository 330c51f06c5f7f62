// CSV export and import.
#include "core/csv.h"

#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/message.h"
#include "core/time_key.h"
#include "core/whole_file.h"

namespace valdrin {

namespace {

constexpr const char* kHeader =
    "SHIFT,MONTH,DAY,YEAR,COL,ROW,ZIP,COUNCIL,DIVISION,SUCCESSFUL,INJURY,NUMO,ORACE,"
    "OGENDER,RESPONSE,NUMS,SRACE,SGENDER,SAGE,REASON";

constexpr const char* kNa = "-NA-";
constexpr const char* kShiftWords[4] = {"-NA-", "Day", "Evening", "Night"};

// The words of each coded export column by code, over every value the field
// can hold: the list labels, except that the export spells three values its
// own way ("Swat", "XJob", "UNKNOWN"), writes NUMS only for 1-5, and writes
// "-NA-" for code 0 and every code without a label. Stored files and their
// readers rely on these spellings.
struct ExportWords {
  std::string_view words[kFieldCount][64];
};

const ExportWords& export_words() {
  static const ExportWords table = [] {
    ExportWords t;
    for (int f = kDivision; f <= kReason; ++f) {
      const FieldId field = static_cast<FieldId>(f);
      for (uint32_t code = 0; code < (1u << kFields[f].width); ++code) {
        const char* label = code_label(field, code);
        if (field == kNums && code > 5) label = nullptr;
        t.words[f][code] = label ? label : kNa;
      }
    }
    t.words[kDivision][16] = "Swat";
    t.words[kDivision][19] = "XJob";
    t.words[kSage][8] = "UNKNOWN";
    return t;
  }();
  return table;
}

char* append(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

char* append_unsigned(char* out, uint32_t value) {
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}

// atoi as the C library of this platform does it: spaces skipped, a sign,
// digits up to the first other character, strtol's saturation, then the
// conversion to int.
int32_t read_number(const char* text) {
  const char* p = text;
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  uint64_t magnitude = 0;
  bool overflow = false;
  for (; *p >= '0' && *p <= '9'; ++p) {
    const uint64_t digit = static_cast<uint64_t>(*p - '0');
    if (magnitude > (UINT64_C(0x7FFFFFFFFFFFFFFF) - digit) / 10) overflow = true;
    if (!overflow) magnitude = magnitude * 10 + digit;
  }
  uint64_t as_long;  // two's complement bits of the long strtol returns
  if (overflow)
    as_long = negative ? UINT64_C(0x8000000000000000) : UINT64_C(0x7FFFFFFFFFFFFFFF);
  else
    as_long = negative ? (~magnitude + 1) : magnitude;
  return static_cast<int32_t>(static_cast<uint32_t>(as_long));
}

uint32_t number_bits(const char* text) { return static_cast<uint32_t>(read_number(text)); }

bool is(const char* field, const char* word) { return std::strcmp(field, word) == 0; }

// Code of the first character in `letters` ("ABHW": 'A' 1, 'B' 2, ...), else 0.
uint32_t letter_code(const char* field, const char* letters) {
  if (field[0] == '\0') return 0;
  const char* hit = std::strchr(letters, field[0]);
  return hit ? static_cast<uint32_t>(hit - letters + 1) : 0;
}

constexpr const char* kImportDivisions[] = {
    "AIRPORT",   "CENTRAL",       "CLEAR LAKE", "TRAVIS",         "EASTSIDE",
    "FONDREN",   "KINGWOOD",      "NARCOTICS",  "NORTH DIVISION", "NORTHEAST",
    "NORTHWEST", "SOUTH CENTRAL", "SOUTHEAST",  "SOUTHWEST",      "SPECIAL OPS",
    "SWAT",      "TRAFFIC",       "WESTSIDE",   "X-JOB"};

uint32_t age_band(const char* field) {
  if (is(field, "UNK")) return 8;
  const uint32_t age = number_bits(field);  // compared unsigned: negatives are huge
  if (age == 0) return 8;
  if (age <= 16) return 1;
  if (age <= 22) return 2;
  if (age <= 28) return 3;
  if (age <= 34) return 4;
  if (age <= 42) return 5;
  if (age <= 49) return 6;
  if (age <= 75) return 7;
  return 0;
}

// Cuts an import file into lines and fields as it streams past, so neither a
// long line nor a long field can overrun anything. A field the line never
// reaches reads "-NA-" (no location, no zip, no district), not whatever an
// empty field would parse as; field 0 is always reached, so an empty line
// still has its empty year.
struct LineSplitter {
  CsvFields fields;
  // Index of the field being filled. It stops one past the last field, so a
  // line of any number of commas (billions, read from a pipe) can neither
  // wrap it nor move it back into the buffers.
  uint32_t field = 0;
  uint32_t length = 0;
  bool pending_cr = false;  // a CR is kept only when no LF follows it
  bool in_line = false;

  void start_line() {
    for (auto& text : fields.text) std::memcpy(text, kNa, std::strlen(kNa) + 1);
    fields.text[0][0] = '\0';
    field = 0;
    length = 0;
    in_line = false;
  }
  void put(char c) {
    in_line = true;
    if (field < kCsvFields && length < kCsvFieldSize - 1) {
      fields.text[field][length++] = c;
      fields.text[field][length] = '\0';
    }
  }
  void next_field() {
    in_line = true;
    if (field < kCsvFields) ++field;
    if (field < kCsvFields) fields.text[field][0] = '\0';
    length = 0;
  }
};

}  // namespace

Event parse_csv_event(const CsvFields& fields, const AreaTable& areas) {
  const auto& f = fields.text;
  Event e;
  const uint32_t year = number_bits(f[0]) - 2000u;
  const uint32_t month = number_bits(f[1]);
  const uint32_t day = number_bits(f[2]);
  const uint32_t shift = is(f[7], kNa) ? 0 : number_bits(f[7]);
  e.key = pack_time_key(static_cast<uint8_t>(shift & 3u), static_cast<uint8_t>(day & 31u),
                        static_cast<uint8_t>(month & 15u), static_cast<uint8_t>(year & 31u));

  set_field(e, kCouncil,
            is(f[3], kNa) ? 0 : static_cast<uint32_t>(static_cast<unsigned char>(f[3][0])) - 64u);
  set_field(e, kRow, is(f[5], kNa) ? kNoRow : 65u - number_bits(f[5]));
  set_field(e, kCol, is(f[6], kNa) ? kNoCol : number_bits(f[6]));
  uint32_t zip = 0;
  if (is(f[20], kNa))
    zip = 0;
  else if (areas.zip_codes.empty())
    zip = number_bits(f[20]) - kZipBase;
  else if (!zip_index(areas, number_bits(f[20]), zip))
    zip = 0;
  set_field(e, kZip, zip);

  uint32_t division = 0;
  for (uint32_t i = 0; i < 19; ++i)
    if (is(f[8], kImportDivisions[i])) division = i + 1;
  set_field(e, kDivision, division);
  set_field(e, kSuccessful, letter_code(f[9], "NY"));
  set_field(e, kInjury, is(f[10], kNa) ? 0 : number_bits(f[10]));

  set_field(e, kNumo, is(f[11], "DUPLICATE") ? 9 : number_bits(f[11]));
  set_field(e, kOrace, letter_code(f[12], "ABHW"));
  set_field(e, kOgender, letter_code(f[13], "MF"));
  set_field(e, kResponse, is(f[14], "DUPLICATE") ? 3 : number_bits(f[14]));

  uint32_t nums;
  switch (f[15][0]) {
    case '9': nums = 6; break;
    case 'D': nums = 7; break;
    case 'O': nums = 8; break;
    default: nums = number_bits(f[15]);
  }
  set_field(e, kNums, nums);
  set_field(e, kSrace, letter_code(f[16], "ABHWDO"));
  set_field(e, kSgender, letter_code(f[17], "MFDO"));
  set_field(e, kSage, age_band(f[18]));
  set_field(e, kReason, is(f[19], kNa) ? 0 : number_bits(f[19]));
  return e;  // reserved bits were never set
}

int import_csv(const char* path, EventStore& store, TimeState& time, const AreaTable& areas) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return 0;
  // Records are built apart from the store, so that a read failing half-way
  // leaves it as it was.
  static EventStore staging;
  staging.count = 0;
  uint64_t left_out = 0;
  bool header = true;
  LineSplitter split;
  split.start_line();
  auto end_line = [&] {
    if (header) {
      header = false;
    } else if (staging.count < kStoreCapacity) {
      staging.records[staging.count++] = parse_csv_event(split.fields, areas);
    } else {
      ++left_out;
    }
    split.start_line();
  };

  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    for (size_t i = 0; i < got; ++i) {
      const char c = buffer[i];
      if (split.pending_cr) {
        split.pending_cr = false;
        if (c != '\n') split.put('\r');
      }
      if (c == '\n') {
        end_line();
      } else if (c == '\r') {
        split.pending_cr = true;
        split.in_line = true;
      } else if (c == ',') {
        split.next_field();
      } else {
        split.put(c);
      }
    }
  }
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return 0;
  if (split.pending_cr) split.put('\r');
  if (split.in_line) end_line();  // a last line without its line feed

  sort_store(staging);
  std::memcpy(store.records, staging.records, staging.count * sizeof(Event));
  store.count = staging.count;
  set_data_keys(store, time);
  say_left_out("import_csv()", "lines ", left_out);
  return 1;
}

size_t format_csv_event(const Event& event, const AreaTable& areas, char* out) {
  char* p = out;
  // The Date label as format_time_key writes it, built in place: the export
  // writes one per record.
  const TimeFields t = unpack_time_key(event.key);
  p = append(p, kShiftWords[t.shift]);
  *p++ = ',';
  if (t.month >= 1 && t.month <= 12) p = append(p, code_label(kMonth, t.month));
  *p++ = ',';
  p = append_unsigned(p, t.day);
  *p++ = ',';
  p = append_unsigned(p, 2000u + t.year);
  *p++ = ',';
  p = append_unsigned(p, get_field(event, kCol));
  *p++ = ',';
  p = append_unsigned(p, get_field(event, kRow));
  *p++ = ',';
  const uint32_t zip = get_field(event, kZip);
  p = zip != 0 ? append_unsigned(p, zip_code(areas, zip)) : append(p, kNa);
  *p++ = ',';
  const uint32_t council = get_field(event, kCouncil);
  if (council >= 1 && council <= kMaxCouncil)
    *p++ = static_cast<char>(64 + council);
  else
    p = append(p, kNa);
  const ExportWords& words = export_words();
  for (int f = kDivision; f <= kReason; ++f) {
    *p++ = ',';
    p = append(p, words.words[f][get_field(event, static_cast<FieldId>(f))]);
  }
  *p++ = '\n';
  *p = '\0';
  return static_cast<size_t>(p - out);
}

int write_csv_event(std::FILE* file, const Event& event, const AreaTable& areas) {
  char line[kCsvLineSize];
  const size_t length = format_csv_event(event, areas, line);
  return std::fwrite(line, 1, length, file) == length ? 1 : 0;
}

int export_csv(const char* path, const EventStore& store, const TimeState& time,
               const AreaTable& areas) {
  char first[kDateLabelSize];
  char last[kDateLabelSize];
  format_time_key(time.first_key, first);
  format_time_key(time.last_key, last);
  // Whole or not at all: a failed export leaves the file it was replacing.
  return save_whole_file(path, [&](std::FILE* file) {
    bool ok = std::fprintf(file, "START\n%s\nEND\n%s\n%s\n", first, last, kHeader) > 0;
    // Lines are gathered into large blocks: one write call per block
    // instead of one per record.
    static char block[1 << 16];
    size_t used = 0;
    const uint32_t count = store.count < kStoreCapacity ? store.count : kStoreCapacity;
    for (uint32_t i = 0; ok && i < count; ++i) {
      if (sizeof block - used < kCsvLineSize) {
        ok = std::fwrite(block, 1, used, file) == used;
        used = 0;
      }
      used += format_csv_event(store.records[i], areas, block + used);
    }
    if (ok && used != 0) ok = std::fwrite(block, 1, used, file) == used;
    return ok ? 1 : 0;
  });
}

}  // namespace valdrin
