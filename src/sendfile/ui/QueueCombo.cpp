#include "sendfile/ui/QueueCombo.h"

#include <QComboBox>
#include <QDialog>

#include "widgets/Guidance.h"
#include "widgets/MessageBox.h"
#include "widgets/QueueDiscovery.h"

namespace brelmont::sendfile {

void fillQueueCombo(QComboBox* combo, const QueueListing& listing) {
    combo->clear();
    for (const std::string& entry : listing.m_entries) combo->addItem(QString::fromStdString(entry));
    // A combo box chooses its first item by itself; a listing that chooses none is shown so.
    combo->setCurrentIndex(listing.m_selected);
}

} // namespace brelmont::sendfile

namespace brelmont::sendfile {

bool offerableOrSaidSo(const std::vector<printer::PrinterItem>& printers) {
    if (!printers.empty()) return true;
    widgets::MessageBox::show(widgets::noQueueText());
    return false;
}

std::optional<std::vector<printer::PrinterItem>> offerableQueues(QWidget* parent) {
    std::optional<printer::Printers> printers = widgets::discoverQueues(parent);
    if (!printers || !offerableOrSaidSo(printers->items())) return std::nullopt;
    return std::move(*printers).items();
}

void showApplicationModal(QDialog* window) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace brelmont::sendfile
