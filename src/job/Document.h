// One opened print job: its bytes, its decoded emboss and ink pages, and the model it names.
#pragma once

#include "job/JobStream.h"
#include "job/PageData.h"

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace brelmont::job {

// A refusal to open, as the user is shown it: the error domain and its code.
struct DocumentError {
    std::string domain;
    int64_t code = 0;

    std::string describe() const;
};

class Document {
public:
    static constexpr const char* ErrorDomain = "NSOSStatusErrorDomain";
    static constexpr int64_t ErrorUnknownType = -4;
    static constexpr int64_t ErrorNoModel = 259;
    static constexpr const char* TypeKprn = "com.brelmont.kprn";
    static constexpr const char* TypeKdsx = "com.brelmont.kdsx";

    // The type name under which a file of this name opens ("" when no type takes it).
    static std::string typeNameForPath(const std::filesystem::path& path);

    // Decodes the job; pages are filed as they finish. Refuses an unknown type name and a job that
    // names no model. Decoder diagnostics go to `diagnostics`.
    std::optional<DocumentError> readFromData(Bytes data, const std::string& typeName,
                                              const std::filesystem::path& fileURL, std::ostream& diagnostics);

    // Reads a file and decodes it under the type its name gives. A file that cannot be read is
    // reported through `readError` (and yields no DocumentError).
    std::optional<DocumentError> readFromFile(const std::filesystem::path& path, std::ostream& diagnostics,
                                              std::string& readError);

    // Files a finished page by its kind; other kinds are ignored.
    void addPage(const PagePtr& page);

    // Writes the job bytes unchanged to `path` (through a temporary file, so a failed write never
    // leaves a half-written job). Returns an empty string on success, else why it failed.
    std::string writeJobTo(const std::filesystem::path& path) const;

    // Bytes of pages one job may file: small damaged jobs can ask for any number of large pages.
    static constexpr int64_t DefaultPageMemoryLimit = int64_t(4) << 30;
    int64_t pageMemoryLeft() const { return m_pageMemoryLimit - m_pageMemory; }

    int64_t m_pageMemoryLimit = DefaultPageMemoryLimit;
    int64_t m_pageMemory = 0; // bytes of the pages filed

    int64_t m_currentPage = 0;
    std::vector<PagePtr> m_embPages;
    std::vector<PagePtr> m_inkPages;
    std::optional<std::vector<uint8_t>> m_prnData;
    std::filesystem::path m_fileURL;
    int64_t m_printerType = 0;
};

} // namespace brelmont::job
