// brelmont-filter: the CUPS filter of the embossers' queues.
//   brelmont-filter job-id user title copies options [file]
#include "driver/Filter.h"
#include "preferences/SharedDataFolder.h"

#include <malloc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

// Under LeakSanitizer (the sanitizer builds of the tests, where the scheduler runs this filter
// without the tests' environment): libcups keeps a few strings of a PPD's cache past ppdClose and an
// option it adds while marking a PPD with colour presets, and fontconfig the fonts poppler looked
// up; none are ours to free. An ordinary build never calls this.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:_ppdCacheCreateWithPPD\nleak:cupsAddOption\nleak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (argc < 6 || argc > 7) {
        std::fprintf(stderr, "Usage: %s job-id user title copies options [file]\n", argv[0]);
        return 1;
    }
    // A print document's pages are rendered one after another into buffers of tens of megabytes:
    // kept in the heap, they are reused instead of being mapped and cleared afresh for every page.
    mallopt(M_MMAP_THRESHOLD, 256 << 20);
    mallopt(M_TRIM_THRESHOLD, 256 << 20);
    brelmont::driver::FilterJob job;
    job.jobId = argv[1];
    job.user = argv[2];
    job.title = argv[3];
    job.copies = std::atoi(argv[4]);
    job.options = argv[5];
    if (argc == 7) job.inputPath = argv[6];
    job.ppdPath = environment("PPD");
    job.queue = environment("PRINTER");
    job.contentType = environment("CONTENT_TYPE");
    if (job.contentType.empty()) job.contentType = "text/plain";
    job.sharedFolder = brelmont::preferences::sharedDataFolder();
    return brelmont::driver::runFilter(job, stdin, stdout, stderr);
}
