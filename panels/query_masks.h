// The Query Panel's logic, without widgets: what a list's choice writes
// into the Query masks, and which item each list shows for the masks. The
// lists' labels, items and fields are core's kQueryFields, their ids
// kQueryLists, both in the order the panel fills them. The widgets (query_panel.h) only show
// query_list_items() and forward the user's choices here.
#pragma once

#include "core/analysis.h"
#include "resources/templates.h"

namespace valdrin {

// A notification `code` from control `id` whose selected item is
// `selected`. For a change of selection (code 1) made by the user in one of
// lists of kQueryLists: keep the index's low 8 bits, then as many as the
// field is wide, write that into the list's field (the officer "# Of" item
// "Duplicate", index 6, writes 9), touch no other field, and add
// kQueryChanged to `changed`. A list with no item selected changes nothing.
// Returns 1 for the thirteen lists (whatever the code), 0 for any other id.
int on_query_change(Event& query, int id, int code, int selected, unsigned& changed);

// The item each list shows for the current masks, in kQueryFields order;
// -1 where the field holds a value that no item writes.
void query_list_items(const Event& query, int (&items)[kQueryFieldCount]);

}  // namespace valdrin
