// Reading and writing the Area table, and the zip code rule it overrides.
#include "core/area_table.h"

#include <cstdio>
#include <fstream>

#include "core/event.h"
#include "core/text.h"

namespace valdrin {

namespace {

constexpr const char* kHeader = "kind,index,code,name";

// Splits one line at commas; a name in double quotes may hold commas and
// doubled quotes. Return false on an unterminated quote.
bool split_line(const std::string& line, std::vector<std::string>& fields) {
  fields.assign(1, "");
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        fields.back() += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        fields.back() += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return !quoted;
}

std::string quoted_name(const std::string& name) {
  if (name.find_first_of(",\"\r\n") == std::string::npos) return name;
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + '"';
}

}  // namespace

uint32_t zip_code(const AreaTable& areas, uint32_t index) {
  if (index < areas.zip_codes.size() && areas.zip_codes[index] != 0) return areas.zip_codes[index];
  return kZipBase + index;
}

int zip_index(const AreaTable& areas, uint32_t code, uint32_t& index) {
  if (areas.zip_codes.empty()) {
    if (code <= kZipBase || code - kZipBase > kMaxZipIndex) return 0;
    index = code - kZipBase;
    return 1;
  }
  for (uint32_t i = 1; i < areas.zip_codes.size(); ++i)
    if (areas.zip_codes[i] == code) {
      index = i;
      return 1;
    }
  return 0;
}

int read_area_table(const std::string& path, AreaTable& areas, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::FILE* probe = std::fopen(path.c_str(), "rb");
    if (probe == nullptr) return 1;  // no table: the fixed rule holds
    std::fclose(probe);
    error = path + ": can't read the area table";
    return 0;
  }
  AreaTable read;
  std::string line;
  std::vector<std::string> f;
  for (int number = 1; std::getline(in, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (number == 1) {
      if (line != kHeader) {
        error = where + "expected the header \"" + kHeader + "\"";
        return 0;
      }
      continue;
    }
    if (line.empty()) continue;
    if (!split_line(line, f) || f.size() != 4) {
      error = where + "expected four fields: kind,index,code,name";
      return 0;
    }
    uint32_t index = 0, code = 0;
    if (f[0] == "zip") {
      if (!parse_unsigned(f[1], index) || index < 1 || index > kMaxZipIndex) {
        error = where + "a zip index is a whole number from 1 to 1000";
        return 0;
      }
      if (!parse_unsigned(f[2], code) || code == 0) {
        error = where + "a zip code is a whole number above 0";
        return 0;
      }
      if (read.zip_codes.size() <= index) {
        read.zip_codes.resize(index + 1, 0);
        read.zip_names.resize(index + 1);
      }
      if (read.zip_codes[index] != 0) {
        error = where + "zip index " + f[1] + " is listed twice";
        return 0;
      }
      for (uint32_t other : read.zip_codes)
        if (other == code) {
          error = where + "zip code " + f[2] + " is listed twice";
          return 0;
        }
      read.zip_codes[index] = code;
      read.zip_names[index] = f[3];
    } else if (f[0] == "district") {
      if (!parse_unsigned(f[1], index) || index < 1 || index > 15) {
        error = where + "a district index is a whole number from 1 to 15";
        return 0;
      }
      if (f[2] != std::string(1, static_cast<char>('@' + index))) {
        error = where + "district " + f[1] + " has the letter " +
                std::string(1, static_cast<char>('@' + index));
        return 0;
      }
      read.district_names[index] = f[3];
    } else {
      error = where + "the kind is \"zip\" or \"district\"";
      return 0;
    }
  }
  if (in.bad()) {
    error = path + ": can't read the area table";
    return 0;
  }
  areas = std::move(read);
  return 1;
}

std::string area_table_text(const AreaTable& areas) {
  std::string out = std::string(kHeader) + "\n";
  for (uint32_t i = 1; i < areas.zip_codes.size(); ++i)
    if (areas.zip_codes[i] != 0)
      out += "zip," + std::to_string(i) + "," + std::to_string(areas.zip_codes[i]) + "," +
             quoted_name(i < areas.zip_names.size() ? areas.zip_names[i] : "") + "\n";
  for (uint32_t d = 1; d <= 15; ++d)
    if (!areas.district_names[d].empty())
      out += "district," + std::to_string(d) + "," + std::string(1, static_cast<char>('@' + d)) +
             "," + quoted_name(areas.district_names[d]) + "\n";
  return out;
}

}  // namespace valdrin
