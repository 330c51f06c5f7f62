// The Info Panel's widgets: the read-only text box shows the Info text
// (InfoText, kept by the program), "Clear" and "Save" hand their clicks
// on. The widgets hold no text of their own.
#pragma once

#include <functional>

#include "core/info_text.h"
#include "panels/panel.h"

namespace valdrin {

// Puts the text into the text box, each CR LF a line break, and scrolls it
// so that the end of the text is in view.
void set_info_text(Panel& panel, const InfoText& info);

// After an append: the text as above, and the panel shown, even when the
// user had hidden it.
void show_info_text(Panel& panel, const InfoText& info);

// Connects the buttons' clicks.
void connect_info_panel(Panel& panel, std::function<void()> clear, std::function<void()> save);

}  // namespace valdrin
