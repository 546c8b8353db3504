#include "widgets/StatusLine.h"

#include "widgets/MessageBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QBoxLayout>
#include <QMainWindow>
#include <QStatusBar>

namespace brelmont::widgets {

namespace {

// The line as assistive technology sees it: a notification named by its text. An empty line is a
// status bar, so that its window appearing makes no empty notification appear.
class StatusLineAccessible : public QAccessibleWidget {
public:
    explicit StatusLineAccessible(QWidget* line) : QAccessibleWidget(line, QAccessible::Notification) {}
    QAccessible::Role role() const override {
        return static_cast<const QLabel*>(widget())->text().isEmpty() ? QAccessible::StatusBar : QAccessible::Notification;
    }
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? static_cast<const QLabel*>(widget())->text() : QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* statusLineAccessible(const QString& className, QObject* object) {
    if (className != QLatin1String(StatusLine::staticMetaObject.className()) || !object || !object->isWidgetType())
        return nullptr;
    return new StatusLineAccessible(static_cast<QWidget*>(object));
}

} // namespace

StatusLine::StatusLine(QWidget* parent) : QLabel(parent) {
    static const bool installed = (QAccessible::installFactory(statusLineAccessible), true);
    (void)installed;
    setObjectName(QStringLiteral("statusLine"));
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void StatusLine::note(const QString& text) { setText(text); }

void StatusLine::say(const QString& text) {
    note(text);
    if (text.isEmpty()) return;
    // Shown anew, so the same outcome twice is spoken twice; a line out of sight says nothing.
    if (isVisible()) {
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    emit said(text);
}

StatusLine* StatusLine::of(const QWidget* widget) {
    const QWidget* window = widget ? widget->window() : nullptr;
    if (!window) return nullptr;
    // Dialogs are children of the window that opened them: their lines are not this window's.
    for (StatusLine* line : window->findChildren<StatusLine*>())
        if (line->window() == window) return line;
    return nullptr;
}

StatusLine* StatusLine::addTo(QWidget* window) {
    auto* line = new StatusLine(window);
    if (auto* main = qobject_cast<QMainWindow*>(window)) main->statusBar()->addWidget(line, 1);
    else if (auto* box = qobject_cast<QBoxLayout*>(window->layout())) box->addWidget(line);
    return line;
}

void sayInWindow(const QWidget* widget, const QString& text) {
    if (StatusLine* line = StatusLine::of(widget)) line->say(text);
}

// The alert is spoken already: the line only keeps the text in view, so it is not said twice.
void reportFailure(const QWidget* widget, const QString& text, const QString& details) {
    if (StatusLine* line = StatusLine::of(widget)) line->note(text);
    MessageBox::show(text, details);
}

} // namespace brelmont::widgets
