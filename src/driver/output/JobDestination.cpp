#include "driver/output/JobDestination.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brelmont::driver {

namespace fs = std::filesystem;
using sharedfolder::Fd;
using sharedfolder::Opened;
using sharedfolder::writeAll;

namespace {

class StreamDestination : public JobDestination {
public:
    explicit StreamDestination(std::FILE* out) : m_out(out) {}
    bool write(std::string_view bytes) override { return std::fwrite(bytes.data(), 1, bytes.size(), m_out) == bytes.size(); }
    std::string finish() override {
        return std::fflush(m_out) == 0 ? "" : std::string("the job could not be handed on: ") + std::strerror(errno);
    }

private:
    std::FILE* m_out;
};

// Bytes into an open file; a failed write is remembered with its reason.
class FileDestination : public JobDestination {
public:
    FileDestination(Fd fd, fs::path path) : m_fd(std::move(fd)), m_path(std::move(path)) {}
    ~FileDestination() override {
        if (!m_finished && !m_keepOnFailure) ::unlink(m_path.c_str());
    }
    bool write(std::string_view bytes) override {
        if (!m_error.empty()) return false;
        if (!writeAll(m_fd.get(), bytes)) m_error = m_path.string() + ": " + std::strerror(errno);
        return m_error.empty();
    }
    std::string finish() override {
        if (m_error.empty() && ::fsync(m_fd.get()) != 0 && errno != EINVAL)
            m_error = m_path.string() + ": " + std::strerror(errno);
        m_finished = m_error.empty();
        return m_error;
    }
    std::string doneMessage() const override { return "Written to " + m_path.string(); }

protected:
    Fd m_fd;
    fs::path m_path;
    std::string m_error;
    bool m_finished = false;
    bool m_keepOnFailure = false;
};

class PreviewDestination : public FileDestination {
public:
    PreviewDestination(Fd folder, Fd job, fs::path root, PreviewRequest request)
        : FileDestination(std::move(job), root / ".preview.kprn"),
          m_folder(std::move(folder)),
          m_root(std::move(root)),
          m_request(std::move(request)) {
        m_keepOnFailure = true; // the companion made the file; it is emptied, not removed
    }
    std::string finish() override {
        if (std::string failed = FileDestination::finish(); !failed.empty()) return failed;
        // The request goes last: the companion opens the job copy only once it is whole.
        const Opened lock = sharedfolder::openPlainFile(m_folder, ".preview.lock", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666,
                                                        m_root / ".preview.lock");
        if (!lock.fd) return lock.refusal;
        sharedfolder::setMode(lock.fd, 0666);
        if (!writeAll(lock.fd.get(), previewRequestText(m_request)))
            return (m_root / ".preview.lock").string() + ": " + std::strerror(errno);
        return {};
    }
    std::string doneMessage() const override { return "Sent to preview"; }

private:
    Fd m_folder;
    fs::path m_root;
    PreviewRequest m_request;
};

} // namespace

std::string plainJobName(const std::string& title, const std::string& jobId) {
    std::string name = title.substr(title.rfind('/') == std::string::npos ? 0 : title.rfind('/') + 1);
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '_';
    if (name.size() > 200) name.resize(200);
    if (name.empty() || name == "." || name == ".." || name.front() == '.') name = "job-" + jobId + (name.empty() ? "" : name);
    return name;
}

std::string previewRequestText(const PreviewRequest& r) {
    const auto line = [](std::string text) {
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        return text.empty() ? std::string("-") : text;
    };
    return line(r.jobId) + "\n" + line(r.user) + "\n" + plainJobName(r.title, r.jobId) + "\n" + line(r.queue) + "\n" +
           std::to_string(r.model) + "\n";
}

std::unique_ptr<JobDestination> JobDestination::toStream(std::FILE* out) { return std::make_unique<StreamDestination>(out); }

std::unique_ptr<JobDestination> JobDestination::toPreview(const fs::path& sharedFolder, PreviewRequest request,
                                                          std::string* error) {
    Opened folder = sharedfolder::openFolder(sharedFolder);
    if (!folder.fd) {
        *error = "the shared folder cannot be used for the preview: " + folder.refusal;
        return nullptr;
    }
    Opened job = sharedfolder::openPlainFile(folder.fd, ".preview.kprn", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666,
                                             sharedFolder / ".preview.kprn");
    if (!job.fd) {
        *error = "the preview cannot be written: " + job.refusal;
        return nullptr;
    }
    sharedfolder::setMode(job.fd, 0666);
    return std::make_unique<PreviewDestination>(std::move(folder.fd), std::move(job.fd), sharedFolder, std::move(request));
}

std::unique_ptr<JobDestination> JobDestination::toFile(const std::string& path, const fs::path& sharedFolder, uid_t owner,
                                                       const std::string& jobName, std::string* error) {
    const fs::path target = fs::path(path).lexically_normal();
    if (!target.is_absolute()) {
        *error = "the output path \"" + path + "\" is not an absolute path";
        return nullptr;
    }
    std::error_code ec;
    const bool folderGiven = fs::is_directory(fs::symlink_status(target, ec));
    const fs::path folderPath = folderGiven ? target : target.parent_path();
    Opened folder = sharedfolder::openFolder(folderPath);
    if (!folder.fd) {
        *error = "the output folder cannot be used: " + folder.refusal;
        return nullptr;
    }
    struct stat st {};
    const bool shared = folderPath == sharedFolder.lexically_normal();
    if (::fstat(folder.fd.get(), &st) != 0 || (!shared && st.st_uid != owner)) {
        *error = "the output folder " + folderPath.string() +
                 " belongs to another user; a job is written only into the shared folder or a folder of its own user";
        return nullptr;
    }
    // Never over a file that is there already when a folder was named: NAME.kprn, NAME-2.kprn, ...
    const std::string base = plainJobName(jobName, "out");
    for (int n = 1; n < 1000; ++n) {
        const std::string name =
            folderGiven ? (n == 1 ? base : base + "-" + std::to_string(n)) + ".kprn" : target.filename().string();
        const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | (folderGiven ? O_EXCL : O_TRUNC);
        Fd fd(::openat(folder.fd.get(), name.c_str(), flags, 0644));
        if (fd) return std::make_unique<FileDestination>(std::move(fd), folderPath / name);
        if (!(folderGiven && errno == EEXIST)) {
            *error = "the output file " + (folderPath / name).string() + " cannot be written: " + std::strerror(errno);
            return nullptr;
        }
    }
    *error = "the output folder " + folderPath.string() + " holds too many jobs of this name";
    return nullptr;
}

} // namespace brelmont::driver
