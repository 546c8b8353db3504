#include "toolbox/ui/ControlBinding.h"

#include "widgets/ReadableForms.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>

namespace brelmont::toolbox::ui {

namespace {

QString qtext(const std::string& text) { return QString::fromStdString(text); }

// Multi-line fields get the device's "\r\n" line ends as plain line feeds.
QString multiLine(const std::string& text) { return qtext(text).replace(QLatin1String("\r\n"), QLatin1String("\n")); }

void showCombo(QComboBox* combo, const ControlState& state) {
    if (state.itemsFromEngine) {
        QStringList items;
        for (const std::string& item : state.items) items << qtext(item);
        QStringList current;
        for (int i = 0; i < combo->count(); ++i) current << combo->itemText(i);
        if (items != current) {
            combo->clear();
            combo->addItems(items);
        }
    }
    combo->setCurrentIndex(state.index < combo->count() ? state.index : -1);
}

} // namespace

void showControl(QWidget* widget, const ControlState& state) {
    if (!widget) return;
    const QSignalBlocker block(widget);
    widget->setEnabled(state.enabled);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        showCombo(combo, state);
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        line->setReadOnly(!state.editable);
        if (state.assigned) line->setText(qtext(state.text));
    } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        edit->setReadOnly(!state.editable);
        if (state.assigned) edit->setPlainText(multiLine(state.text));
    } else if (auto* label = qobject_cast<QLabel*>(widget)) {
        label->setTextFormat(Qt::PlainText); // device texts are never markup
        if (state.assigned) label->setText(qtext(state.text));
        widgets::nameValueLabel(label);
    } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
        if (state.assigned) check->setChecked(state.checked);
    }
}

std::optional<std::string> fieldText(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text().toStdString();
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->toPlainText().toStdString();
    return std::nullopt;
}

bool fieldShowsState(const QWidget* widget, const ControlState& state) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget)) return line->text() == qtext(state.text);
    if (const auto* edit = qobject_cast<const QPlainTextEdit*>(widget)) return edit->toPlainText() == multiLine(state.text);
    return false;
}

} // namespace brelmont::toolbox::ui
