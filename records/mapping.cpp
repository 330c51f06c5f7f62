// Reading the mapping with toml++: every key is checked (an unknown key is a
// typo the analyst wants told), every value's type and range, and each
// fault names the key and its line.
#include "records/mapping.h"

#include <toml++/toml.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "core/text.h"

namespace valdrin::records {

namespace {

// A fault found while reading; unwinds to parse_mapping.
struct Fault {
  int line;
  std::string key, text;
};

int line_of(const toml::node& node) { return static_cast<int>(node.source().begin.line); }

[[noreturn]] void fail(const toml::node& node, const std::string& key, const std::string& text) {
  throw Fault{line_of(node), key, text};
}

std::string join(const std::string& a, std::string_view b) {
  return a.empty() ? std::string(b) : a + "." + std::string(b);
}

const toml::table& as_table(const toml::node& node, const std::string& key) {
  if (!node.is_table()) fail(node, key, "must be a table");
  return *node.as_table();
}

std::string as_text(const toml::node& node, const std::string& key) {
  if (!node.is_string()) fail(node, key, "must be a quoted text");
  const std::string text = node.as_string()->get();
  if (text.empty()) fail(node, key, "must not be empty");
  return text;
}

// A text or an array of texts.
std::vector<std::string> as_texts(const toml::node& node, const std::string& key) {
  std::vector<std::string> out;
  if (const toml::array* array = node.as_array()) {
    for (const toml::node& item : *array) out.push_back(as_text(item, key));
    if (out.empty()) fail(node, key, "must name at least one");
  } else {
    out.push_back(as_text(node, key));
  }
  return out;
}

ColumnRef column(const toml::node& node, const std::string& key) {
  return ColumnRef{as_text(node, key), key, line_of(node), -1};
}

std::vector<ColumnRef> columns(const toml::node& node, const std::string& key) {
  std::vector<ColumnRef> out;
  for (std::string& name : as_texts(node, key))
    out.push_back(ColumnRef{name, key, line_of(node), -1});
  return out;
}

// "HH:MM" as minutes after midnight.
int clock_minutes(const toml::node& node, const std::string& key) {
  const std::string text = as_text(node, key);
  uint32_t hours = 0, minutes = 0;
  const size_t colon = text.find(':');
  if (colon == std::string::npos ||
      !parse_unsigned(std::string_view(text).substr(0, colon), hours) ||
      !parse_unsigned(std::string_view(text).substr(colon + 1), minutes) || hours > 23 ||
      minutes > 59 || text.size() - colon != 3)
    fail(node, key, "must be a time of day as \"HH:MM\", such as \"07:00\"");
  return static_cast<int>(hours * 60 + minutes);
}

std::string lower_text(std::string_view text) {
  char buffer[256];
  const size_t n = normalise_text(text, buffer, sizeof buffer);
  return n > sizeof buffer ? std::string() : std::string(buffer, n);
}

// The field's code for a table value: a code number or a list item's text.
uint8_t code_of(FieldId field, const toml::node& node, const std::string& key) {
  const uint32_t limit = 1u << kFields[field].width;
  if (const auto* number = node.as_integer()) {
    const int64_t value = number->get();
    if (value < 0 || value >= limit)
      fail(node, key,
           "code " + std::to_string(value) + " is outside 0-" + std::to_string(limit - 1));
    return static_cast<uint8_t>(value);
  }
  const std::string text = as_text(node, key);
  const CodeLabels labels = code_labels(field);
  for (uint32_t code = 1; code < labels.size; ++code)
    if (labels.labels[code] && equals_ignore_case(text, labels.labels[code]))
      return static_cast<uint8_t>(code);
  std::string known;
  for (uint32_t code = 1; code < labels.size; ++code)
    if (labels.labels[code]) known += std::string(known.empty() ? "" : ", ") + labels.labels[code];
  fail(node, key, "unknown value \"" + text + "\" (one of " + known + ", or a code)");
}

void read_time(const toml::table& t, Mapping& m) {
  bool have_column = false, have_format = false;
  for (auto&& [k, v] : t) {
    const std::string key = join("time", k.str());
    if (k == "column" || k == "columns") {
      if (have_column) fail(v, key, "time.column and time.columns are one key; give one");
      m.time_columns = columns(v, key), have_column = true;
    } else if (k == "format") {
      m.time_formats = as_texts(v, key), have_format = true;
      for (const std::string& format : m.time_formats) {
        std::string error;
        if (!check_time_pattern(format, error)) fail(v, key, "\"" + format + "\": " + error);
      }
    } else if (k == "day") {
      m.shifts.day_start = clock_minutes(v, key);
    } else if (k == "evening") {
      m.shifts.evening_start = clock_minutes(v, key);
    } else if (k == "night") {
      m.shifts.night_start = clock_minutes(v, key);
    } else if (k == "night_after_midnight") {
      const std::string rule = as_text(v, key);
      if (rule != "same_day" && rule != "previous_day")
        fail(v, key, "must be \"same_day\" or \"previous_day\"");
      m.shifts.night_to_previous_day = rule == "previous_day";
    } else {
      fail(v, key,
           "unknown key (time takes column(s), format, day, evening, night, "
           "night_after_midnight)");
    }
  }
  if (!have_column) fail(t, "time.column", "missing: name the column(s) holding the date and time");
  if (!have_format) fail(t, "time.format", "missing: give the pattern of the date and time");
  if (!(m.shifts.day_start < m.shifts.evening_start &&
        m.shifts.evening_start < m.shifts.night_start))
    fail(t, "time", "the shifts must begin in the order day, evening, night within one day");
}

void read_place(const toml::table& t, Mapping& m) {
  ColumnRef lon, lat, x, y, row, col;
  for (auto&& [k, v] : t) {
    const std::string key = join("place", k.str());
    if (k == "longitude")
      lon = column(v, key);
    else if (k == "latitude")
      lat = column(v, key);
    else if (k == "x")
      x = column(v, key);
    else if (k == "y")
      y = column(v, key);
    else if (k == "row")
      row = column(v, key);
    else if (k == "col")
      col = column(v, key);
    else if (k == "zip")
      m.zip = column(v, key);
    else if (k == "district")
      m.district = column(v, key);
    else
      fail(v, key,
           "unknown key (place takes longitude and latitude, x and y, or row and col; "
           "zip, district)");
  }
  const int kinds = (!lon.name.empty() || !lat.name.empty()) +
                    (!x.name.empty() || !y.name.empty()) + (!row.name.empty() || !col.name.empty());
  if (kinds != 1) fail(t, "place", "give one of: longitude and latitude, x and y, or row and col");
  auto pair = [&](PlaceKind kind, ColumnRef& a, ColumnRef& b, const char* a_key,
                  const char* b_key) {
    if (a.name.empty() && b.name.empty()) return;
    if (a.name.empty()) fail(t, std::string("place.") + a_key, "missing: it goes with " + b.key);
    if (b.name.empty()) fail(t, std::string("place.") + b_key, "missing: it goes with " + a.key);
    m.place = kind, m.place_a = a, m.place_b = b;
  };
  pair(PlaceKind::LonLat, lon, lat, "longitude", "latitude");
  pair(PlaceKind::MapXY, x, y, "x", "y");
  pair(PlaceKind::Grid, row, col, "row", "col");
}

void read_incident(const toml::table& t, Mapping& m) {
  for (auto&& [k, v] : t) {
    const std::string key = join("incident", k.str());
    if (k == "column")
      m.incident = column(v, key);
    else if (k == "officer_id")
      m.officer_id = column(v, key);
    else if (k == "subject_id")
      m.subject_id = column(v, key);
    else
      fail(v, key, "unknown key (incident takes column, officer_id, subject_id)");
  }
  if (m.incident.name.empty() && (!m.officer_id.name.empty() || !m.subject_id.name.empty()))
    fail(t, "incident.column", "missing: ids count people within an incident");
}

void read_field(FieldId field, const toml::table& t, const std::string& base, Mapping& m) {
  FieldMapping& f = m.fields[field];
  bool have_column = false;
  for (auto&& [k, v] : t) {
    const std::string key = join(base, k.str());
    if (k == "column" || k == "columns") {
      if (have_column) fail(v, key, "column and columns are one key; give one");
      f.columns = columns(v, key), have_column = true;
    } else if (k == "table") {
      for (auto&& [text, code] : as_table(v, key)) {
        const std::string entry = key + "." + std::string(text.str());
        const std::string normal = lower_text(text.str());
        if (normal.empty()) fail(code, entry, "a text must have something besides spaces");
        f.table[normal] = code_of(field, code, entry);
      }
    } else if (k == "years" && field == kSage) {
      if (!v.is_boolean()) fail(v, key, "must be true or false");
      f.years = v.as_boolean()->get();
    } else {
      fail(v, key,
           std::string("unknown key (a field takes column(s), table") +
               (field == kSage ? ", years)" : ")"));
    }
  }
  if (!have_column) fail(t, base + ".column", "missing: name the column this field comes from");
}

void read_root(const toml::table& root, Mapping& m) {
  bool have_time = false, have_place = false;
  for (auto&& [k, v] : root) {
    const std::string key(k.str());
    if (k == "time") {
      read_time(as_table(v, key), m), have_time = true;
    } else if (k == "place") {
      read_place(as_table(v, key), m), have_place = true;
    } else if (k == "incident") {
      read_incident(as_table(v, key), m);
    } else if (k == "fields") {
      for (auto&& [name, body] : as_table(v, key)) {
        const std::string field_key = "fields." + std::string(name.str());
        int found = -1;
        for (int f = 0; f < kFieldCount; ++f)
          if (const char* known = mapping_field_key(static_cast<FieldId>(f)))
            if (name == known) found = f;
        if (found < 0)
          fail(body, field_key,
               "unknown field (division, successful, injury, numo, orace, ogender, "
               "response, nums, srace, sgender, sage, reason)");
        read_field(static_cast<FieldId>(found), as_table(body, field_key), field_key, m);
      }
    } else {
      fail(v, key, "unknown key (the mapping has time, place, incident and fields)");
    }
  }
  if (!have_time) fail(root, "time", "missing: the mapping needs a [time] table");
  if (!have_place) fail(root, "place", "missing: the mapping needs a [place] table");
}

}  // namespace

const char* mapping_field_key(FieldId field) {
  static constexpr const char* kKeys[kFieldCount] = {
      nullptr,    nullptr,    nullptr,      nullptr,   nullptr, nullptr, nullptr,
      nullptr,    "division", "successful", "injury",  "numo",  "orace", "ogender",
      "response", "nums",     "srace",      "sgender", "sage",  "reason"};
  return kKeys[field];
}

size_t normalise_text(std::string_view text, char* out, size_t size) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  if (text.size() > size) return size + 1;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    out[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return text.size();
}

int parse_mapping(std::string_view text, const std::string& source, Mapping& out,
                  std::string& error) {
  Mapping m;
  m.source = source;
  try {
    const toml::table root = toml::parse(text, source);
    read_root(root, m);
  } catch (const toml::parse_error& e) {
    error =
        source + ":" + std::to_string(e.source().begin.line) + ": " + std::string(e.description());
    return 0;
  } catch (const Fault& f) {
    error = source + ":" + std::to_string(f.line) + ": " + f.key + ": " + f.text;
    return 0;
  }
  // The list items of every mapped field are understood unless the table
  // gives the same text another code.
  for (int f = kDivision; f <= kReason; ++f) {
    const CodeLabels labels = code_labels(static_cast<FieldId>(f));
    for (uint32_t code = 1; code < labels.size; ++code)
      if (labels.labels[code])
        m.fields[f].table.emplace(lower_text(labels.labels[code]), static_cast<uint8_t>(code));
  }
  out = std::move(m);
  return 1;
}

int read_mapping(const std::string& path, Mapping& out, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "can't read " + path;
    return 0;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "can't read " + path;
    return 0;
  }
  return parse_mapping(text.str(), path, out, error);
}

// A column name as names are compared: trimmed, lower case, each run of
// spaces one space ("Date  Occurred" is "date occurred").
static std::string column_key(std::string_view name) {
  std::string key = lower_text(name);
  key.erase(
      std::unique(key.begin(), key.end(), [](char a, char b) { return a == ' ' && b == ' '; }),
      key.end());
  return key;
}

int resolve_columns(Mapping& m, const std::vector<std::string>& header, std::string& error) {
  std::vector<std::string> names;
  for (const std::string& h : header) names.push_back(column_key(h));
  std::vector<ColumnRef*> refs;
  for (ColumnRef& c : m.time_columns) refs.push_back(&c);
  for (ColumnRef* c :
       {&m.place_a, &m.place_b, &m.zip, &m.district, &m.incident, &m.officer_id, &m.subject_id})
    refs.push_back(c);
  for (FieldMapping& f : m.fields)
    for (ColumnRef& c : f.columns) refs.push_back(&c);
  for (ColumnRef* c : refs) {
    if (c->name.empty()) continue;
    const std::string want = column_key(c->name);
    c->index = -1;
    for (size_t i = 0; i < names.size() && c->index < 0; ++i)
      if (names[i] == want) c->index = static_cast<int>(i);
    if (c->index < 0) {
      error = m.source + ":" + std::to_string(c->line) + ": " + c->key + ": no column \"" +
              c->name + "\" in the export's header";
      return 0;
    }
  }
  return 1;
}

}  // namespace valdrin::records
