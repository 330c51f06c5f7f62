// Reading, checking, applying and writing the saved settings.
#include "app/settings.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>
#include <iterator>

#include "app/change.h"
#include "app/program.h"
#include "panels/analysis.h"
#include "panels/panel.h"

namespace valdrin {

static_assert(kSavedPanels == std::size(kPanelRows), "a key for every panel");

namespace {

// A whole number in [low, high], whether it came as a number or as the
// text a settings file holds; anything else is no value, and is noted in
// `refused` with what was expected. A missing key is no fault.
std::optional<int> read_int(const QVariantMap& values, const QString& key, int low, int high,
                            QStringList& refused) {
  const auto found = values.find(key);
  if (found == values.end()) return std::nullopt;
  bool ok = false;
  const int value = found->toString().trimmed().toInt(&ok, 0);
  if (ok && value >= low && value <= high) return value;
  refused << QString("%1: expected a whole number from %2 to %3").arg(key).arg(low).arg(high);
  return std::nullopt;
}

// "true" or "false" only: QVariant takes any other text as true.
std::optional<bool> read_bool(const QVariantMap& values, const QString& key, QStringList& refused) {
  const auto found = values.find(key);
  if (found == values.end()) return std::nullopt;
  const QString text = found->toString().trimmed().toLower();
  if (text == "true") return true;
  if (text == "false") return false;
  refused << key + ": expected true or false";
  return std::nullopt;
}

std::optional<QPoint> read_point(const QVariantMap& values, const QString& prefix,
                                 QStringList& refused) {
  constexpr int kFar = 1 << 20;  // beyond any screen
  const auto x = read_int(values, prefix + "/x", -kFar, kFar, refused);
  const auto y = read_int(values, prefix + "/y", -kFar, kFar, refused);
  if (!x || !y) return std::nullopt;
  return QPoint(*x, *y);
}

QString panel_prefix(size_t index) { return QString("panels/") + kPanelKeys[index]; }

// The GIS settings with the saved choices in them.
GisSettings saved_gis(GisSettings gis, const ViewerSettings& settings) {
  if (settings.overlay_flags) gis.overlay_flags = *settings.overlay_flags;
  if (settings.map_choice) set_map_choice(gis, *settings.map_choice);
  if (settings.selection_mode) set_selection_mode(gis, *settings.selection_mode);
  return gis;
}

}  // namespace

ViewerSettings read_settings(const QVariantMap& values) {
  ViewerSettings s;
  s.window_place = read_point(values, "window", s.refused);
  const auto width = read_int(values, "window/width", kMinWindowSide, kMaxWindowSide, s.refused);
  const auto height = read_int(values, "window/height", kMinWindowSide, kMaxWindowSide, s.refused);
  if (width && height) s.window_size = QSize(*width, *height);
  for (size_t i = 0; i < std::size(kPanelKeys); ++i) {
    s.panels[i].place = read_point(values, panel_prefix(i), s.refused);
    s.panels[i].shown = read_bool(values, panel_prefix(i) + "/shown", s.refused);
  }
  // The lists' entries: Shift..Year; Basemap, City Council; Keymap, City
  // Council, Zip Code; and the ten overlay check boxes.
  if (const auto v = read_int(values, "timeline/step_unit", kStepShift, kStepYear, s.refused))
    s.step_unit = *v;
  if (const auto v = read_int(values, "gis/map", 0, 1, s.refused)) s.map_choice = *v;
  if (const auto v = read_int(values, "gis/selection", 0, 2, s.refused)) s.selection_mode = *v;
  if (const auto v = read_int(values, "gis/overlays", 0, 0x3FF, s.refused)) s.overlay_flags = *v;
  if (const auto v = read_int(values, "analysis/colour_by", 0, kColouringCount - 1, s.refused))
    s.colouring = *v;
  if (const auto v = read_int(values, "analysis/neighbourhood", 1, kMaxNeighbourhood, s.refused))
    s.neighbourhood = *v;
  s.fdr = read_bool(values, "analysis/fdr", s.refused);
  if (const auto v = read_int(values, "analysis/band_scale", 0, 0xFFFF, s.refused)) {
    for (uint16_t entry : kBandScales)
      if (entry == *v) s.band_scale = entry;
    if (!s.band_scale)
      s.refused << "analysis/band_scale: expected 0 (Auto), 1, 2, 5, 10, 20, 50 or 100";
  }
  const auto folder = values.find("dialogs/folder");
  if (folder != values.end() && folder->typeId() == QMetaType::QString &&
      !folder->toString().isEmpty() && QDir(folder->toString()).exists())
    s.dialog_folder = folder->toString().toStdString();
  else if (folder != values.end())
    s.refused << "dialogs/folder: expected an existing folder";
  return s;
}

QVariantMap settings_values(const ViewerSettings& s) {
  QVariantMap values;
  const auto put_point = [&values](const QString& prefix, const std::optional<QPoint>& point) {
    if (!point) return;
    values[prefix + "/x"] = point->x();
    values[prefix + "/y"] = point->y();
  };
  put_point("window", s.window_place);
  if (s.window_size) {
    values["window/width"] = s.window_size->width();
    values["window/height"] = s.window_size->height();
  }
  for (size_t i = 0; i < std::size(kPanelKeys); ++i) {
    put_point(panel_prefix(i), s.panels[i].place);
    if (s.panels[i].shown) values[panel_prefix(i) + "/shown"] = *s.panels[i].shown;
  }
  if (s.step_unit) values["timeline/step_unit"] = *s.step_unit;
  if (s.map_choice) values["gis/map"] = *s.map_choice;
  if (s.selection_mode) values["gis/selection"] = *s.selection_mode;
  if (s.overlay_flags) values["gis/overlays"] = *s.overlay_flags;
  if (s.colouring) values["analysis/colour_by"] = *s.colouring;
  if (s.neighbourhood) values["analysis/neighbourhood"] = *s.neighbourhood;
  if (s.fdr) values["analysis/fdr"] = *s.fdr;
  if (s.band_scale) values["analysis/band_scale"] = *s.band_scale;
  if (s.dialog_folder) values["dialogs/folder"] = QString::fromStdString(*s.dialog_folder);
  return values;
}

bool place_fits(const QRect& place, const QRect& bounds) {
  const int overlap =
      std::min(place.right(), bounds.right()) - std::max(place.left(), bounds.left());
  return place.top() >= bounds.top() && place.top() + kPlaceGrip <= bounds.bottom() + 1 &&
         overlap + 1 >= kPlaceGrip;
}

ViewerSettings current_settings(const Program& program, const QWidget& window) {
  ViewerSettings s;
  s.window_place = window.pos();
  s.window_size = window.size();
  for (size_t i = 0; i < std::size(kPanelRows); ++i)
    if (const Panel* panel = program.panels.*kPanelRows[i].slot) {
      s.panels[i].place = panel->pos();
      s.panels[i].shown = !panel->isHidden();
    }
  s.step_unit = program.playback.step_unit;
  const GisSettings& gis = program.analysis.gis;
  // A list left with no entry chosen keeps no choice.
  if (map_choice(gis) <= 1) s.map_choice = map_choice(gis);
  if (selection_mode(gis) <= 2) s.selection_mode = selection_mode(gis);
  s.overlay_flags = gis.overlay_flags & 0x3FF;
  const AnalysisState& a = program.analysis;
  s.colouring = a.colouring, s.neighbourhood = a.neighbourhood, s.fdr = a.fdr;
  s.band_scale = a.band_scale;
  // The folder of the last file chosen; until one is, the dialogs open in
  // the working directory of each run.
  const FileDialogs& dialogs = program.dialogs;
  if (!dialogs.dialog_directory.empty() && dialogs.dialog_directory != dialogs.working_directory)
    s.dialog_folder = dialogs.dialog_directory;
  return s;
}

void apply_saved_choices(Program& program, const ViewerSettings& settings) {
  if (settings.step_unit) program.playback.step_unit = *settings.step_unit;
  AnalysisState& a = program.analysis;
  a.gis = saved_gis(a.gis, settings);
  a.colouring = settings.colouring.value_or(a.colouring);
  a.neighbourhood = settings.neighbourhood.value_or(a.neighbourhood);
  a.fdr = settings.fdr.value_or(a.fdr);
  a.band_scale = settings.band_scale.value_or(a.band_scale);
}

void apply_saved_window_place(QWidget& window, const ViewerSettings& settings) {
  if (!settings.window_place) return;
  const QRect place(*settings.window_place, settings.window_size.value_or(window.size()));
  for (const QScreen* screen : QGuiApplication::screens())
    if (place_fits(place, screen->availableGeometry())) {
      window.move(place.topLeft());
      return;
    }
}

void apply_saved_panels(Program& program, const ViewerSettings& settings) {
  for (size_t i = 0; i < std::size(kPanelRows); ++i) {
    Panel* panel = program.panels.*kPanelRows[i].slot;
    if (panel == nullptr) continue;
    const SavedPanel& saved = settings.panels[i];
    if (saved.place) {
      const QRect place(*saved.place, panel->size());
      bool fits = false;
      if (panel->isWindow()) {
        for (const QScreen* screen : QGuiApplication::screens())
          fits = fits || place_fits(place, screen->availableGeometry());
      } else if (const QWidget* parent = panel->parentWidget()) {
        fits = place_fits(place, parent->rect());
      }
      if (fits) panel->move(place.topLeft());
    }
    if (saved.shown) *saved.shown ? panel->show_panel() : panel->hide_panel();
  }
  if (settings.dialog_folder) program.dialogs.dialog_directory = *settings.dialog_folder;
}

std::string user_settings_path() {
  return QSettings(QSettings::NativeFormat, QSettings::UserScope, kSettingsOrganization,
                   kSettingsApplication)
      .fileName()
      .toStdString();
}

ViewerSettings load_settings(QSettings& store) {
  QVariantMap values;
  for (const QString& key : store.allKeys()) values[key] = store.value(key);
  return read_settings(values);
}

bool save_settings(QSettings& store, const ViewerSettings& settings) {
  // QSettings writes the file whole through a temporary file beside it.
  store.clear();
  const QVariantMap values = settings_values(settings);
  for (auto at = values.begin(); at != values.end(); ++at) store.setValue(at.key(), at.value());
  store.sync();
  return store.status() == QSettings::NoError;
}

bool forget_user_settings() {
  QFile file(QString::fromStdString(user_settings_path()));
  return !file.exists() || file.remove();
}

}  // namespace valdrin
