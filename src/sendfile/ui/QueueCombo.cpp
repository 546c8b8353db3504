#include "sendfile/ui/QueueCombo.h"

#include <QApplication>
#include <QComboBox>

namespace brelmont::sendfile {

void fillQueueCombo(QComboBox* combo, const QueueListing& listing) {
    combo->clear();
    for (const std::string& entry : listing.m_entries) combo->addItem(QString::fromStdString(entry));
    // A combo box chooses its first item by itself; a listing that chooses none is shown so.
    combo->setCurrentIndex(listing.m_selected);
}

std::vector<printer::PrinterItem> discoverQueuesShowingBusy() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<printer::PrinterItem> printers = printer::Printers().items();
    QApplication::restoreOverrideCursor();
    return printers;
}

} // namespace brelmont::sendfile
