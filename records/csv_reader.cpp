// The RFC 4180 record scanner. A record is scanned from its first byte each
// time; when it runs past the bytes read so far, the unread bytes move to the
// front of the buffer, more are read, and the scan starts again. Only the one
// record that straddles a refill is scanned twice.
#include "records/csv_reader.h"

#include <algorithm>
#include <cstring>

namespace valdrin::records {

namespace {

enum class Scan { NeedMore, Record, Blank };

// Reads more bytes behind the unread ones. Return 1 when any came.
int fill(CsvReader& r) {
  if (r.begin > 0) {
    std::memmove(r.buffer.data(), r.buffer.data() + r.begin, r.end - r.begin);
    r.end -= r.begin;
    r.begin = 0;
  }
  if (r.end == r.buffer.size()) r.buffer.resize(r.buffer.size() * 2);
  const size_t got = std::fread(r.buffer.data() + r.end, 1, r.buffer.size() - r.end, r.file);
  if (got == 0) {
    if (std::ferror(r.file)) r.read_failed = true;
    r.at_eof = true;
    return 0;
  }
  if (r.first_read) {
    r.first_read = false;
    static constexpr char kBom[] = "\xEF\xBB\xBF";
    if (got >= 3 && r.end == 0 && std::memcmp(r.buffer.data(), kBom, 3) == 0) r.begin = 3;
  }
  r.end += got;
  return 1;
}

// Scans one record from r.begin. At the end of the input (`eof`) the record
// ends where the bytes end.
Scan scan(CsvReader& r, bool eof) {
  const char* b = r.buffer.data();
  size_t p = r.begin;
  const size_t end = r.end;
  r.fields.clear();
  r.malformed = false;
  uint64_t breaks = 0;  // line breaks inside quoted fields
  for (;;) {
    CsvSpan span;
    bool record_ends = false;
    if (p < end && b[p] == '"') {
      size_t q = p + 1;
      for (;;) {
        const void* hit = q < end ? std::memchr(b + q, '"', end - q) : nullptr;
        if (hit == nullptr) {
          if (!eof) return Scan::NeedMore;
          r.malformed = true;  // a quote never closed
          q = end;
          break;
        }
        const size_t at = static_cast<size_t>(static_cast<const char*>(hit) - b);
        if (at + 1 == end && !eof) return Scan::NeedMore;
        if (at + 1 < end && b[at + 1] == '"') {
          span.escaped = true;
          q = at + 2;
          continue;
        }
        q = at;
        break;
      }
      breaks += static_cast<uint64_t>(std::count(b + p + 1, b + q, '\n'));
      span.begin = static_cast<uint32_t>(p + 1);
      span.size = static_cast<uint32_t>(q - p - 1);
      p = q < end ? q + 1 : q;
      // Anything between the closing quote and the delimiter is a fault.
      size_t d = p;
      while (d < end && b[d] != ',' && b[d] != '\n') ++d;
      if (d == end && !eof) return Scan::NeedMore;
      const size_t stray_end = d > p && b[d - 1] == '\r' ? d - 1 : d;
      if (stray_end > p) r.malformed = true;
      p = d;
    } else {
      size_t d = p;
      while (d < end && b[d] != ',' && b[d] != '\n') ++d;
      if (d == end && !eof) return Scan::NeedMore;
      span.begin = static_cast<uint32_t>(p);
      span.size = static_cast<uint32_t>(d - p);
      if (span.size > 0 && b[d - 1] == '\r') --span.size;  // CRLF, or a last line's CR
      p = d;
    }
    r.fields.push_back(span);
    if (p >= end || b[p] == '\n') record_ends = true;
    if (!record_ends) {
      ++p;  // past the comma
      continue;
    }
    size_t raw_end = p;
    if (raw_end > r.begin && b[raw_end - 1] == '\r') --raw_end;
    r.raw_begin = static_cast<uint32_t>(r.begin);
    r.raw_size = static_cast<uint32_t>(raw_end - r.begin);
    r.line = r.next_line;
    r.next_line += breaks + (p < end ? 1 : 0);
    r.begin = p < end ? p + 1 : p;
    const bool blank = r.fields.size() == 1 && r.raw_size == 0;
    return blank ? Scan::Blank : Scan::Record;
  }
}

// A record that grew past the limit: its first line is taken as one
// malformed record (or, when even that line is too long, its first bytes).
void cut_long_record(CsvReader& r) {
  const char* b = r.buffer.data();
  const void* hit = std::memchr(b + r.begin, '\n', r.end - r.begin);
  const size_t line_end = hit ? static_cast<size_t>(static_cast<const char*>(hit) - b) : r.end;
  r.fields.assign(1, CsvSpan{});
  r.malformed = true;
  r.line = r.next_line;
  r.raw_begin = static_cast<uint32_t>(r.begin);
  r.raw_size = static_cast<uint32_t>(std::min<size_t>(line_end - r.begin, 4096));
  if (hit) {
    r.next_line += 1;
    r.begin = line_end + 1;
    return;
  }
  // No line end at all: the rest of this line is read and dropped.
  std::vector<char> head(b + r.raw_begin, b + r.raw_begin + r.raw_size);
  r.begin = r.end;
  for (;;) {
    if (!fill(r)) break;
    const void* nl = std::memchr(r.buffer.data() + r.begin, '\n', r.end - r.begin);
    if (nl) {
      r.begin = static_cast<size_t>(static_cast<const char*>(nl) - r.buffer.data()) + 1;
      break;
    }
    r.begin = r.end;
  }
  // The kept head goes behind the unread bytes so that csv_raw can show it.
  if (r.end + head.size() > r.buffer.size()) r.buffer.resize(r.end + head.size());
  std::memcpy(r.buffer.data() + r.end, head.data(), head.size());
  r.raw_begin = static_cast<uint32_t>(r.end);
  r.next_line += 1;
}

}  // namespace

void start_csv(CsvReader& reader, std::FILE* file) {
  reader = CsvReader{};
  reader.file = file;
  reader.buffer.resize(kCsvBufferBytes);
}

int next_csv_record(CsvReader& r) {
  for (;;) {
    if (r.read_failed) return 0;
    const bool eof = r.at_eof;
    if (eof && r.begin == r.end) return 0;
    switch (scan(r, eof)) {
      case Scan::Record: return 1;
      case Scan::Blank: continue;
      case Scan::NeedMore: break;
    }
    if (r.end - r.begin >= kCsvMaxRecordBytes) {
      cut_long_record(r);
      return r.read_failed ? 0 : 1;
    }
    fill(r);
  }
}

std::string_view csv_field(const CsvReader& reader, size_t i, std::string& scratch) {
  if (i >= reader.fields.size()) return {};
  const CsvSpan& s = reader.fields[i];
  const std::string_view text(reader.buffer.data() + s.begin, s.size);
  if (!s.escaped) return text;
  scratch.clear();
  for (size_t k = 0; k < text.size(); ++k) {
    scratch.push_back(text[k]);
    if (text[k] == '"' && k + 1 < text.size() && text[k + 1] == '"') ++k;
  }
  return scratch;
}

void append_csv_field(std::string& out, std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) {
    out.append(text);
    return;
  }
  out.push_back('"');
  for (char c : text) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

}  // namespace valdrin::records
