// The driver's CUPS filter: a text or braille-ready document into the job language of the queue's
// model, by CUPS's filter conventions (job bytes on standard output, ERROR:, WARNING:, INFO: and
// PAGE: lines on standard error, non-zero exit before any page leaves when the job cannot be made).
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace brelmont::driver {

struct FilterJob {
    // The arguments CUPS gives every filter.
    std::string jobId, user, title;
    int copies = 1;
    std::string options;   // "key=value ..." of the job
    std::string inputPath; // empty: the document comes on `in`
    // From the filter's environment.
    std::string ppdPath;     // PPD
    std::string queue;       // PRINTER
    std::string contentType; // CONTENT_TYPE: the job's document type (text, BRF, PDF, or what became PDF)
    std::filesystem::path sharedFolder;
};

// Runs the filter; the exit status.
int runFilter(const FilterJob& job, std::FILE* in, std::FILE* out, std::FILE* log);

} // namespace brelmont::driver
