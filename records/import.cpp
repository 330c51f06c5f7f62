// The import's one pass over the export. Each row is cut into fields (views
// into the read buffer), its incident number looked up, and only a row that
// begins an incident is dated, placed and coded; a later row of the same
// incident adds its officer and subject ids to the counts. Events go
// straight into the store; what grouping needs per incident is a few bytes
// in parallel arrays and a hash table of indices, freed before the sort.
#include "records/import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <unordered_map>

#include "core/area_table.h"
#include "core/cell_table.h"
#include "core/georeference.h"
#include "core/store.h"
#include "core/text.h"
#include "core/whole_file.h"
#include "geo/geo.h"
#include "records/csv_reader.h"
#include "records/mapping.h"

namespace valdrin::records {

const char* const kRejectWords[kRejectReasonCount] = {"malformed",    "no_date",     "bad_date",
                                                      "year",         "no_place",    "bad_place",
                                                      "outside_grid", "outside_city"};

namespace {

// Distinct unknown texts kept per column; the rest are counted together.
constexpr size_t kUnknownTextsPerColumn = 100;
// Officer and subject counts stop here: code 5 stands for five or more.
constexpr uint8_t kMostPeople = 5;

uint64_t hash_text(std::string_view text) {
  uint64_t h = 0x9E3779B97F4A7C15ull ^ text.size();
  for (char c : text) h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
  h ^= h >> 33;
  h *= 0xFF51AFD7ED558CCDull;
  return h ^ (h >> 33);
}

// Open-addressing set of nonzero 64-bit keys, at most three quarters full.
struct KeySet {
  std::vector<uint64_t> slots = std::vector<uint64_t>(1024);
  size_t used = 0;
  // Return true when `key` was not there before.
  bool insert(uint64_t key) {
    if ((used + 1) * 4 > slots.size() * 3) {
      std::vector<uint64_t> old(slots.size() * 2);
      old.swap(slots);
      used = 0;
      for (uint64_t k : old)
        if (k) insert(k);
    }
    const size_t mask = slots.size() - 1;
    for (size_t i = static_cast<size_t>(key * 0x9E3779B97F4A7C15ull >> 20) & mask;;
         i = (i + 1) & mask) {
      if (slots[i] == key) return false;
      if (slots[i] == 0) {
        slots[i] = key;
        ++used;
        return true;
      }
    }
  }
};

// What grouping keeps of each pending incident, by event index.
struct Incidents {
  std::vector<uint64_t> number_hash;
  std::vector<uint32_t> first_officer, first_subject;
  std::vector<uint8_t> officers, subjects;
  std::vector<uint32_t> table = std::vector<uint32_t>(1024);  // event index + 1; 0 empty
  KeySet more_people;  // (incident, role, id) beyond each role's first id

  size_t slot_of(uint64_t hash) const {
    const size_t mask = table.size() - 1;
    size_t i = static_cast<size_t>(hash) & mask;
    while (table[i] != 0 && number_hash[table[i] - 1] != hash) i = (i + 1) & mask;
    return i;
  }
  // The event index of an incident seen before, or -1.
  int64_t find(uint64_t hash) const {
    const uint32_t at = table[slot_of(hash)];
    return at == 0 ? -1 : static_cast<int64_t>(at) - 1;
  }
  void add(uint64_t hash, uint32_t index) {
    number_hash.resize(index + 1), first_officer.resize(index + 1);
    first_subject.resize(index + 1), officers.resize(index + 1), subjects.resize(index + 1);
    number_hash[index] = hash;
    if ((index + 1) * 2 > table.size()) {
      table.assign(table.size() * 2, 0);
      for (uint32_t i = 0; i < index; ++i) table[slot_of(number_hash[i])] = i + 1;
    }
    table[slot_of(hash)] = index + 1;
  }
  // Counts one person of `role` (0 officer, 1 subject) with id text `id`;
  // without an id column (`has_ids` false) every row is another person.
  void count(uint32_t index, int role, bool has_ids, std::string_view id) {
    uint8_t& n = role == 0 ? officers[index] : subjects[index];
    uint32_t& first = role == 0 ? first_officer[index] : first_subject[index];
    if (n >= kMostPeople) return;
    if (!has_ids) {
      ++n;
      return;
    }
    char buffer[256];
    const size_t size = normalise_text(id, buffer, sizeof buffer);
    if (size == 0) return;  // no id: nobody to count
    const uint32_t h =
        static_cast<uint32_t>(hash_text(std::string_view(buffer, std::min(size, sizeof buffer))));
    if (n == 0) {
      first = h, n = 1;
      return;
    }
    if (h == first) return;
    const uint64_t key = (1ull << 63) | (static_cast<uint64_t>(index) << 33) |
                         (static_cast<uint64_t>(role) << 32) | h;
    if (more_people.insert(key)) ++n;
  }
};

// The age band of an age in years, as the Query Panel's SAGE items: 0 is
// "Unknown", over 75 not recorded.
uint8_t age_band(uint32_t years) {
  static constexpr uint32_t kBandEnds[] = {16, 22, 28, 34, 42, 49, 75};
  if (years == 0) return 8;
  for (uint8_t band = 0; band < 7; ++band)
    if (years <= kBandEnds[band]) return static_cast<uint8_t>(band + 1);
  return 0;
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal number, locale-free. Return 1 with the value.
int read_real(std::string_view text, double& value) {
  text = trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value) ? 1 : 0;
}

struct Importer {
  Mapping mapping;
  size_t header_fields = 0;
  bool grouping = false;
  std::unique_ptr<CellTable> cells = std::make_unique<CellTable>();
  Georeference georeference;
  LonLatToMapPtr projection;
  AreaTable areas;
  std::unique_ptr<EventStore> own_store;
  EventStore* store = nullptr;
  Incidents incidents;
  ImportSummary* summary = nullptr;
  std::FILE* rejects = nullptr;
  bool rejects_failed = false;
  std::string scratch, line;
  // Unknown texts by column label (index into labels), text -> count.
  std::vector<std::string> labels;
  std::vector<std::unordered_map<std::string, uint64_t>> unknown;
  std::string key;  // reused lookup key

  void reject(const CsvReader& reader, RejectReason reason) {
    ++summary->rejected[reason];
    if (rejects == nullptr) return;
    line.clear();
    line += std::to_string(reader.line);
    line += ',';
    line += kRejectWords[reason];
    line += ",\"";
    for (char c : csv_raw(reader)) {
      if (c == '"') line += '"';
      line += c;
    }
    line += "\"\n";
    if (std::fwrite(line.data(), 1, line.size(), rejects) != line.size()) rejects_failed = true;
  }

  void note_unknown(size_t label, std::string_view normal) {
    auto& texts = unknown[label];
    key.assign(normal);
    auto it = texts.find(key);
    if (it != texts.end()) {
      ++it->second;
      return;
    }
    if (texts.size() < kUnknownTextsPerColumn)
      texts.emplace(key, 1);
    else
      ++texts["(other texts)"];
  }

  // The columns' texts joined by `glue` into `out`. Return false when all
  // were empty.
  bool joined(const CsvReader& reader, const std::vector<ColumnRef>& columns, char glue,
              std::string& out) {
    out.clear();
    bool any = false;
    for (size_t i = 0; i < columns.size(); ++i) {
      const std::string_view text =
          trim(csv_field(reader, static_cast<size_t>(columns[i].index), scratch));
      any = any || !text.empty();
      if (i > 0) out += glue;
      out.append(text);
    }
    return any;
  }

  uint8_t field_code(const CsvReader& reader, FieldId field) {
    const FieldMapping& f = mapping.fields[field];
    std::string_view text;
    if (f.columns.size() == 1) {
      text = trim(csv_field(reader, static_cast<size_t>(f.columns[0].index), scratch));
      if (text.empty()) return 0;
    } else {
      if (!joined(reader, f.columns, '|', line)) return 0;
      text = line;
    }
    char normal[256];
    const size_t size = normalise_text(text, normal, sizeof normal);
    const std::string_view shown(normal, std::min(size, sizeof normal));
    if (size <= sizeof normal) {
      if (f.years) {
        uint32_t years = 0;
        if (parse_unsigned(shown, years)) return age_band(years);
      }
      key.assign(shown);
      const auto it = f.table.find(key);
      if (it != f.table.end()) return it->second;
    }
    note_unknown(field, shown);
    return 0;
  }

  // Dates the row. Return kRejectReasonCount when it has a key.
  RejectReason date(const CsvReader& reader, uint16_t& event_key) {
    if (!joined(reader, mapping.time_columns, ' ', line) || trim(line).empty()) return kNoDate;
    DateTime when;
    bool matched = false;
    for (const std::string& format : mapping.time_formats)
      if (match_time_pattern(format, line, when)) {
        matched = true;
        break;
      }
    if (!matched) return kBadDate;
    if (!time_key_of(when, mapping.shifts, event_key)) return kYearRange;
    return kRejectReasonCount;
  }

  // Places the row on a cell. Return kRejectReasonCount when it lies in the city.
  RejectReason place(const CsvReader& reader, Event& e) {
    const std::string_view a =
        trim(csv_field(reader, static_cast<size_t>(mapping.place_a.index), scratch));
    if (a.empty()) return kNoPlace;
    double va = 0, vb = 0;
    if (!read_real(a, va)) return kBadPlace;
    const std::string_view b =
        trim(csv_field(reader, static_cast<size_t>(mapping.place_b.index), scratch));
    if (b.empty()) return kNoPlace;
    if (!read_real(b, vb)) return kBadPlace;
    int col = 0, row = 0;
    if (mapping.place == PlaceKind::Grid) {
      if (va != std::floor(va) || vb != std::floor(vb)) return kBadPlace;
      if (va < 0 || va >= kGridRows || vb < 0 || vb >= kGridCols) return kOutsideGrid;
      row = static_cast<int>(va), col = static_cast<int>(vb);
    } else {
      double x = va, y = vb;
      if (mapping.place == PlaceKind::LonLat && !lon_lat_to_map(*projection, va, vb, x, y))
        return kBadPlace;
      double gc = 0, gr = 0;
      if (!map_to_grid(georeference, x, y, gc, gr)) return kOutsideGrid;
      col = std::clamp(static_cast<int>(gc), 0, kGridCols - 1);
      row = std::clamp(static_cast<int>(gr), 0, kGridRows - 1);
    }
    const uint32_t* words = cells->words[row * kGridCols + col];
    // A data folder marks a cell outside its city with the keymap "."; a
    // cell inside without a zip area (a zip layer with gaps) still holds
    // its events, with zip 0.
    if ((words[1] & 0xFFu) == '.') return kOutsideCity;
    set_field(e, kCol, static_cast<uint32_t>(col));
    set_field(e, kRow, static_cast<uint32_t>(row));
    set_field(e, kZip, first_zip(words[0]));
    set_field(e, kCouncil, first_council(words[0]));
    return kRejectReasonCount;
  }

  void area_columns(const CsvReader& reader, Event& e) {
    char normal[64];
    if (mapping.zip.index >= 0) {
      const std::string_view text =
          trim(csv_field(reader, static_cast<size_t>(mapping.zip.index), scratch));
      uint32_t code = 0, index = 0;
      const size_t n = normalise_text(text, normal, sizeof normal);
      const std::string_view shown(normal, std::min(n, sizeof normal));
      if (text.empty())
        index = 0;
      else if (!parse_unsigned(shown, code) || !zip_index(areas, code, index) ||
               index > kMaxZipIndex)
        note_unknown(kZip, shown), index = 0;
      set_field(e, kZip, index);
    }
    if (mapping.district.index >= 0) {
      const std::string_view text =
          trim(csv_field(reader, static_cast<size_t>(mapping.district.index), scratch));
      const size_t n = normalise_text(text, normal, sizeof normal);
      const std::string_view shown(normal, std::min(n, sizeof normal));
      uint32_t district = 0;
      if (shown.size() == 1 && shown[0] >= 'a' && shown[0] <= 'o')
        district = static_cast<uint32_t>(shown[0] - 'a' + 1);
      else if (!shown.empty() &&
               !(parse_unsigned(shown, district) && district >= 1 && district <= 15))
        note_unknown(kCouncil, shown), district = 0;
      set_field(e, kCouncil, district);
    }
  }

  void count_people(const CsvReader& reader, uint32_t index) {
    const ColumnRef* ids[2] = {&mapping.officer_id, &mapping.subject_id};
    for (int role = 0; role < 2; ++role) {
      const bool has_ids = ids[role]->index >= 0;
      incidents.count(index, role, has_ids,
                      has_ids ? csv_field(reader, static_cast<size_t>(ids[role]->index), scratch)
                              : std::string_view());
    }
  }

  void row(const CsvReader& reader) {
    ++summary->rows;
    if (reader.malformed || reader.fields.size() != header_fields)
      return reject(reader, kMalformed);
    uint64_t number = 0;
    if (grouping) {
      char normal[256];
      const size_t n =
          normalise_text(csv_field(reader, static_cast<size_t>(mapping.incident.index), scratch),
                         normal, sizeof normal);
      if (n > 0) {
        number = hash_text(std::string_view(normal, std::min(n, sizeof normal))) | 1u;
        const int64_t at = incidents.find(number);
        if (at >= 0) {
          ++summary->grouped;
          return count_people(reader, static_cast<uint32_t>(at));
        }
      }
    }
    Event e;
    RejectReason fault = date(reader, e.key);
    if (fault == kRejectReasonCount) fault = place(reader, e);
    if (fault != kRejectReasonCount) return reject(reader, fault);
    area_columns(reader, e);
    for (int f = kDivision; f <= kReason; ++f)
      if (!mapping.fields[f].columns.empty())
        set_field(e, static_cast<FieldId>(f), field_code(reader, static_cast<FieldId>(f)));
    if (store->count >= kStoreCapacity) {
      ++summary->left_out;
      return;
    }
    const uint32_t index = store->count++;
    store->records[index] = e;
    if (grouping) {
      // A row without a number is an incident of its own: a key no
      // number hashes to (even) keeps it out of the table's way.
      incidents.add(number != 0 ? number : (static_cast<uint64_t>(index) << 1), index);
      count_people(reader, index);
    }
  }

  // The counted officers and subjects of each incident, where the mapping
  // takes them from no column.
  void set_counts() {
    if (!grouping) return;
    for (uint32_t i = 0; i < store->count; ++i) {
      if (mapping.fields[kNumo].columns.empty())
        set_field(store->records[i], kNumo, incidents.officers[i]);
      if (mapping.fields[kNums].columns.empty())
        set_field(store->records[i], kNums, incidents.subjects[i]);
    }
  }
};

std::string column_label(const std::vector<ColumnRef>& columns) {
  std::string label;
  for (const ColumnRef& c : columns) label += (label.empty() ? "" : "|") + c.name;
  return label;
}

int copy_file(std::FILE* from, std::FILE* to) {
  if (std::fseek(from, 0, SEEK_SET) != 0) return 0;
  char block[1 << 16];
  size_t got;
  while ((got = std::fread(block, 1, sizeof block, from)) > 0)
    if (std::fwrite(block, 1, got, to) != got) return 0;
  return std::ferror(from) ? 0 : 1;
}

}  // namespace

int import_records(const ImportRequest& request, ImportSummary& summary, std::string& error) {
  summary = ImportSummary{};
  auto im = std::make_unique<Importer>();
  im->summary = &summary;
  if (request.store == nullptr) im->own_store = std::make_unique<EventStore>();
  im->store = request.store ? request.store : im->own_store.get();
  im->store->count = 0;
  if (!read_mapping(request.mapping_path, im->mapping, error)) {
    summary.bad_mapping = error.rfind("can't read", 0) != 0;
    return 0;
  }
  Mapping& m = im->mapping;

  std::FILE* file = std::fopen(request.csv_path.c_str(), "rb");
  if (file == nullptr) {
    error = "can't read " + request.csv_path;
    return 0;
  }
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_closer(file, std::fclose);
  auto reader = std::make_unique<CsvReader>();
  start_csv(*reader, file);
  if (!next_csv_record(*reader)) {
    error = reader->read_failed ? "can't read " + request.csv_path
                                : request.csv_path + " has no header line";
    return 0;
  }
  std::vector<std::string> header;
  for (size_t i = 0; i < reader->fields.size(); ++i)
    header.emplace_back(csv_field(*reader, i, im->scratch));
  im->header_fields = header.size();
  if (!resolve_columns(m, header, error)) {
    summary.bad_mapping = true;
    return 0;
  }
  im->grouping = m.incident.index >= 0;

  // The data folder: the cell table always, the georeference for points,
  // the area table for a zip column.
  const std::string selection = request.data_folder + "/selections/default.sel";
  if (!init_selection(selection.c_str(), *im->cells)) {
    error = "can't read the cell table " + selection;
    return 0;
  }
  if (m.place != PlaceKind::Grid) {
    if (!read_georeference(request.data_folder + "/" + kGeoreferenceFile, im->georeference, error))
      return 0;
    if (m.place == PlaceKind::LonLat) {
      im->projection = make_lon_lat_to_map(im->georeference.crs, error);
      if (!im->projection) return 0;
    }
  }
  if (m.zip.index >= 0 &&
      !read_area_table(request.data_folder + "/" + kAreaTableFile, im->areas, error))
    return 0;

  // Labels of the columns whose unknown texts are counted, by field.
  im->labels.assign(kFieldCount, std::string());
  im->unknown.assign(kFieldCount, {});
  for (int f = kDivision; f <= kReason; ++f) im->labels[f] = column_label(m.fields[f].columns);
  im->labels[kZip] = m.zip.name;
  im->labels[kCouncil] = m.district.name;

  std::unique_ptr<std::FILE, int (*)(std::FILE*)> rejects(nullptr, std::fclose);
  if (!request.rejects_path.empty()) {
    rejects.reset(std::tmpfile());
    if (!rejects) {
      error = "can't make a temporary file for the rejects";
      return 0;
    }
    im->rejects = rejects.get();
    std::fputs("line,reason,row\n", im->rejects);
  }

  while (next_csv_record(*reader)) im->row(*reader);
  if (reader->read_failed) {
    error = "can't read " + request.csv_path;
    return 0;
  }
  file_closer.reset();
  reader.reset();
  im->set_counts();
  im->incidents = Incidents{};  // freed before the sort needs its room
  sort_store(*im->store);
  summary.events = im->store->count;

  if (rejects && (im->rejects_failed || std::fflush(rejects.get()) != 0)) {
    error = "can't write the rejects";
    return 0;
  }
  if (!write_records(request.out_path.c_str(), *im->store)) {
    error = "can't write " + request.out_path;
    return 0;
  }
  if (rejects && !save_whole_file(request.rejects_path.c_str(),
                                  [&](std::FILE* out) { return copy_file(rejects.get(), out); })) {
    error = "can't write " + request.rejects_path;
    return 0;
  }

  for (int f = 0; f < kFieldCount; ++f)
    for (const auto& [text, count] : im->unknown[f])
      summary.unknown.push_back(UnknownText{im->labels[f], text, count});
  std::stable_sort(summary.unknown.begin(), summary.unknown.end(),
                   [](const UnknownText& a, const UnknownText& b) {
                     if (a.column != b.column) return a.column < b.column;
                     if (a.count != b.count) return a.count > b.count;
                     return a.text < b.text;
                   });
  return 1;
}

std::string summary_text(const ImportSummary& s) {
  uint64_t rejected = 0;
  for (uint64_t n : s.rejected) rejected += n;
  std::string out = "rows read: " + std::to_string(s.rows) + "\n";
  out += "events written: " + std::to_string(s.events) + "\n";
  if (s.grouped)
    out += "rows joined to an incident begun earlier: " + std::to_string(s.grouped) + "\n";
  out += "rows rejected: " + std::to_string(rejected) + "\n";
  for (int r = 0; r < kRejectReasonCount; ++r)
    if (s.rejected[r])
      out += std::string("  ") + kRejectWords[r] + ": " + std::to_string(s.rejected[r]) + "\n";
  if (!s.unknown.empty()) {
    out += "unknown texts, recorded as not recorded:\n";
    std::string column;
    for (const UnknownText& u : s.unknown) {
      if (u.column != column) {
        column = u.column;
        out += "  " + column + ":";
      }
      out += " \"" + u.text + "\" " + std::to_string(u.count);
      out += &u == &s.unknown.back() || (&u + 1)->column != column ? "\n" : ",";
    }
  }
  return out;
}

}  // namespace valdrin::records
