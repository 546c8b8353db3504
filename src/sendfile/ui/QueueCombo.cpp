#include "sendfile/ui/QueueCombo.h"

#include <QApplication>
#include <QComboBox>

namespace brelmont::sendfile {

void fillQueueCombo(QComboBox* combo, const QueueListing& listing) {
    combo->clear();
    for (const std::string& entry : listing.m_entries) combo->addItem(QString::fromStdString(entry));
    if (listing.m_selected >= 0) combo->setCurrentIndex(listing.m_selected);
}

QueueChoices discoverQueuesShowingBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QueueChoices choices = QueueChoices::discover();
    QApplication::restoreOverrideCursor();
    return choices;
}

} // namespace brelmont::sendfile
