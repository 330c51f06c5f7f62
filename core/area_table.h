// The Area table: the codes and names a city gives its zip-code areas and
// council districts. The cell table and the records hold only indices (zip
// 1-1000, district 1-15); this table says what each index is called. A data
// folder without one uses the fixed rule: zip code 76999 + index, districts
// A-O unnamed, so every file of such a folder reads and writes as before.
//
// The file (areas.csv in the data folder) is plain CSV, one area a line:
//   kind,index,code,name
//   zip,1,90012,Civic Center
//   district,1,A,Council District 1
// A district's code is its letter (64 + index), written for the reader's
// sake and checked on reading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace valdrin {

constexpr const char* kAreaTableFile = "areas.csv";

struct AreaTable {
  // Zip code and name of each zip index; both empty when the folder has no
  // table. Entry 0 is unused.
  std::vector<uint32_t> zip_codes;
  std::vector<std::string> zip_names;
  std::string district_names[16];  // by district 1-15; "" unnamed
};

// The zip code shown for `index` (1-1000): the table's code, or 76999 +
// index when the table has none for it.
uint32_t zip_code(const AreaTable& areas, uint32_t index);

// The zip index whose code is `code`. Return 1 and set `index`; 0 when no
// index has that code.
int zip_index(const AreaTable& areas, uint32_t code, uint32_t& index);

// Reads `path`. A missing file leaves the empty table and returns 1, as a
// folder without a table is the rule. Return 0 with `error` naming the line
// and fault on an unreadable or malformed file; the table is then unchanged.
int read_area_table(const std::string& path, AreaTable& areas, std::string& error);

// The file's bytes for `areas`, header line first, zips then districts.
std::string area_table_text(const AreaTable& areas);

}  // namespace valdrin
