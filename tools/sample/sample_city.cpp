// How the sample's incidents are drawn. Each incident picks a day (weekday,
// season and a few holidays weigh in), a shift (evenings and nights, more so
// at weekends), a cell (a weight map made from the city's downtown,
// highways, major roads, water, parks and a handful of lasting hot spots,
// plus one hot spot that flares up in the summer of the second year), a
// division (the station area's, now and then a city-wide unit) and the
// people involved, from tables of unequal shares with a little "not
// recorded" in each. Only IEEE arithmetic and square roots are used, so
// the numbers come out the same on every machine.
#include "tools/sample/sample_city.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/time_key.h"
#include "core/whole_file.h"

namespace valdrin::sample {

namespace {

using atlas::City;
using atlas::Point;

// A discrete distribution: pick() returns index i with probability
// weight[i] / total.
struct Weighted {
  std::vector<double> cumulative;
  explicit Weighted(const std::vector<double>& weights) {
    double sum = 0;
    for (double w : weights) cumulative.push_back(sum += w);
  }
  size_t pick(Random& random) const {
    const double target = random.unit() * cumulative.back();
    const auto it = std::upper_bound(cumulative.begin(), cumulative.end(), target);
    return std::min(static_cast<size_t>(it - cumulative.begin()), cumulative.size() - 1);
  }
};

// A code drawn from a table of (code, share) pairs.
struct CodeShare {
  uint8_t code;
  double share;
};

struct CodeTable {
  std::vector<uint8_t> codes;
  Weighted weights;
  explicit CodeTable(std::initializer_list<CodeShare> shares)
      : codes(), weights([&] {
          std::vector<double> w;
          for (const CodeShare& s : shares) w.push_back(s.share);
          return w;
        }()) {
    for (const CodeShare& s : shares) codes.push_back(s.code);
  }
  uint8_t pick(Random& random) const { return codes[weights.pick(random)]; }
};

double distance(Point a, double x, double y) {
  const double dx = a.x - x, dy = a.y - y;
  return std::sqrt(dx * dx + dy * dy);
}

// A smooth bump of height `peak` at distance 0, half of it at about
// 0.64 * radius, falling off as the fourth power of the distance.
double bump(double peak, double d, double radius) {
  const double q = 1 + (d / radius) * (d / radius);
  return peak / (q * q);
}

// Lasting hot spots away from downtown: a nightlife strip, an apartment
// block, a shopping centre at a highway crossing, a bus terminal, a stadium.
constexpr Point kLastingSpots[] = {{29.5, 26.5}, {56.5, 45.5}, {20.5, 31.5},
                                   {61.5, 19.5}, {35.5, 49.5}, {69.5, 30.5}};
constexpr double kLastingPeaks[] = {4.2, 3.4, 3.1, 2.6, 2.3, 2.1};

// The hot spot that flares up from June to September of the second year.
constexpr Point kFlareSpot = {24.5, 46.5};
constexpr uint32_t kFlareFirstDay = 365 + 152;  // June 1, 2025 (day 0 is January 1, 2024)
constexpr uint32_t kFlareLastDay = 365 + 272;   // September 30, 2025
constexpr double kFlareShare = 0.12;            // of the incidents in those months

// How likely each cell is to see an incident, from the city's geometry.
double cell_weight(const City& city, int row, int col) {
  const double x = col + 0.5, y = row + 0.5;
  double w = 0.07;
  w += bump(24.0, distance(city.downtown, x, y), 2.3);
  double highway = 1e30, road = 1e30;
  for (const atlas::Road& r : city.highways)
    highway = std::min(highway, atlas::distance_to_path(r.path, x, y));
  for (const atlas::Road& r : city.major_roads)
    road = std::min(road, atlas::distance_to_path(r.path, x, y));
  w += bump(1.6, highway, 0.7);
  w += bump(0.35, road, 0.5);
  for (size_t i = 0; i < std::size(kLastingSpots); ++i)
    w += bump(kLastingPeaks[i], distance(kLastingSpots[i], x, y), 1.1);
  if (atlas::is_water(city, x, y)) w *= 0.05;
  if (atlas::is_park(city, x, y)) w *= 0.35;
  return w;
}

// Days of the two years, each with its date and weight.
struct Day {
  uint8_t day, month, year;  // year field: year - 2000
  uint8_t weekday;           // 0 Monday .. 6 Sunday
};

std::vector<Day> calendar() {
  std::vector<Day> days;
  uint8_t weekday = 0;  // January 1, 2024 was a Monday
  for (uint32_t y = kFirstYear; y < kFirstYear + kYears; ++y) {
    const auto field = static_cast<uint8_t>(y - 2000);
    for (uint8_t m = 1; m <= 12; ++m)
      for (uint8_t d = 1; d <= month_length(m, field); ++d) {
        days.push_back(Day{d, m, field, weekday});
        weekday = static_cast<uint8_t>((weekday + 1) % 7);
      }
  }
  return days;
}

double day_weight(const Day& day) {
  static constexpr double kWeekday[7] = {0.86, 0.82, 0.85, 0.93, 1.32, 1.40, 1.02};
  static constexpr double kMonth[13] = {0,    0.78, 0.76, 0.88, 0.95, 1.05, 1.20,
                                        1.28, 1.22, 1.04, 0.96, 0.88, 0.90};
  double w = kWeekday[day.weekday] * kMonth[day.month];
  if (day.year + 2000u > kFirstYear) w *= 1.06;  // a slow rise from one year to the next
  const bool holiday = (day.month == 7 && day.day == 4) || (day.month == 12 && day.day == 31) ||
                       (day.month == 1 && day.day == 1);
  return holiday ? w * 2.2 : w;
}

// The DIVISION codes of the geographic divisions by station name; the
// station names are the import listing's division names.
uint32_t division_code(const std::string& name) {
  for (uint32_t code = 1; code <= 19; ++code) {
    std::string upper = code_label(kDivision, code);
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper == name) return code;
  }
  return 0;
}

size_t nearest_station(const City& city, double x, double y) {
  size_t best = 0;
  for (size_t i = 1; i < city.stations.size(); ++i)
    if (distance(city.stations[i].at, x, y) < distance(city.stations[best].at, x, y)) best = i;
  return best;
}

// DIVISION codes of the city-wide units, and a stand-in for a division
// left unrecorded (drawn apart from the station's own, then written as 0).
constexpr uint8_t kNarcotics = 8, kSpecialOps = 15, kSwat = 16, kTraffic = 17;
constexpr uint8_t kUnrecorded = 0xFF;

// Ages in years within each SAGE band; band 8 (unknown) is written "UNK".
constexpr uint8_t kAgeBands[8][2] = {{0, 0},   {12, 16}, {17, 22}, {23, 28},
                                     {29, 34}, {35, 42}, {43, 49}, {50, 75}};

// The field tables: shares of each code, a little "not recorded" (code 0)
// in each.
struct Tables {
  CodeTable shift_weekday{{{0, 2}, {1, 26}, {2, 37}, {3, 35}}};
  CodeTable shift_weekend{{{0, 2}, {1, 18}, {2, 33}, {3, 47}}};
  CodeTable successful{{{0, 2}, {1, 27}, {2, 71}}};
  CodeTable injury{{{0, 2}, {1, 61}, {2, 10}, {3, 22}, {4, 5}}};
  CodeTable numo{{{0, 2}, {1, 28}, {2, 47}, {3, 13}, {4, 5}, {5, 2}, {9, 3}}};
  CodeTable numo_swat{{{4, 30}, {5, 70}}};
  CodeTable orace{{{0, 2}, {1, 5}, {2, 21}, {3, 28}, {4, 44}}};
  CodeTable ogender{{{0, 1}, {1, 87}, {2, 12}}};
  CodeTable response{{{0, 2}, {1, 63}, {2, 32}}};
  CodeTable nums{{{0, 2}, {1, 70}, {2, 15}, {3, 5}, {4, 2}, {5, 1}, {6, 0.5}, {7, 2.5}, {8, 0.6}}};
  CodeTable srace{{{0, 3}, {1, 4}, {2, 38}, {3, 33}, {4, 22}}};
  CodeTable sgender{{{0, 2}, {1, 84}, {2, 14}}};
  CodeTable sage{{{1, 6}, {2, 24}, {3, 22}, {4, 16}, {5, 13}, {6, 8}, {7, 6}, {8, 5}}};
  CodeTable reason{{{0, 2}, {1, 31}, {2, 17}, {3, 36}, {4, 11}, {6, 3}}};
  CodeTable reason_traffic{{{1, 20}, {2, 6}, {3, 30}, {4, 6}, {6, 38}}};
  CodeTable reason_swat{{{1, 20}, {2, 60}, {4, 20}}};
  // A city-wide unit now and then; 0 leaves the station area's division.
  CodeTable unit{{{0, 94.3},
                  {kNarcotics, 2.4},
                  {kSpecialOps, 1.2},
                  {kSwat, 0.6},
                  {kTraffic, 1.0},
                  {kUnrecorded, 0.5}}};
};

void make_people(const Tables& t, Random& random, Incident& incident) {
  Event& e = incident.event;
  const uint32_t division = get_field(e, kDivision);
  set_field(e, kSuccessful, t.successful.pick(random));
  set_field(e, kInjury, t.injury.pick(random));
  const uint32_t numo = division == kSwat ? t.numo_swat.pick(random) : t.numo.pick(random);
  set_field(e, kNumo, numo);
  set_field(e, kOrace, t.orace.pick(random));
  set_field(e, kOgender, t.ogender.pick(random));
  // A duplicate report is a duplicate response as well.
  set_field(e, kResponse, numo == 9 ? 3 : t.response.pick(random));
  const uint32_t nums = t.nums.pick(random);
  set_field(e, kNums, nums);
  uint32_t reason = division == kTraffic ? t.reason_traffic.pick(random)
                    : division == kSwat  ? t.reason_swat.pick(random)
                                         : t.reason.pick(random);
  uint32_t sage;
  if (nums == 7 || nums == 8) {
    // A dog, or a fellow officer: race and gender say so, the age is unknown.
    set_field(e, kSrace, nums == 7 ? 5 : 6);
    set_field(e, kSgender, nums == 7 ? 3 : 4);
    if (nums == 7) reason = 5;
    sage = 8;
  } else {
    set_field(e, kSrace, t.srace.pick(random));
    set_field(e, kSgender, t.sgender.pick(random));
    sage = t.sage.pick(random);
  }
  set_field(e, kReason, reason);
  set_field(e, kSage, sage);
  incident.age =
      sage == 8 ? 0 : static_cast<uint8_t>(random.between(kAgeBands[sage][0], kAgeBands[sage][1]));
}

void append_text(std::string& line, const char* text) {
  line += text;
  line += ',';
}

void append_number(std::string& line, uint32_t value, uint32_t none_code = 0) {
  if (value == none_code) {
    append_text(line, "-NA-");
    return;
  }
  line += std::to_string(value);
  line += ',';
}

// The first letter of a coded person field, as the import reads it.
void append_letter(std::string& line, const char* letters, uint32_t code) {
  if (code == 0 || code > std::strlen(letters)) {
    append_text(line, "-NA-");
    return;
  }
  line += letters[code - 1];
  line += ',';
}

}  // namespace

uint32_t station_division(const City& city, double x, double y) {
  return division_code(city.stations[nearest_station(city, x, y)].name);
}

int make_sample(const City& city, const CellTable& cells, std::vector<Incident>& out) {
  out.clear();
  // Cells with a zip area, their weights and station areas.
  std::vector<int> zip_cells;
  std::vector<double> base, flare;
  for (int i = 0; i < kCellCount; ++i) {
    if (first_zip(cells.words[i][0]) == 0) continue;
    const int row = i / kGridCols, col = i % kGridCols;
    zip_cells.push_back(i);
    base.push_back(cell_weight(city, row, col));
    flare.push_back(bump(1.0, distance(kFlareSpot, col + 0.5, row + 0.5), 1.3));
  }
  if (zip_cells.empty()) return 0;
  const Weighted where(base), where_flare(flare);
  const std::vector<Day> days = calendar();
  std::vector<double> day_weights;
  for (const Day& d : days) day_weights.push_back(day_weight(d));
  const Weighted when(day_weights);
  const Tables t;
  Random random(0x5A4D'C17E'2024'0601ull);

  for (uint32_t n = 0; n < kSampleCount; ++n) {
    Incident incident;
    Event& e = incident.event;
    const size_t day_index = when.pick(random);
    const Day& day = days[day_index];
    const bool weekend_night = day.weekday == 4 || day.weekday == 5;
    const uint8_t shift = (weekend_night ? t.shift_weekend : t.shift_weekday).pick(random);
    e.key = pack_time_key(shift, day.day, day.month, day.year);

    const bool flaring =
        day_index >= kFlareFirstDay && day_index <= kFlareLastDay && random.unit() < kFlareShare;
    const int cell = zip_cells[(flaring ? where_flare : where).pick(random)];
    const int row = cell / kGridCols, col = cell % kGridCols;
    const uint32_t word0 = cells.words[cell][0];
    set_field(e, kCol, static_cast<uint32_t>(col));
    set_field(e, kRow, static_cast<uint32_t>(row));
    set_field(e, kZip, first_zip(word0));
    set_field(e, kCouncil, first_council(word0));

    const size_t station = nearest_station(city, col + 0.5, row + 0.5);
    uint32_t division = t.unit.pick(random);
    if (division == 0) division = division_code(city.stations[station].name);
    if (division == kUnrecorded) division = 0;
    set_field(e, kDivision, division);
    // The beat: the station area's number and the quarter of it around the
    // station, as "03B".
    const Point at = city.stations[station].at;
    const char quarter =
        static_cast<char>('A' + (col + 0.5 < at.x ? 0 : 1) + (row + 0.5 < at.y ? 0 : 2));
    std::snprintf(incident.beat, sizeof incident.beat, "%02u%c",
                  static_cast<unsigned>(station + 1) % 100u, quarter);

    make_people(t, random, incident);
    out.push_back(incident);
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Incident& a, const Incident& b) { return a.event.key < b.event.key; });
  return 1;
}

std::string import_line(const Incident& incident) {
  const Event& e = incident.event;
  std::string line;
  append_number(line, 2000 + get_field(e, kYear), ~0u);
  append_number(line, get_field(e, kMonth), ~0u);
  append_number(line, get_field(e, kDay), ~0u);
  const uint32_t council = get_field(e, kCouncil);
  if (council == 0)
    append_text(line, "-NA-");
  else
    line += std::string(1, static_cast<char>('@' + council)) + ',';
  append_text(line, incident.beat);
  const uint32_t row = get_field(e, kRow), col = get_field(e, kCol);
  if (row >= kNoRow)
    append_text(line, "-NA-");
  else
    append_number(line, 65 - row, ~0u);  // the listing counts rows from the far edge
  if (col >= kNoCol)
    append_text(line, "-NA-");
  else
    append_number(line, col, ~0u);
  append_number(line, get_field(e, kShift));
  const uint32_t division = get_field(e, kDivision);
  std::string name = division == 0 ? "-NA-" : code_label(kDivision, division);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  append_text(line, name.c_str());
  append_letter(line, "NY", get_field(e, kSuccessful));
  append_number(line, get_field(e, kInjury));
  const uint32_t numo = get_field(e, kNumo);
  if (numo == 9)
    append_text(line, "DUPLICATE");
  else
    append_number(line, numo);
  append_letter(line, "ABHW", get_field(e, kOrace));
  append_letter(line, "MF", get_field(e, kOgender));
  const uint32_t response = get_field(e, kResponse);
  if (response == 3)
    append_text(line, "DUPLICATE");
  else
    append_number(line, response);
  static const char* const kSuspects[9] = {"-NA-", "1", "2", "3", "4", "5", "9", "DOG", "OFFICER"};
  append_text(line, kSuspects[get_field(e, kNums)]);
  append_letter(line, "ABHWDO", get_field(e, kSrace));
  append_letter(line, "MFDO", get_field(e, kSgender));
  if (get_field(e, kSage) == 8)
    append_text(line, "UNK");
  else
    append_number(line, incident.age, ~0u);
  append_number(line, get_field(e, kReason));
  const uint32_t zip = get_field(e, kZip);
  line += zip == 0 ? std::string("-NA-") : std::to_string(kZipBase + zip);
  line += '\n';
  return line;
}

std::string import_listing(const std::vector<Incident>& incidents) {
  std::string text =
      "YEAR,MONTH,DAY,COUNCIL,BEAT,ROW,COL,SHIFT,DIVISION,SUCCESSFUL,INJURY,OFFICERS,ORACE,"
      "OGENDER,RESPONSE,SUSPECTS,SRACE,SGENDER,AGE,REASON,ZIP\n";
  for (const Incident& incident : incidents) text += import_line(incident);
  return text;
}

std::string event_file(const std::vector<Incident>& incidents) {
  std::string bytes;
  for (const Incident& incident : incidents) {
    uint8_t record[kEventBytes];
    encode_event(incident.event, record);
    bytes.append(reinterpret_cast<const char*>(record), kEventBytes);
  }
  return bytes;
}

int write_sample(const std::vector<Incident>& incidents, const std::string& dir) {
  auto save = [](const std::string& path, const std::string& bytes) {
    return save_whole_file(path.c_str(), [&](std::FILE* file) {
      return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() ? 1 : 0;
    });
  };
  return save(dir + "/sample-city.vdr", event_file(incidents)) &&
                 save(dir + "/sample-city.csv", import_listing(incidents))
             ? 1
             : 0;
}

}  // namespace valdrin::sample
