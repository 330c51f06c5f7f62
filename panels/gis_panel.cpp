// The GIS Panel's widgets.
#include "panels/gis_panel.h"

#include <QCheckBox>
#include <QComboBox>

#include "view/gis_commands.h"

namespace valdrin {

namespace {

constexpr const char* kMapEntries[] = {"Basemap", "City Council"};
constexpr const char* kSelectionEntries[] = {"Keymap", "City Council", "Zip Code"};

template <size_t N>
void fill_list(Panel& panel, uint16_t id, const char* const (&entries)[N], int chosen) {
  auto* list = find_control_as<QComboBox>(panel, id);
  if (list == nullptr) return;
  list->clear();
  for (const char* entry : entries) list->addItem(QString::fromUtf8(entry));
  // Setting the index from code sends no `activated`: nothing is rebuilt.
  list->setCurrentIndex(chosen < static_cast<int>(N) ? chosen : -1);
}

}  // namespace

void init_gis_panel(Panel& panel, const GisSettings& gis) {
  fill_list(panel, kGisMapList, kMapEntries, map_choice(gis));
  for (int bit = 0; bit < kOverlayCount; ++bit)
    if (auto* box = find_control_as<QCheckBox>(panel, kOverlayCheckBoxes[bit]))
      box->setChecked((gis.overlay_flags >> bit) & 1);
  fill_list(panel, kGisSelectionList, kSelectionEntries, selection_mode(gis));
}

void connect_gis_panel(Panel& panel, std::function<void(uint16_t id, int value)> changed) {
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
