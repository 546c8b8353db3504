// Fills a send window's queue combo box from a queue listing.
#pragma once

#include "sendfile/QueueList.h"

class QComboBox;
class QDialog;

namespace brelmont::sendfile {

// The entries, and the first selection (none when the listing chooses none).
void fillQueueCombo(QComboBox* combo, const QueueListing& listing);

// The queue list is read while the user waits: a busy cursor says so.
std::vector<printer::PrinterItem> discoverQueuesShowingBusy();

// Whether there is a queue to offer; with none, the user is told how to add one.
bool offerableOrSaidSo(const std::vector<printer::PrinterItem>& printers);

// Shows a window modal for the whole application, in front, deleted when closed.
void showApplicationModal(QDialog* window);

} // namespace brelmont::sendfile
