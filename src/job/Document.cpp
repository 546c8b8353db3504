#include "job/Document.h"

#include "job/TclParser.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
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
    if (typeName != TypeKprn && typeName != TypeKdsx) return DocumentError{ErrorDomain, ErrorUnknownType};
    const TclParser parser(*this, data, diagnostics);
    if (parser.m_printerType == 0) {
        m_embPages.clear();
        m_inkPages.clear();
        m_pageMemory = 0;
        return DocumentError{ErrorDomain, ErrorNoModel};
    }
    m_printerType = parser.m_printerType;
    m_prnData.emplace(data.begin(), data.end());
    m_fileURL = fileURL;
    return std::nullopt;
}

std::optional<DocumentError> Document::readFromFile(const std::filesystem::path& path, std::ostream& diagnostics,
                                                    std::string& readError) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        readError = path.string() + ": " + std::strerror(errno);
        return std::nullopt;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        readError = path.string() + ": read failed";
        return std::nullopt;
    }
    return readFromData(bytes, typeNameForPath(path), std::filesystem::absolute(path), diagnostics);
}

void Document::addPage(const PagePtr& page) {
    if (!page) return;
    if (PageData::isEmbossKind(page->m_kind)) m_embPages.push_back(page);
    else if (PageData::isInkKind(page->m_kind)) m_inkPages.push_back(page);
    else return;
    m_pageMemory += page->m_size;
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

