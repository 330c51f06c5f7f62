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
    if (auto* list = find_control_as<QComboBox>(panel, kQueryFields[f].list_id))
      list->setCurrentIndex(items[f]);
}

void init_query_panel(Panel& panel, Event& query, std::function<void()> rebuild) {
  Event* q = &query;
  for (const QueryField& field : kQueryFields) {
    auto* list = find_control_as<QComboBox>(panel, field.list_id);
    if (list == nullptr) continue;
    for (uint8_t i = 0; i < field.item_count; ++i) list->addItem(QString::fromUtf8(field.items[i]));
    const int id = field.list_id;
    // activated: the user's choices only, so show_query_masks rebuilds
    // nothing.
    QObject::connect(list, &QComboBox::activated, &panel, [q, id, rebuild](int index) {
      on_query_change(*q, id, kNotifySelectionChanged, index, rebuild);
    });
  }
  show_query_masks(panel, query);
  if (QWidget* shift = find_control(panel, kQueryFields[kQueryShift].list_id)) shift->setFocus();
}

}  // namespace valdrin
