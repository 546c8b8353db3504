// Sending the job of an open document: its raw bytes are written to the work file "tempprn" and
// that file is sent.
#pragma once

#include "job/Document.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace brelmont::sendfile {

enum class SendJobStatus {
    Sent,
    NoPages,      // a job without a page is not sent (the window shows noPagesError())
    NoJobData,    // the document holds no raw bytes: nothing to send
    WriteFailed,  // the work file could not be written: nothing was sent
    LaunchFailed, // the shell could not be started
};

struct SendJobResult {
    SendJobStatus status = SendJobStatus::Sent;
    std::string detail; // why, for the failures
};

// The error shown for a job without pages.
job::DocumentError noPagesError();
bool hasPages(const job::Document& document);

// "tempprn" in the user's private work folder (never the shared temporary folder, where someone
// else could plant a link under that name); empty when that folder cannot be had.
std::filesystem::path tempJobPath();

// Writes the job's bytes to the work file (whole or not at all: an older file is replaced only by
// a complete one) and sends it to the queue.
SendJobResult sendJob(const job::Document& document, std::string_view queue);

} // namespace brelmont::sendfile
