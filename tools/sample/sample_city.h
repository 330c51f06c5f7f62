// The sample city's incident records: 6000 events over 2024 and 2025 that
// behave like a real department's data (hot spots downtown, along the
// highways and major roads and at a few lasting places, most events in the
// evening and at night, busy Fridays and Saturdays, a summer peak, divisions
// by police station area), written both as an event data file and as the
// import listing that reproduces it. Everything comes from the city atlas
// and one seeded generator of the sample's own, so every run writes the same
// bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cell_table.h"
#include "core/event.h"
#include "tools/atlas/city.h"

namespace valdrin::sample {

// The sample's own random sequences (splitmix64): a fixed seed each, no
// clock, so every run draws the same.
struct Random {
  uint64_t state;
  explicit Random(uint64_t seed) : state(seed) {}
  uint64_t next() {
    uint64_t z = (state += 0x9E37'79B9'7F4A'7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58'476D'1CE4'E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D0'49BB'1331'11EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), 53 bits.
  double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
  // Uniform in [low, high].
  uint32_t between(uint32_t low, uint32_t high) {
    return low + static_cast<uint32_t>(unit() * (high - low + 1));
  }
  // Uniform in [0, n).
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(unit() * n); }
};

constexpr uint32_t kSampleCount = 6000;
constexpr uint32_t kFirstYear = 2024;  // two whole years: 2024 and 2025
constexpr uint32_t kYears = 2;

// One incident as the listing carries it: the record plus what the record
// does not keep, the suspect's age in years (0 for unknown) and the patrol
// beat, a text the import skips.
struct Incident {
  Event event;
  uint8_t age = 0;
  char beat[4] = {};
};

// Makes the sample's incidents from the city and its cell table (zip and
// council codes come from each cell's first codes, as the viewer's own
// generator takes them), sorted by Time key with equal keys in the order
// they were made. Return 1; 0 when no cell of the table has a zip area, and
// then `out` is empty.
int make_sample(const atlas::City& city, const CellTable& cells, std::vector<Incident>& out);

// The import listing line of one incident, with its line feed; importing it
// gives back exactly `incident.event`.
std::string import_line(const Incident& incident);

// The whole import listing: a header line, then one line per incident in
// the given order.
std::string import_listing(const std::vector<Incident>& incidents);

// The event data file: the records back to back.
std::string event_file(const std::vector<Incident>& incidents);

// Writes `dir`/sample-city.vdr and `dir`/sample-city.csv, each whole or not
// at all. Return 1, or 0 when a file can't be written.
int write_sample(const std::vector<Incident>& incidents, const std::string& dir);

// The police division whose station area holds the point: the nearest
// station of a geographic division, as its DIVISION code.
uint32_t station_division(const atlas::City& city, double x, double y);

}  // namespace valdrin::sample
