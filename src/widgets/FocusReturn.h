// The focus goes back to the control that opened a dialog when the dialog closes (the window
// system gives it back to the window, which does not always pick that control), and the result
// the dialog ended with is said in that window's status line.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace brelmont::widgets {

// For dialogs shown with show() or open(): `opener` is the control that had the focus before.
// `acceptedOutcome`, when given, says what an accepted dialog achieved ("The file was sent to
// Office."); it is asked as the dialog finishes and said in the opener's window.
void returnFocusOnClose(QDialog* dialog, QWidget* opener, std::function<QString()> acceptedOutcome = {});

// For dialogs run inside a call (exec()): made before the dialog opens, it gives the focus back to
// the control that had it when it goes out of scope.
class FocusReturn {
public:
    explicit FocusReturn(QWidget* opener = QApplication::focusWidget()) : m_opener(opener) {}
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

    // Said in the status line of the window the focus returns to.
    void setOutcome(const QString& text) { m_outcome = text; }

private:
    QPointer<QWidget> m_opener;
    QString m_outcome;
};

} // namespace brelmont::widgets
