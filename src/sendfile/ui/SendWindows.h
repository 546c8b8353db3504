// How the application opens the two send windows.
#pragma once

#include "job/Document.h"
#include "sendfile/QueueList.h"

#include <memory>

class QWidget;

namespace brelmont::sendfile {

class SendFileDlg;
class SendFileViewController;

// File ▸ Send File…: the send-file window, modal for the whole application, deleted when closed.
// The queue list is read now; with no queue there is no window but a message saying how to add one.
SendFileViewController* showSendFileWindow(QWidget* parent);

// The viewer's print button: the send-job sheet for `document`, modal over `window` only, deleted
// when closed. Without `printers`, the queue list is read now. With no queue: the message, no sheet.
SendFileDlg* presentSendFileDlg(QWidget* window, std::shared_ptr<const job::Document> document);
SendFileDlg* presentSendFileDlg(QWidget* window, std::shared_ptr<const job::Document> document,
                                std::vector<printer::PrinterItem> printers);

} // namespace brelmont::sendfile
