// Reading the city file with toml++, key by key.
#include "layers/city_file.h"

#include <toml++/toml.h>

#include <cmath>
#include <filesystem>

namespace valdrin::layers {

namespace {

// What each role's table may hold beyond file, layer, where and crs.
struct Role {
  const char* name;
  bool attribute_required;  // the layer's features are told apart by it
  bool name_attribute;
  bool page_grid;  // may be a numbered grid instead of a layer
};
constexpr Role kRoles[] = {{"boundary", false, false, false}, {"zips", true, true, false},
                           {"districts", true, false, false}, {"pages", true, false, true},
                           {"highways", false, false, false}, {"roads", false, false, false},
                           {"stations", false, false, false}, {"hospitals", false, false, false},
                           {"water", false, false, false},    {"parks", false, false, false}};

struct Reader {
  std::string path;
  std::string error;
  std::string at(const toml::node& n) const {
    return path + ":" + std::to_string(n.source().begin.line) + ": ";
  }
  int fail(const toml::node& n, const std::string& what) {
    error = at(n) + what;
    return 0;
  }
  int text(const toml::node& n, const std::string& key, std::string& out) {
    if (!n.is_string() || n.as_string()->get().empty())
      return fail(n, key + ": expected a text in quotes");
    out = n.as_string()->get();
    return 1;
  }
  int number(const toml::node& n, const std::string& key, double& out) {
    const std::optional<double> v = n.value<double>();
    if (!v || !std::isfinite(*v) || (*v <= 0 && key.find("size") != std::string::npos))
      return fail(n, key + ": expected a number");
    out = *v;
    return 1;
  }
};

}  // namespace

int read_city_file(const std::string& path, CityFile& out, std::string& error) {
  toml::table table;
  try {
    table = toml::parse_file(path);
  } catch (const toml::parse_error& e) {
    error = e.source().begin.line == 0 ? path + ": can't read the city file"
                                       : path + ":" + std::to_string(e.source().begin.line) + ": " +
                                             std::string(e.description());
    return 0;
  }
  Reader r{path, {}};
  CityFile city;
  city.path = path;
  const std::filesystem::path folder = std::filesystem::path(path).parent_path();
  bool ok = true;
  for (const auto& [key, node] : table) {
    const std::string k(key.str());
    if (!ok) break;
    if (k == "crs") {
      ok = r.text(node, k, city.crs);
    } else if (k == "grid") {
      const toml::table* grid = node.as_table();
      if (grid == nullptr) {
        ok = r.fail(node, "grid: expected a table with west, south and cell");
        break;
      }
      for (const char* want : {"west", "south", "cell"})
        if (ok && !grid->contains(want))
          ok = r.fail(node, std::string("grid: no ") + want + " (the grid's " +
                                (want[0] == 'c' ? "cell size" : "edge") + ")");
      for (const auto& [gk, gv] : *grid) {
        const std::string name(gk.str());
        double* slot = name == "west"    ? &city.grid_west
                       : name == "south" ? &city.grid_south
                       : name == "cell"  ? &city.grid_cell
                                         : nullptr;
        if (!ok) break;
        ok = slot ? r.number(gv, "grid." + name, *slot)
                  : r.fail(gv, "unknown key grid." + name + " (west, south, cell)");
      }
      if (ok && !(city.grid_cell > 0)) ok = r.fail(node, "grid.cell: expected a size above 0");
    } else {
      const Role* role = nullptr;
      for (const Role& candidate : kRoles)
        if (k == candidate.name) role = &candidate;
      const toml::table* layer_file = node.as_table();
      if (role == nullptr || layer_file == nullptr) {
        ok = r.fail(node, "unknown key " + k +
                              " (crs, grid, boundary, zips, districts, pages, highways, roads, "
                              "stations, hospitals, water, parks)");
        break;
      }
      LayerFile layer;
      layer.role = k;
      layer.line = static_cast<int>(node.source().begin.line);
      for (const auto& [lk, lv] : *layer_file) {
        const std::string name(lk.str()), full = k + "." + name;
        if (!ok) break;
        if (name == "file") {
          ok = r.text(lv, full, layer.file);
          if (ok) layer.file = (folder / layer.file).string();
        } else if (name == "layer") {
          ok = r.text(lv, full, layer.layer);
        } else if (name == "where") {
          ok = r.text(lv, full, layer.where);
        } else if (name == "crs") {
          ok = r.text(lv, full, layer.crs);
        } else if (name == "attribute") {
          ok = r.text(lv, full, layer.attribute);
        } else if (name == "name_attribute" && role->name_attribute) {
          ok = r.text(lv, full, layer.name_attribute);
        } else if (name == "size" && role->page_grid) {
          ok = r.number(lv, full, city.page_size);
        } else if (name == "first" && role->page_grid) {
          const std::optional<int64_t> v = lv.value<int64_t>();
          ok = v && *v >= 0 && *v <= 9999 ? (city.first_page = static_cast<int>(*v), 1)
                                          : r.fail(lv, full + ": expected a page number 0-9999");
        } else {
          ok = r.fail(lv, "unknown key " + full);
        }
      }
      if (!ok) break;
      if (role->page_grid && city.page_size > 0) {
        if (!layer.file.empty()) ok = r.fail(node, k + ": either a file or a size, not both");
        continue;
      }
      if (layer.file.empty())
        ok = r.fail(node, k + ": no file (the layer's file name)");
      else if (role->attribute_required && layer.attribute.empty())
        ok = r.fail(node, k + ": no attribute (the attribute that names each feature)");
      if (ok) city.layers[k] = layer;
    }
  }
  if (ok && city.layers.count("boundary") == 0) {
    error = path + ": no [boundary] table (the city's limit, a polygon layer)";
    return 0;
  }
  if (!ok) {
    error = r.error;
    return 0;
  }
  out = std::move(city);
  return 1;
}

}  // namespace valdrin::layers
