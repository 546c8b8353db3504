#include "job/Document.h"

#include "job/JobFile.h"
#include "job/ReplaceFile.h"
#include "job/TclParser.h"

#include <algorithm>
#include <string_view>

namespace brelmont::job {

std::string DocumentError::describe() const { return "error domain " + domain + ", code " + std::to_string(code); }

std::string DocumentError::message() const { return reason.empty() ? describe() : reason + " (" + describe() + ")"; }

namespace {

// Jobs start with an escape sequence (the universal exit, a reset, a raster command) or a PJL
// line; anything else that names no model is some other kind of file.
bool startsLikeAJob(const std::vector<uint8_t>& bytes) {
    static constexpr std::string_view Pjl = "@PJL";
    if (!bytes.empty() && bytes[0] == 0x1B) return true;
    return bytes.size() >= Pjl.size() && std::equal(Pjl.begin(), Pjl.end(), bytes.begin());
}

} // namespace

std::string Document::typeNameForPath(const std::filesystem::path& path) {
    const std::string ext = path.extension().string();
    if (ext == ".kprn") return TypeKprn;
    if (ext == ".kdsx") return TypeKdsx;
    return {};
}

std::optional<DocumentError> Document::readFromData(Bytes data, const std::string& typeName, const std::filesystem::path& fileURL,
                                                    std::ostream& diagnostics) {
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
    if (typeName != TypeKprn && typeName != TypeKdsx) return DocumentError{ErrorDomain, ErrorUnknownType, NotAJobReason};
    DecodedJob index = decodeJob(*bytes, TclParser::Pixels::Describe, m_pageLimit);
    for (const Diagnostic& d : index.diagnostics) diagnostics << d.describe() << '\n';
    if (index.printerType == 0)
        return DocumentError{ErrorDomain, ErrorNoModel, startsLikeAJob(*bytes) ? NoModelReason : NotAJobReason};
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
    return replaceFile(path, m_prnData->data(), m_prnData->size());
}

} // namespace brelmont::job
