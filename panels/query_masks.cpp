// The Query Panel's logic: list choices into mask fields and back.
#include "panels/query_masks.h"

#include <iterator>

#include "panels/notification.h"

namespace valdrin {

static_assert(std::size(kQueryLists) == kQueryFieldCount);

namespace {

// The field a list edits, or kQueryFieldCount when `id` is no list.
QueryFieldId field_of_list(int id) {
  for (int f = 0; f < kQueryFieldCount; ++f)
    if (kQueryLists[f] == id) return static_cast<QueryFieldId>(f);
  return kQueryFieldCount;
}

}  // namespace

int on_query_change(Event& query, int id, int code, int selected, unsigned& changed) {
  const QueryFieldId field = field_of_list(id);
  if (field == kQueryFieldCount) return 0;
  if (code != kNotifySelectionChanged || selected < 0) return 1;
  const uint32_t width_mask = (1u << kQueryFields[field].width) - 1u;
  const uint32_t item = (static_cast<uint32_t>(selected) & 0xFFu) & width_mask;
  set_query_field(query, field, query_item_value(field, item));
  changed |= kQueryChanged;
  return 1;
}

void query_list_items(const Event& query, int (&items)[kQueryFieldCount]) {
  for (int f = 0; f < kQueryFieldCount; ++f) {
    const auto field = static_cast<QueryFieldId>(f);
    items[f] = query_value_item(field, get_query_field(query, field));
  }
}

}  // namespace valdrin
