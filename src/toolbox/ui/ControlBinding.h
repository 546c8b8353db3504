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

} // namespace brelmont::toolbox::ui
