// Forms that read as they look: read-only fields look read-only, and values shown in labels are
// reached by Tab and named by their captions.
#pragma once

class QApplication;
class QLabel;
class QWidget;

namespace brelmont::widgets {

// From now on every line edit and text edit of the application that becomes read-only takes the
// window's background instead of the editable white, and takes it back when it becomes editable.
void installReadOnlyLook(QApplication& application);

// In `root`, each label named "label_X" that has no buddy names the label "X" that shows a value:
// the caption becomes its buddy, and the value takes Tab focus and can be selected by keyboard.
void linkValueLabels(QWidget* root);
// The value label's name for screen readers: its caption, then its text (a label is otherwise
// heard by its text alone). Call after each change of the text; nothing without a caption.
void nameValueLabel(QLabel* value);

} // namespace brelmont::widgets
