// The Query Panel's widgets: filled once, set from the masks on demand.
#include "panels/query_panel.h"

#include <QComboBox>

#include "core/query.h"
#include "panels/notification.h"
#include "panels/query_masks.h"

namespace valdrin {

void show_query_masks(Panel& panel, const Event& query) {
  int items[kQueryFieldCount];
  query_list_items(query, items);
  for (int f = 0; f < kQueryFieldCount; ++f)
    if (auto* list = find_control_as<QComboBox>(panel, kQueryLists[f]))
      list->setCurrentIndex(items[f]);
}

void init_query_panel(Panel& panel, Event& query, std::function<void(unsigned)> report) {
  Event* q = &query;
  for (int f = 0; f < kQueryFieldCount; ++f) {
    const QueryField& field = kQueryFields[f];
    const int id = kQueryLists[f];
    auto* list = find_control_as<QComboBox>(panel, static_cast<uint16_t>(id));
    if (list == nullptr) continue;
    for (uint8_t i = 0; i < field.item_count; ++i) list->addItem(QString::fromUtf8(field.items[i]));
    // activated: the user's choices only, so show_query_masks reports
    // nothing.
    QObject::connect(list, &QComboBox::activated, &panel, [q, id, report](int index) {
      unsigned changed = 0;
      on_query_change(*q, id, kNotifySelectionChanged, index, changed);
      if (changed != 0 && report) report(changed);
    });
  }
  show_query_masks(panel, query);
  if (QWidget* shift = find_control(panel, kQueryLists[kQueryShift])) shift->setFocus();
}

}  // namespace valdrin
