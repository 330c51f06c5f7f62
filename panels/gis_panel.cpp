// The GIS Panel's widgets.
#include "panels/gis_panel.h"

#include <QCheckBox>
#include <QComboBox>
#include <iterator>

#include "panels/gis.h"

namespace valdrin {

namespace {

constexpr const char* kMapEntries[] = {"Basemap", "City Council"};
constexpr const char* kSelectionEntries[] = {"Keymap", "City Council", "Zip Code"};

template <size_t N>
void fill_list(Panel& panel, uint16_t id, const char* const (&entries)[N]) {
  auto* list = find_control_as<QComboBox>(panel, id);
  if (list == nullptr) return;
  list->clear();
  for (const char* entry : entries) list->addItem(QString::fromUtf8(entry));
}

void choose(Panel& panel, uint16_t id, int chosen) {
  // Setting the index from code sends no `activated`: nothing is reported.
  if (auto* list = find_control_as<QComboBox>(panel, id))
    list->setCurrentIndex(chosen < list->count() ? chosen : -1);
}

}  // namespace

void show_gis_settings(Panel& panel, const GisSettings& gis) {
  choose(panel, kGisMapList, map_choice(gis));
  for (int bit = 0; bit < static_cast<int>(std::size(kOverlayCheckBoxes)); ++bit)
    if (auto* box = find_control_as<QCheckBox>(panel, kOverlayCheckBoxes[bit]))
      box->setChecked((gis.overlay_flags >> bit) & 1);
  choose(panel, kGisSelectionList, selection_mode(gis));
}

void init_gis_panel(Panel& panel, GisSettings& gis, std::function<void(unsigned)> report) {
  fill_list(panel, kGisMapList, kMapEntries);
  fill_list(panel, kGisSelectionList, kSelectionEntries);
  show_gis_settings(panel, gis);
  GisSettings* g = &gis;
  auto changed = [g, report](uint16_t id, int value) {
    if (!gis_command(*g, id, value) || !report) return;
    report(kMapChanged);
  };
  for (const uint16_t id : kOverlayCheckBoxes)
    if (auto* box = find_control_as<QCheckBox>(panel, id))
      QObject::connect(box, &QCheckBox::clicked, &panel,
                       [changed, id](bool checked) { changed(id, checked ? 1 : 0); });
  for (const uint16_t id : {uint16_t{kGisMapList}, uint16_t{kGisSelectionList}})
    if (auto* list = find_control_as<QComboBox>(panel, id))
      QObject::connect(list, &QComboBox::activated, &panel,
                       [changed, id](int index) { changed(id, index); });
}

}  // namespace valdrin
