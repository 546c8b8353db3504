// Runs one way of holding a job's pages in a process of its own, so that the benchmark that
// starts it can read the process's peak resident memory:
//   job_probe eager JOB          decodes the whole job and keeps every page, as opening did before
//                                pages were decoded on demand
//   job_probe viewer JOB         opens the job in a viewer window (offscreen) showing its first page
//   job_probe page-through JOB   the same, then pages forward to the last page
// Prints the number of pages (emboss and ink) and the number of page decodes.
#include "job/Document.h"
#include "job/JobFile.h"
#include "job/TclParser.h"
#include "viewer/window/ViewController.h"
#include "viewer/window/WindowController.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: job_probe eager|viewer|page-through JOB\n");
        return 2;
    }
    const std::string mode = argv[1];
    if (mode == "eager") {
        std::vector<uint8_t> bytes;
        if (const std::string error = brelmont::job::readJobFile(argv[2], bytes); !error.empty()) {
            std::fprintf(stderr, "job_probe: %s\n", error.c_str());
            return 1;
        }
        const auto job = brelmont::job::decodeJob(bytes, brelmont::job::TclParser::Pixels::Make);
        const size_t pages = job.emboss.size() + job.ink.size();
        std::printf("%zu %zu\n", pages, pages);
        return 0;
    }
    QApplication app(argc, argv);
    auto doc = std::make_shared<brelmont::job::Document>();
    std::ostream nowhere(nullptr);
    std::string readError;
    if (doc->readFromFile(argv[2], nowhere, readError) || !readError.empty()) {
        std::fprintf(stderr, "job_probe: cannot open %s %s\n", argv[2], readError.c_str());
        return 1;
    }
    brelmont::viewer::WindowController window(doc);
    window.resize(1000, 760);
    window.show();
    QApplication::processEvents();
    if (mode == "page-through")
        while (window.viewController()->clickPageForward()) QApplication::processEvents();
    std::printf("%zu %lld\n", doc->m_embPages.size() + doc->m_inkPages.size(), static_cast<long long>(doc->pagesDecoded()));
    return 0;
}
