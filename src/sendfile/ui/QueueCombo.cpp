#include "sendfile/ui/QueueCombo.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>

#include "widgets/Guidance.h"
#include "widgets/MessageBox.h"

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

namespace brelmont::sendfile {

bool offerableOrSaidSo(const std::vector<printer::PrinterItem>& printers) {
    if (!printers.empty()) return true;
    widgets::MessageBox::show(widgets::noQueueText());
    return false;
}

void showApplicationModal(QDialog* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace brelmont::sendfile
