#include "app/PreviewHandoff.h"

#include "job/JobFile.h"
#include "widgets/Logging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::app {

namespace fs = std::filesystem;

std::vector<std::string> requestLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) lines.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

std::optional<std::string> requestBaseName(std::string_view text) {
    const auto lines = requestLines(text);
    if (lines.size() < 5) return std::nullopt;
    const std::string& name = lines[2];
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

bool isPlainFileName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

bool isUtf8(std::string_view bytes) {
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = uint8_t(bytes[i]);
        size_t more = 0;
        uint32_t cp = 0;
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else return false;
        if (i + more >= bytes.size()) return false;
        for (size_t k = 1; k <= more; ++k) {
            const auto d = uint8_t(bytes[i + k]);
            if ((d & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (d & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += more + 1;
    }
    return true;
}

PreviewHandoff::PreviewHandoff(SharedFolder folder, ShowWarning warn, OpenJob open)
    : m_folder(std::move(folder)),
      m_warn(std::move(warn)),
      m_open(std::move(open)) {}

std::string PreviewHandoff::permissionWarning() const {
    return m_folder.lockFile().string() + " has not the correct permissions!\nPlease remove the file.";
}

void PreviewHandoff::refuse(const std::string& refusal) {
    qCWarning(lcApp, "%s", refusal.c_str());
    if (m_refusalsShown.insert(refusal).second) m_warn(refusal);
}

PreviewHandoff::Tick PreviewHandoff::tick() {
    // Both files exist with mode 0666 after this, whoever made them.
    const sharedfolder::Opened root = m_folder.openRoot();
    if (!root.fd) {
        if (root.link) refuse(root.refusal);
        return root.link ? Tick::Refused : Tick::NoLockFile;
    }
    const sharedfolder::Opened lock = m_folder.openMember(root.fd, SharedFolder::LockName, O_RDWR);
    if (!lock.fd) {
        if (lock.link) refuse(lock.refusal);
        return lock.link ? Tick::Refused : Tick::NoLockFile;
    }
    if (const sharedfolder::Opened job = m_folder.openMember(root.fd, SharedFolder::PreviewJobName, O_RDONLY); job.link)
        refuse(job.refusal);

    struct stat st {};
    if (::fstat(lock.fd.get(), &st) != 0) return Tick::NoLockFile;
    if ((st.st_mode & 07777) != 0666) {
        if (m_permissionWarning) {
            m_permissionWarning = false;
            m_warn(permissionWarning());
        }
        return Tick::WrongPermissions;
    }
    if (st.st_size == 0) return Tick::NoRequest;

    std::string error;
    std::string text = sharedfolder::readAll(lock.fd, &error, MaxRequestBytes);
    // Text that cannot be read, is too long for a request, or is not UTF-8, is an empty request,
    // consumed like any other.
    if (!error.empty()) refuse("The preview request " + m_folder.lockFile().string() + " was not read: " + error + ".");
    if (!error.empty() || !isUtf8(text)) text.clear();

    Tick result = Tick::Consumed;
    if (const auto base = requestBaseName(text)) {
        // A name that is not a plain file name could reach outside the folder; a link planted
        // under the job's name is refused by the copy. Either way the request is consumed.
        const std::string name = *base + ".kprn";
        if (!isPlainFileName(*base)) {
            qCInfo(lcApp, "preview request refused: the job name is not a plain file name");
        } else if (const std::string failed = sharedfolder::copyFile(root.fd, SharedFolder::PreviewJobName, name, 0644,
                                                                     m_folder.root(), job::MaxJobBytes);
                   !failed.empty()) {
            // A planted link is refused with its own words; a job too large or a disk too full is
            // said too, since the preview the person asked for does not come.
            std::error_code ec;
            const bool link = fs::is_symlink(fs::symlink_status(m_folder.root() / name, ec)) ||
                              fs::is_symlink(fs::symlink_status(m_folder.previewJob(), ec));
            refuse(link ? failed : "The preview job was not opened: " + failed + ".");
        } else {
            m_open(m_folder.root() / name);
            result = Tick::Opened;
        }
    }
    if (::ftruncate(lock.fd.get(), 0) != 0) qCWarning(lcApp, "%s could not be emptied", m_folder.lockFile().c_str());
    return result;
}

} // namespace brelmont::app
