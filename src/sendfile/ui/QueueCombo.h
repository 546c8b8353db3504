// Fills a send window's queue combo box from a queue listing.
#pragma once

#include "sendfile/QueueList.h"

class QComboBox;

namespace brelmont::sendfile {

// The entries, and the first selection (none when the listing chooses none).
void fillQueueCombo(QComboBox* combo, const QueueListing& listing);

// The queue list is read while the user waits: a busy cursor says so.
std::vector<printer::PrinterItem> discoverQueuesShowingBusy();

} // namespace brelmont::sendfile
