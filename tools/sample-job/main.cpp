// Writes the built-in sample job to the file named on the command line.
#include "SampleJob.h"

#include <cstdio>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-sample-job OUT.kprn\n");
        return 2;
    }
    const auto job = brelmont::testing::makeSampleJob();
    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(job.data()), std::streamsize(job.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "make-sample-job: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
