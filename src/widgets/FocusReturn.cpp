#include "widgets/FocusReturn.h"

#include "widgets/StatusLine.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

namespace brelmont::widgets {

namespace {

// The outcome goes to the status line of the opener's window, or of the window the person is in
// when the opener is gone.
void giveFocusBack(QWidget* opener, const QString& outcome) {
    if (opener && opener->isVisible() && opener->isEnabled()) {
        opener->activateWindow();
        opener->setFocus(Qt::OtherFocusReason);
    }
    if (!outcome.isEmpty()) sayInWindow(opener ? opener : QApplication::activeWindow(), outcome);
}

} // namespace

void returnFocusOnClose(QDialog* dialog, QWidget* opener, std::function<QString()> acceptedOutcome) {
    if (!dialog) return;
    QPointer<QWidget> control(opener);
    QObject::connect(dialog, &QDialog::finished, dialog, [control, acceptedOutcome](int result) {
        giveFocusBack(control, result == QDialog::Accepted && acceptedOutcome ? acceptedOutcome() : QString());
    });
}

FocusReturn::~FocusReturn() { giveFocusBack(m_opener, m_outcome); }

} // namespace brelmont::widgets
