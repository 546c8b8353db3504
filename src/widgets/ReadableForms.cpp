#include "widgets/ReadableForms.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace brelmont::widgets {

namespace {

bool isReadOnly(QObject* object) {
    if (auto* line = qobject_cast<QLineEdit*>(object)) return line->isReadOnly();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(object)) return plain->isReadOnly();
    if (auto* text = qobject_cast<QTextEdit*>(object)) return text->isReadOnly();
    return false;
}

class ReadOnlyLook : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ReadOnlyChange) {
            if (auto* field = qobject_cast<QWidget*>(watched)) {
                QPalette palette = field->palette();
                palette.setBrush(QPalette::Base, isReadOnly(field) ? palette.window() : QApplication::palette(field).base());
                field->setPalette(palette);
            }
        }
        return false;
    }
};

QLabel* captionOf(QLabel* value) {
    QWidget* parent = value->parentWidget();
    if (!parent) return nullptr;
    for (QLabel* label : parent->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
        if (label->buddy() == value) return label;
    return nullptr;
}

} // namespace

void installReadOnlyLook(QApplication& application) { application.installEventFilter(new ReadOnlyLook(&application)); }

void linkValueLabels(QWidget* root) {
    for (QLabel* caption : root->findChildren<QLabel*>()) {
        const QString name = caption->objectName();
        if (!name.startsWith(QLatin1String("label_")) || caption->buddy()) continue;
        auto* value = root->findChild<QLabel*>(name.mid(6));
        if (!value) continue;
        caption->setBuddy(value);
        // The flags set a click-only focus policy of their own, so Tab focus comes after them.
        value->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
        value->setFocusPolicy(Qt::StrongFocus);
        nameValueLabel(value);
    }
}

void nameValueLabel(QLabel* value) {
    const QLabel* caption = value ? captionOf(value) : nullptr;
    if (!caption) return;
    QString name = caption->text();
    name.remove(QLatin1Char('&'));
    value->setAccessibleName(value->text().isEmpty() ? name : name + QLatin1Char(' ') + value->text());
}

} // namespace brelmont::widgets
