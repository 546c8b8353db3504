#include "job/Document.h"

#include "job/JobFile.h"
#include "job/TclParser.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

namespace brelmont::job {

std::string DocumentError::describe() const { return "error domain " + domain + ", code " + std::to_string(code); }

std::string Document::typeNameForPath(const std::filesystem::path& path) {
    const std::string ext = path.extension().string();
    if (ext == ".kprn") return TypeKprn;
    if (ext == ".kdsx") return TypeKdsx;
    return {};
}

std::optional<DocumentError> Document::readFromData(Bytes data, const std::string& typeName,
                                                    const std::filesystem::path& fileURL, std::ostream& diagnostics) {
    return open(std::make_shared<const std::vector<uint8_t>>(data.begin(), data.end()), typeName, fileURL, diagnostics);
}

std::optional<DocumentError> Document::readFromFile(const std::filesystem::path& path, std::ostream& diagnostics,
                                                    std::string& readError) {
    auto bytes = std::make_shared<std::vector<uint8_t>>();
    readError = readJobFile(path, *bytes);
    if (!readError.empty()) return std::nullopt;
    return open(std::move(bytes), typeNameForPath(path), std::filesystem::absolute(path), diagnostics);
}

// One pass over the job that makes no page: where each page starts, its kind and size, and what
// the whole job reports. A job that names no model keeps nothing.
std::optional<DocumentError> Document::open(std::shared_ptr<const std::vector<uint8_t>> bytes, const std::string& typeName,
                                            const std::filesystem::path& fileURL, std::ostream& diagnostics) {
    if (typeName != TypeKprn && typeName != TypeKdsx) return DocumentError{ErrorDomain, ErrorUnknownType};
    DecodedJob index = decodeJob(*bytes, TclParser::Pixels::Describe, m_pageLimit);
    for (const Diagnostic& d : index.diagnostics) diagnostics << d.describe() << '\n';
    if (index.printerType == 0) return DocumentError{ErrorDomain, ErrorNoModel};
    m_source = std::make_shared<PageSource>(bytes, m_pageLimit);
    m_embPages = PageList(m_source, index.emboss);
    m_inkPages = PageList(m_source, index.ink);
    m_diagnostics = std::move(index.diagnostics);
    m_printerType = index.printerType;
    m_prnData = std::move(bytes);
    m_fileURL = fileURL;
    return std::nullopt;
}

void Document::addPage(const PagePtr& page) {
    if (!page) return;
    if (PageData::isEmbossKind(page->m_kind)) m_embPages.push_back(page);
    else if (PageData::isInkKind(page->m_kind)) m_inkPages.push_back(page);
}

std::string Document::writeJobTo(const std::filesystem::path& path) const {
    if (!m_prnData) return "no job to save";
    std::filesystem::path temporary = path;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return temporary.string() + ": " + std::strerror(errno);
        out.write(reinterpret_cast<const char*>(m_prnData->data()), std::streamsize(m_prnData->size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(temporary, ignored);
            return path.string() + ": write failed";
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        return path.string() + ": " + ec.message();
    }
    return {};
}

} // namespace brelmont::job

