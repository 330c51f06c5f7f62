// The Query Panel's widgets (template 101): thirteen drop-down lists that
// show the Query masks and forward the user's choices to the query logic
// (query_masks.h).
#pragma once

#include <functional>

#include "core/event.h"
#include "panels/panel.h"

namespace valdrin {

// Runs once, right after the panel is built: fills the thirteen lists in
// order with their items, shows the masks, wires each list's user choices
// to on_query_change and hands what changed to `report`, and gives the
// focus to the "Shift" list. `query` must outlive the panel.
void init_query_panel(Panel& panel, Event& query, std::function<void(unsigned)> report);

// Selects in each list the item of its field's value. Notifies nothing and
// rebuilds nothing.
void show_query_masks(Panel& panel, const Event& query);

}  // namespace valdrin
