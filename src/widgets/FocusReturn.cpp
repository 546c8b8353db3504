#include "widgets/FocusReturn.h"

#include "widgets/Announce.h"

#include <QDialog>
#include <QWidget>

namespace brelmont::widgets {

namespace {

void giveFocusBack(QWidget* opener, const QString& outcome) {
    if (!opener || !opener->isVisible() || !opener->isEnabled()) return;
    opener->activateWindow();
    opener->setFocus(Qt::OtherFocusReason);
    if (!outcome.isEmpty()) announce(opener, outcome);
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
