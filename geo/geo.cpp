// Reading the georeference file with toml++ and projecting longitude and
// latitude with PROJ.
#include "geo/geo.h"

#include <proj.h>
#include <toml++/toml.h>

#include <cmath>

namespace valdrin {

namespace {

std::string at_line(const std::string& path, const toml::source_region& where) {
  return path + ":" + std::to_string(where.begin.line) + ": ";
}

}  // namespace

int read_georeference(const std::string& path, Georeference& out, std::string& error) {
  toml::table table;
  try {
    table = toml::parse_file(path);
  } catch (const toml::parse_error& e) {
    if (e.source().begin.line == 0) {
      error = path + ": can't read the georeference file";
    } else {
      error = at_line(path, e.source()) + std::string(e.description());
    }
    return 0;
  }
  Georeference read;
  const toml::node* crs = table.get("crs");
  if (crs == nullptr || !crs->is_string() || crs->as_string()->get().empty()) {
    error = (crs ? at_line(path, crs->source()) : path + ": ") +
            "crs: expected an EPSG code or a PROJ string in quotes";
    return 0;
  }
  read.crs = crs->as_string()->get();
  const struct {
    const char* key;
    double* value;
  } edges[] = {
      {"west", &read.west}, {"east", &read.east}, {"south", &read.south}, {"north", &read.north}};
  for (const auto& e : edges) {
    const toml::node* n = table.get(e.key);
    const std::optional<double> v = n ? n->value<double>() : std::nullopt;
    if (!v || !std::isfinite(*v)) {
      error = (n ? at_line(path, n->source()) : path + ": ") + e.key +
              ": expected a number, the grid's edge in map units";
      return 0;
    }
    *e.value = *v;
  }
  if (!(read.east > read.west) || !(read.north > read.south)) {
    error = path + ": the grid's edges must have east above west and north above south";
    return 0;
  }
  const toml::node* first = table.get("first_row");
  const std::optional<std::string> side = first ? first->value<std::string>() : std::nullopt;
  if (!side || (*side != "south" && *side != "north")) {
    error = (first ? at_line(path, first->source()) : path + ": ") +
            "first_row: expected \"south\" or \"north\"";
    return 0;
  }
  read.first_row_north = *side == "north";
  out = std::move(read);
  return 1;
}

struct LonLatToMap {
  PJ_CONTEXT* context = nullptr;
  PJ* transform = nullptr;
};

void LonLatToMapDeleter::operator()(LonLatToMap* p) const {
  if (p->transform) proj_destroy(p->transform);
  if (p->context) proj_context_destroy(p->context);
  delete p;
}

LonLatToMapPtr make_lon_lat_to_map(const std::string& crs, std::string& error) {
  LonLatToMapPtr p(new LonLatToMap);
  // A context of its own: the default one is shared by the whole process,
  // and its error state with it. PROJ's own logging would reach stderr.
  p->context = proj_context_create();
  proj_log_level(p->context, PJ_LOG_NONE);
  PJ* raw = proj_create_crs_to_crs(p->context, "EPSG:4326", crs.c_str(), nullptr);
  if (raw == nullptr) {
    error = "unknown coordinate system \"" + crs + "\"";
    return nullptr;
  }
  // EPSG:4326 is latitude first by definition; the records give longitude
  // first, as every GIS file does.
  p->transform = proj_normalize_for_visualization(p->context, raw);
  proj_destroy(raw);
  if (p->transform == nullptr) {
    error = "unknown coordinate system \"" + crs + "\"";
    return nullptr;
  }
  return p;
}

int lon_lat_to_map(LonLatToMap& p, double lon, double lat, double& x, double& y) {
  if (!std::isfinite(lon) || !std::isfinite(lat) || lon < -180 || lon > 180 || lat < -90 ||
      lat > 90)
    return 0;
  PJ_COORD c = proj_coord(lon, lat, 0, 0);
  c = proj_trans(p.transform, PJ_FWD, c);
  if (!std::isfinite(c.xy.x) || !std::isfinite(c.xy.y)) return 0;
  x = c.xy.x;
  y = c.xy.y;
  return 1;
}

int map_to_lon_lat(LonLatToMap& p, double x, double y, double& lon, double& lat) {
  if (!std::isfinite(x) || !std::isfinite(y)) return 0;
  const PJ_COORD c = proj_trans(p.transform, PJ_INV, proj_coord(x, y, 0, 0));
  if (!std::isfinite(c.lp.lam) || !std::isfinite(c.lp.phi)) return 0;
  lon = c.lp.lam;
  lat = c.lp.phi;
  return 1;
}

}  // namespace valdrin
