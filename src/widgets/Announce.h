// Results said to screen readers. Qt on this platform has no announcement of its own, but screen
// readers speak a change of the focused control's description, and read the description with the
// name when a control gets the focus. So a result is hung on a control as its description: on the
// control that has the focus, or on the one about to get it back. The control's own description
// returns when it loses the focus.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

namespace brelmont::widgets {

class Announcements : public QObject {
    Q_OBJECT

public:
    static Announcements& instance();

    // Says `text` at `control`; nothing without a control. The same text twice is said twice.
    void say(QWidget* control, const QString& text);
    // Gives the control that carries the last result its own description back now (before a
    // window changes that description itself).
    void withdraw();

signals:
    // Every result said, for whoever watches (a window's status line, tests).
    void announced(QWidget* control, const QString& text);

private:
    Announcements();

    QPointer<QWidget> m_holder; // the control whose description carries the last result
    QString m_ownDescription;
};

inline void announce(QWidget* control, const QString& text) { Announcements::instance().say(control, text); }

// After an action in a window: the focus stays on `hadFocus`, the control that had it when the
// action began, when that control can still take it; else it goes to `fallback` (the outcome
// disabled or hid the control). Then the outcome is said there.
void announceOutcome(QWidget* hadFocus, QWidget* fallback, const QString& text);

} // namespace brelmont::widgets
