#include "driver/options/MirrorFile.h"

#include "sharedfolder/SafeFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::driver {

MirrorFile readMirrorFile(const std::filesystem::path& sharedFolder, const std::string& queue, uid_t jobOwner) {
    MirrorFile mirror;
    if (queue.empty() || queue.find('/') != std::string::npos || queue.front() == '.') return mirror;
    const std::filesystem::path folderPath = sharedFolder / ".lpoptions";
    const sharedfolder::Opened folder = sharedfolder::openFolder(folderPath);
    if (!folder.fd) return mirror;
    const std::string name = queue + ".lpoptions";
    const sharedfolder::Opened file = sharedfolder::openPlainFile(folder.fd, name, O_RDONLY, 0, folderPath / name);
    if (!file.fd) {
        if (file.link) mirror.note = file.refusal;
        return mirror;
    }
    struct stat st {};
    if (::fstat(file.fd.get(), &st) != 0) return mirror;
    if (st.st_uid != jobOwner && st.st_uid != 0) {
        mirror.note = (folderPath / name).string() + " was written by another user; its options were not used";
        return mirror;
    }
    mirror.text.resize(MirrorFileLimit);
    size_t got = 0;
    while (got < MirrorFileLimit) {
        const ssize_t n = ::read(file.fd.get(), mirror.text.data() + got, MirrorFileLimit - got);
        if (n <= 0) break;
        got += size_t(n);
    }
    mirror.text.resize(got);
    if (got == MirrorFileLimit) mirror.note = (folderPath / name).string() + " is longer than 64 KiB; only its start was read";
    return mirror;
}

} // namespace brelmont::driver
