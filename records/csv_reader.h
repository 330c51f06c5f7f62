// The streaming reader of an analyst's CSV export (RFC 4180): quoted fields
// with commas, doubled quotes and line breaks, a UTF-8 byte order mark, CRLF
// or LF line ends. The file is read through one large buffer and never held
// whole; a record's fields are views into that buffer, valid until the next
// record is read, so reading a row allocates nothing.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace valdrin::records {

// Where one field lies in the buffer. A quoted field is stored without its
// outer quotes; `escaped` says that it still holds doubled quotes.
struct CsvSpan {
  uint32_t begin = 0;
  uint32_t size = 0;
  bool escaped = false;
};

constexpr size_t kCsvBufferBytes = 1 << 20;
// A record longer than this (an unclosed quote swallowing the file, say) is
// cut at the end of its first line and read as malformed.
constexpr size_t kCsvMaxRecordBytes = 4 << 20;

struct CsvReader {
  std::FILE* file = nullptr;
  std::vector<char> buffer;
  size_t begin = 0;  // start of the unread bytes
  size_t end = 0;    // end of the bytes read so far
  bool at_eof = false;
  bool read_failed = false;
  bool first_read = true;  // a byte order mark is skipped once
  uint64_t next_line = 1;  // line number where the next record starts

  // The record last read.
  std::vector<CsvSpan> fields;
  uint64_t line = 0;                     // its first line in the file, counted from 1
  uint32_t raw_begin = 0, raw_size = 0;  // its text as it stood, without the line end
  bool malformed = false;                // text after a closing quote, an unclosed quote, too long
};

// Starts reading `file` (owned by the caller). Never fails.
void start_csv(CsvReader& reader, std::FILE* file);

// Reads the next record; blank lines are skipped. Return 1 when a record was
// read; 0 at the end of the input or when reading failed (read_failed set).
int next_csv_record(CsvReader& reader);

// Field `i` of the record last read, doubled quotes undone (into `scratch`
// when needed); an empty view when the record has no field `i`.
std::string_view csv_field(const CsvReader& reader, size_t i, std::string& scratch);

// The record last read as it stood in the file.
inline std::string_view csv_raw(const CsvReader& reader) {
  return std::string_view(reader.buffer.data() + reader.raw_begin, reader.raw_size);
}

// `text` as one CSV field: quoted, with its quotes doubled, when it holds a
// comma, quote or line break.
void append_csv_field(std::string& out, std::string_view text);

}  // namespace valdrin::records
