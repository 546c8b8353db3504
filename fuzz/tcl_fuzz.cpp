// Whole jobs through the document, as opening a file does.
#include "job/Document.h"

#include <ostream>
#include <streambuf>

namespace {
struct NullBuffer : std::streambuf {
    int overflow(int c) override { return c; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static NullBuffer nothing;
    static std::ostream diagnostics(&nothing);
    brelmont::job::Document doc;
    doc.m_pageMemoryLimit = int64_t(1) << 30; // keeps each run quick; the limit itself is under test
    doc.readFromData(brelmont::job::Bytes(data, size), brelmont::job::Document::TypeKprn, "fuzz.kprn", diagnostics);
    return 0;
}
