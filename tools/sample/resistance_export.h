// The sample city's incidents as a public response-to-resistance export
// would list them: one row per officer-subject pair under a shared incident
// number, a 12-hour date-time column, latitude/longitude, and attributes as
// text with the spellings such exports mix ("W", "White", "WHITE",
// "Caucasian"), plus a few rows no import can place. Importing it with
// examples/sample-city-resistance.toml gives back the sample's events, but
// for what the export's shape can't carry: a duplicate report's officer
// count (NUMO "Duplicate" comes back as its one officer) and a subject
// count of "9", "Dog" or "Officer" (NUMS 6-8 come back as one subject).
#pragma once

#include <string>
#include <vector>

#include "core/cell_table.h"
#include "core/georeference.h"
#include "tools/sample/sample_city.h"

namespace valdrin::sample {

constexpr const char* kResistanceExport = "sample-city-resistance.csv";

// The export's text. `cells` finds a cell outside the city for a dirty row.
// Return 1; 0 with `error` when the georeference's system can't be inverted.
int resistance_export(const std::vector<Incident>& incidents, const CellTable& cells,
                      const Georeference& georeference, std::string& text, std::string& error);

// The event each incident comes back as from the export: the same, but
// for NUMO 9 and NUMS 6-8, which come back as 1.
Event imported_event(const Event& event);

}  // namespace valdrin::sample
