#include "widgets/Announce.h"

#include <QApplication>
#include <QWidget>

namespace brelmont::widgets {

Announcements& Announcements::instance() {
    static Announcements* announcements = new Announcements; // lives as long as the application
    return *announcements;
}

Announcements::Announcements() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && old == m_holder) withdraw();
    });
}

void Announcements::withdraw() {
    if (m_holder) m_holder->setAccessibleDescription(m_ownDescription);
    m_holder = nullptr;
    m_ownDescription.clear();
}

void Announcements::say(QWidget* control, const QString& text) {
    if (!control) return;
    if (control != m_holder) {
        withdraw();
        m_holder = control;
        m_ownDescription = control->accessibleDescription();
    }
    // Cleared first, so that a screen reader that skips an unchanged description still speaks.
    control->setAccessibleDescription(QString());
    control->setAccessibleDescription(text);
    emit announced(control, text);
}

void announceOutcome(QWidget* hadFocus, QWidget* fallback, const QString& text) {
    const bool stays = hadFocus && hadFocus->isEnabled() && hadFocus->isVisible();
    QWidget* target = stays ? hadFocus : fallback;
    if (target && !target->hasFocus()) target->setFocus(Qt::OtherFocusReason);
    announce(target, text);
}

} // namespace brelmont::widgets
