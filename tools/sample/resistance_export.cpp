// How the export is written. Each incident becomes its officers x subjects
// rows (one row, with an empty id, for a count not recorded); the first row
// carries the incident's own attributes, the others draw their people from
// the same texts. Now and then an incident's later rows come after the next
// incident's, as exports sorted by something else than the number have it.
// The spellings and the point inside the cell come from a random sequence
// of the export's own, so the sample's events stay exactly as they were.
#include "tools/sample/resistance_export.h"

#include <cstdio>
#include <initializer_list>

#include "core/time_key.h"
#include "geo/geo.h"

namespace valdrin::sample {

namespace {

// One of `texts`, drawn from the export's own sequence.
const char* pick(Random& r, std::initializer_list<const char*> texts) {
  return texts.begin()[r.below(static_cast<uint32_t>(texts.size()))];
}

// The texts of each code as exports spell them; "" where not recorded.
const char* race_text(Random& r, uint32_t code) {
  switch (code) {
    case 1: return pick(r, {"Asian", "A", "ASIAN", "Asian/Pacific Islander"});
    case 2: return pick(r, {"Black", "B", "BLACK", "African-American"});
    case 3: return pick(r, {"Hispanic", "H", "HISPANIC", "Latino"});
    case 4: return pick(r, {"White", "W", "WHITE", "Caucasian"});
    case 5: return pick(r, {"Dog", "Animal"});
    case 6: return pick(r, {"Officer", "Police Officer"});
    default: return pick(r, {"", "Unknown"});
  }
}

const char* sex_text(Random& r, uint32_t code) {
  switch (code) {
    case 1: return pick(r, {"Male", "M", "MALE"});
    case 2: return pick(r, {"Female", "F", "FEMALE"});
    case 3: return pick(r, {"Dog", "Animal"});
    case 4: return "Officer";
    default: return pick(r, {"", "U"});
  }
}

const char* response_text(Random& r, uint32_t code) {
  switch (code) {
    case 1: return pick(r, {"Dispatched", "Call for Service", "DISPATCHED"});
    case 2: return pick(r, {"Initiated", "Officer Initiated", "On View"});
    case 3: return "Duplicate";
    default: return "";
  }
}

const char* conduct_text(Random& r, uint32_t code) {
  switch (code) {
    case 1: return pick(r, {"Combat/Resist", "Resisting Arrest"});
    case 2: return pick(r, {"Threat/Weapon", "Armed Threat"});
    case 3: return pick(r, {"Verbal/Physical", "Non-Compliance"});
    case 4: return pick(r, {"Felony Suspect", "FELONY SUSPECT"});
    case 5: return pick(r, {"Dog", "Animal Attack"});
    case 6: return pick(r, {"Accident", "Vehicle Accident"});
    default: return pick(r, {"", "Other"});
  }
}

std::string division_text(Random& r, uint32_t code) {
  if (code == 0) return "";
  if (code == 15 && r.below(2) == 0) return "Special Operations";
  std::string text = code_label(kDivision, code);
  if (r.below(2) == 0)
    for (char& c : text) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
  return text;
}

// The two injury columns, officer then subject, in one row's spelling.
void injury_texts(Random& r, uint32_t code, const char*& officer, const char*& subject) {
  if (code == 0) {
    officer = subject = "";
    return;
  }
  const bool short_form = r.below(2) == 0;
  const char* yes = short_form ? "Y" : "Yes";
  const char* no = short_form ? "N" : "No";
  officer = code == 2 || code == 4 ? yes : no;
  subject = code == 3 || code == 4 ? yes : no;
}

constexpr const char* kCallTypes[] = {"Disturbance, Other",  "Welfare Check",
                                      "Assault in Progress", "Suspicious Person, Vehicle",
                                      "Traffic Stop",        "Caller says \"armed\"",
                                      "Noise,\nloud music"};

void append_field(std::string& line, const std::string& text) {
  if (text.find_first_of(",\"\n") == std::string::npos) {
    line += text;
  } else {
    line += '"';
    for (char c : text) line += c == '"' ? std::string("\"\"") : std::string(1, c);
    line += '"';
  }
}

std::string csv_line(std::initializer_list<std::string> fields) {
  std::string line;
  for (const std::string& f : fields) {
    if (!line.empty() || &f != fields.begin()) line += ',';
    append_field(line, f);
  }
  return line + "\r\n";
}

// "MM/DD/YYYY hh:mm:ss AM" within the shift (a night's hours from 23:00 to
// 06:59 of the same date), or the date alone when no shift was recorded.
std::string occurred_text(Random& r, uint16_t key) {
  const TimeFields t = unpack_time_key(key);
  char text[40];
  const bool padded = r.below(5) != 0;
  const int n = std::snprintf(text, sizeof text, padded ? "%02u/%02u/%04u" : "%u/%u/%u",
                              unsigned{t.month}, unsigned{t.day}, 2000u + t.year);
  if (t.shift == 0) return std::string(text, static_cast<size_t>(n));
  static constexpr uint32_t kStart[4] = {0, 7 * 60, 15 * 60, 23 * 60};
  const uint32_t minute = (kStart[t.shift] + r.below(8 * 60)) % (24 * 60);
  const uint32_t hour = minute / 60, hour12 = hour % 12 == 0 ? 12 : hour % 12;
  std::snprintf(text + n, sizeof text - static_cast<size_t>(n), " %02u:%02u:%02u %s", hour12,
                minute % 60, r.below(60), hour < 12 ? "AM" : "PM");
  return text;
}

// Longitude/latitude of grid position (col, row), as "%.6f" texts.
bool lon_lat_texts(LonLatToMap& inverse, const Georeference& g, double col, double row,
                   std::string& lon, std::string& lat) {
  double x, y, lon_value, lat_value;
  grid_to_map(g, col, row, x, y);
  if (!map_to_lon_lat(inverse, x, y, lon_value, lat_value)) return false;
  char text[32];
  std::snprintf(text, sizeof text, "%.6f", lon_value);
  lon = text;
  std::snprintf(text, sizeof text, "%.6f", lat_value);
  lat = text;
  return true;
}

constexpr const char* kHeader =
    "INCIDENT_NUMBER,OCCURRED_DATE_TIME,DIVISION,BEAT,CALL_TYPE,OFFICER_ID,OFFICER_RACE,"
    "OFFICER_SEX,RESPONSE_TYPE,SUBJECT_ID,SUBJECT_RACE,SUBJECT_SEX,SUBJECT_AGE,SUBJECT_CONDUCT,"
    "FORCE_EFFECTIVE,OFFICER_INJURED,SUBJECT_INJURED,LATITUDE,LONGITUDE\r\n";

}  // namespace

Event imported_event(const Event& event) {
  Event e = event;
  if (get_field(e, kNumo) > 5) set_field(e, kNumo, 1);
  if (get_field(e, kNums) > 5) set_field(e, kNums, 1);
  return e;
}

int resistance_export(const std::vector<Incident>& incidents, const CellTable& cells,
                      const Georeference& georeference, std::string& text, std::string& error) {
  LonLatToMapPtr inverse = make_lon_lat_to_map(georeference.crs, error);
  if (!inverse) return 0;
  Random r(0x2E51'57A0'CE00'2024ull);  // a seed of its own
  text = kHeader;
  std::string deferred;  // later rows of the incident before, written after this one's
  uint32_t sequence[32] = {};
  for (size_t n = 0; n < incidents.size(); ++n) {
    const Incident& incident = incidents[n];
    const Event& e = incident.event;
    const TimeFields t = unpack_time_key(e.key);
    char number[24];
    std::snprintf(number, sizeof number, "R2R-%04u-%05u", 2000u + t.year, ++sequence[t.year]);
    const std::string occurred = occurred_text(r, e.key);
    std::string lon, lat;
    const double col = get_field(e, kCol) + 0.15 + 0.7 * r.unit();
    const double row = get_field(e, kRow) + 0.15 + 0.7 * r.unit();
    if (!lon_lat_texts(*inverse, georeference, col, row, lon, lat)) {
      error = "can't place a cell in longitude/latitude";
      return 0;
    }
    const std::string division = division_text(r, get_field(e, kDivision));
    const std::string call = kCallTypes[r.below(std::size(kCallTypes))];
    const char* officer_injured;
    const char* subject_injured;
    injury_texts(r, get_field(e, kInjury), officer_injured, subject_injured);
    const uint32_t successful = get_field(e, kSuccessful);
    const std::string effective = successful == 0   ? ""
                                  : successful == 2 ? pick(r, {"Yes", "Y"})
                                                    : pick(r, {"No", "N"});
    const std::string conduct = conduct_text(r, get_field(e, kReason));
    const std::string response = response_text(r, get_field(e, kResponse));
    const uint32_t numo = get_field(e, kNumo), nums = get_field(e, kNums);
    const uint32_t officers = numo >= 1 && numo <= 5 ? numo : 1;
    const uint32_t subjects = nums >= 1 && nums <= 5 ? nums : 1;
    const uint32_t badge = 10000 + r.below(80000);
    std::string rows[2];  // the first row, then the rest
    for (uint32_t o = 0; o < officers; ++o) {
      std::string officer_id = numo == 0 ? "" : std::to_string(badge + 7 * o);
      const std::string orace = race_text(r, o == 0 ? get_field(e, kOrace) : 1 + r.below(4));
      const std::string osex = sex_text(r, o == 0 ? get_field(e, kOgender) : 1 + r.below(2));
      for (uint32_t s = 0; s < subjects; ++s) {
        const bool own = s == 0;
        const std::string subject_id =
            nums == 0 ? "" : std::string(number + 4) + "-S" + std::to_string(s + 1);
        const uint32_t sage = get_field(e, kSage);
        const std::string age = !own        ? std::to_string(17 + r.below(40))
                                : sage == 8 ? std::string(pick(r, {"Unknown", "UNKNOWN"}))
                                : sage == 0 ? std::string()
                                            : std::to_string(incident.age);
        std::string line = csv_line(
            {number, occurred, division, incident.beat, call, officer_id, orace, osex, response,
             subject_id, race_text(r, own ? get_field(e, kSrace) : 1 + r.below(4)),
             sex_text(r, own ? get_field(e, kSgender) : 1 + r.below(2)), age, conduct, effective,
             officer_injured, subject_injured, lat, lon});
        rows[o == 0 && s == 0 ? 0 : 1] += line;
      }
    }
    text += rows[0];
    text += deferred;
    deferred.clear();
    if (r.below(25) == 0)
      deferred = rows[1];
    else
      text += rows[1];
  }
  text += deferred;

  // Rows no import can place, one of each kind.
  std::string far_lon, far_lat, lake_lon, lake_lat;
  lon_lat_texts(*inverse, georeference, -80.5, 30.5, far_lon, far_lat);
  for (int i = 0; i < kCellCount; ++i)
    if (first_zip(cells.words[i][0]) == 0) {
      lon_lat_texts(*inverse, georeference, i % kGridCols + 0.5, i / kGridCols + 0.5, lake_lon,
                    lake_lat);
      break;
    }
  const std::string good = "06/01/2025 10:15:00 PM";
  struct Dirty {
    std::string occurred, lat, lon;
  };
  std::string first_lat, first_lon;
  lon_lat_texts(*inverse, georeference, 42.5, 33.5, first_lon, first_lat);
  const Dirty dirty[] = {{"", first_lat, first_lon},
                         {"13/45/2024 10:00:00 AM", first_lat, first_lon},
                         {"Tomorrow", first_lat, first_lon},
                         {"12/31/1999 11:00:00 PM", first_lat, first_lon},
                         {good, "", ""},
                         {good, "N/A", first_lon},
                         {good, far_lat, far_lon},
                         {good, lake_lat, lake_lon}};
  uint32_t k = 0;
  for (const Dirty& d : dirty)
    text += csv_line({"R2R-X-" + std::to_string(++k), d.occurred, "CENTRAL", "01A", "Welfare Check",
                      "12345", "W", "M", "Dispatched", "X-S1", "B", "M", "30", "Non-Compliance",
                      "Y", "N", "N", d.lat, d.lon});
  text += "R2R-X-" + std::to_string(++k) + ",\"06/01/2025\"x,CENTRAL\r\n";  // a stray character
  text += "R2R-X-" + std::to_string(++k) + ",06/01/2025 10:15:00 PM,CENTRAL\r\n";  // cut short
  return 1;
}

}  // namespace valdrin::sample
