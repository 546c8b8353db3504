#include "widgets/FocusReturn.h"

#include "widgets/Announce.h"

#include <QDialog>
#include <QWidget>

namespace brelmont::widgets {

namespace {

constexpr const char* OutcomeProperty = "brelmontClosingOutcome";

void giveFocusBack(QWidget* opener, const QString& outcome) {
    if (!opener || !opener->isVisible() || !opener->isEnabled()) return;
    opener->activateWindow();
    opener->setFocus(Qt::OtherFocusReason);
    if (!outcome.isEmpty()) announce(opener, outcome);
}

} // namespace

void returnFocusOnClose(QDialog* dialog, QWidget* opener) {
    if (!dialog) return;
    QPointer<QWidget> control(opener);
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, control] {
        giveFocusBack(control, dialog->property(OutcomeProperty).toString());
    });
}

void setClosingOutcome(QDialog* dialog, const QString& text) {
    if (dialog) dialog->setProperty(OutcomeProperty, text);
}

FocusReturn::~FocusReturn() { giveFocusBack(m_opener, m_outcome); }

} // namespace brelmont::widgets
