// Fills a send window's queue combo box from a queue listing.
#pragma once

#include "sendfile/QueueList.h"

#include <optional>

class QComboBox;
class QDialog;
class QWidget;

namespace brelmont::sendfile {

// The entries, and the first selection (none when the listing chooses none).
void fillQueueCombo(QComboBox* combo, const QueueListing& listing);

// Whether there is a queue to offer; with none, the user is told how to add one.
bool offerableOrSaidSo(const std::vector<printer::PrinterItem>& printers);
// The queues read now (off the window thread, Cancel offered), when there is one to offer.
std::optional<std::vector<printer::PrinterItem>> offerableQueues(QWidget* parent);

// Shows a window modal for the whole application, in front, deleted when closed.
void showApplicationModal(QDialog* window);

} // namespace brelmont::sendfile
