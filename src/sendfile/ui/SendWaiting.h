// The send windows hand the file to lpr off the window thread and wait for it, so a slow
// scheduler keeps the window alive (and Cancel stops lpr); a refusal is shown with lpr's message.
#pragma once

#include "job/Document.h"
#include "sendfile/SendJob.h"
#include "sendfile/SendOperation.h"

#include <memory>
#include <optional>
#include <string>

class QWidget;

namespace brelmont::sendfile {

// Sends the file; none when the user cancelled. A send that failed has been said in the window's
// status line and shown in an alert.
std::optional<SendOutcome> sendWaiting(QWidget* parent, const std::string& path, const std::string& queue);

// Sends the open job the same way; the caller shows its failures.
std::optional<SendJobResult> sendJobWaiting(QWidget* parent, std::shared_ptr<const job::Document> document,
                                            const std::string& queue);

} // namespace brelmont::sendfile
