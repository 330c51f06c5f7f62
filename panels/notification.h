// The notification codes a panel's controls send with their id: the
// panels act only on the one that means "chosen".
#pragma once

namespace valdrin {

constexpr int kNotifyClicked = 0;           // a button was clicked
constexpr int kNotifySelectionChanged = 1;  // the user chose another list item

}  // namespace valdrin
