// Moves the engine's named control states into widgets and the user's text back out.
#pragma once

#include "toolbox/Controls.h"

#include <optional>
#include <string>

class QWidget;

namespace brelmont::toolbox::ui {

// Shows the state in the widget without raising change notifications. Controls the engine never
// assigned keep what the layout gives them; combo boxes always show the engine's selection.
void showControl(QWidget* widget, const ControlState& state);

// The text of a text field as the engine keeps it; none for widgets that hold no text.
std::optional<std::string> fieldText(const QWidget* widget);

// Whether a text field still shows the state's text as showControl put it there, i.e. the user
// has not changed it. Compared as shown: a device text that is not UTF-8 does not come back out
// of the widget byte for byte, and must not count as the user's change.
bool fieldShowsState(const QWidget* widget, const ControlState& state);

} // namespace brelmont::toolbox::ui
