// Sending the job of an open document: its raw bytes are written to a work file of this send's
// own, that file is sent, and it is removed when lpr has taken it.
#pragma once

#include "job/Document.h"
#include "printer/StopSignal.h"
#include "sendfile/SendOperation.h"

#include <string>
#include <string_view>

namespace brelmont::sendfile {

enum class SendJobStatus {
    Sent,
    NoPages,     // a job without a page is not sent (the window shows noPagesError())
    NoJobData,   // the document holds no raw bytes: nothing to send
    WriteFailed, // the work file could not be written: nothing was sent
    SendFailed,  // lpr did not take the job (`detail` says why)
};

struct SendJobResult {
    SendJobStatus status = SendJobStatus::SendFailed; // nothing counts as sent until lpr said so
    std::string detail;                               // why, for the failures
};

// The error shown for a job without pages.
job::DocumentError noPagesError();
bool hasPages(const job::Document& document);

// Writes the job's bytes to a work file in the user's private work folder (never the shared
// temporary folder, where someone else could plant a link) and sends it to the queue, waiting for
// lpr as send() does. The work file is gone afterwards, sent or not.
SendJobResult sendJob(const job::Document& document, std::string_view queue, const printer::SharedStop& stop = {});

} // namespace brelmont::sendfile
