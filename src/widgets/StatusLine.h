// A window's status line: the outcome of what the person just did (written, refused and why,
// sent, the values read, the page shown), in words at the foot of the window. Screen readers get
// it as a notification that is spoken without the focus moving: the line is a notification object
// whose name is the text, and each outcome shows it anew (Qt 6.4 has no announcement call; a
// notification that appears is what screen readers speak on their own).
#pragma once

#include <QLabel>

namespace brelmont::widgets {

class StatusLine : public QLabel {
    Q_OBJECT

public:
    explicit StatusLine(QWidget* parent = nullptr);

    // Shows `text` and has it spoken; the same text twice is spoken twice. Nothing is spoken for an
    // empty text, which clears the line.
    void say(const QString& text);
    // Shows `text` without speaking it, for what the focused control already says.
    void note(const QString& text);

    // The status line of the window that holds `widget`; null when that window has none.
    static StatusLine* of(const QWidget* widget);
    // A new status line at the foot of `window`: in its status bar for a main window, else
    // below what its layout holds.
    static StatusLine* addTo(QWidget* window);

signals:
    // Every text said, for whoever watches (tests).
    void said(const QString& text);
};

// Says `text` in the status line of the window that holds `widget`, when it has one.
void sayInWindow(const QWidget* widget, const QString& text);
// What went wrong: shown in that status line and in an alert (which is what is spoken) whose
// Details hold `details`, the technical part of why.
void reportFailure(const QWidget* widget, const QString& text, const QString& details = {});

} // namespace brelmont::widgets
