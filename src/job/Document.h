// One opened print job: its bytes, its emboss and ink pages, and the model it names. Opening makes
// an index of the pages; each page is decoded when it is asked for.
#pragma once

#include "job/Diagnostic.h"
#include "job/JobStream.h"
#include "job/PageData.h"
#include "job/PageList.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::job {

// A refusal to open: the error domain and its code, and the cause in words for the user.
struct DocumentError {
    std::string domain;
    int64_t code = 0;
    std::string reason; // "This file is not a Brelmont print job.", ...

    // "error domain NSOSStatusErrorDomain, code 259"
    std::string describe() const;
    // The reason, then the domain and code in parentheses (only those when there is no reason).
    std::string message() const;
};

class Document {
public:
    static constexpr const char* ErrorDomain = "NSOSStatusErrorDomain";
    static constexpr int64_t ErrorUnknownType = -4;
    static constexpr int64_t ErrorNoModel = 259;
    static constexpr const char* TypeKprn = "com.brelmont.kprn";
    static constexpr const char* TypeKdsx = "com.brelmont.kdsx";
    static constexpr const char* NotAJobReason = "This file is not a Brelmont print job.";
    static constexpr const char* NoModelReason = "The job names no embosser model.";

    // The type name under which a file of this name opens ("" when no type takes it).
    static std::string typeNameForPath(const std::filesystem::path& path);

    // Indexes the job's pages. Refuses an unknown type name and a job that names no model. What
    // decoding reports is kept in m_diagnostics and written to `diagnostics`, a line each.
    std::optional<DocumentError> readFromData(Bytes data, const std::string& typeName, const std::filesystem::path& fileURL,
                                              std::ostream& diagnostics);

    // Reads a file and opens it under the type its name gives. A file that cannot be read (also a
    // directory, or one larger than a job may be) is reported through `readError`, which names
    // the file, and yields no DocumentError.
    std::optional<DocumentError> readFromFile(const std::filesystem::path& path, std::ostream& diagnostics,
                                              std::string& readError);

    // Files a page made already, by its kind; other kinds are ignored.
    void addPage(const PagePtr& page);

    // Writes the job bytes unchanged to `path` (through a temporary file, so a failed write never
    // leaves a half-written job). Returns an empty string on success, else why it failed.
    std::string writeJobTo(const std::filesystem::path& path) const;

    // Pages decoded so far, and the bytes of those kept for showing again.
    int64_t pagesDecoded() const { return m_source ? m_source->decodeCount() : 0; }
    int64_t pageBytesHeld() const { return m_source ? m_source->bytesHeld() : 0; }

    // No page larger than this is made (a damaged job can ask for any size); such a page is
    // reported and left out.
    int64_t m_pageLimit = PageData::MaxBufferSize;

    int64_t m_currentPage = 0;
    PageList m_embPages;
    PageList m_inkPages;
    std::shared_ptr<const std::vector<uint8_t>> m_prnData;
    std::filesystem::path m_fileURL;
    int64_t m_printerType = 0;
    // What opening the job reported, in job order; a fault that ended decoding early comes last.
    std::vector<Diagnostic> m_diagnostics;

private:
    std::optional<DocumentError> open(std::shared_ptr<const std::vector<uint8_t>> bytes, const std::string& typeName,
                                      const std::filesystem::path& fileURL, std::ostream& diagnostics);

    std::shared_ptr<PageSource> m_source;
};

} // namespace brelmont::job
