// Where a job's bytes go: to the embosser (standard output, on to the backend), to the companion's
// preview (the job copy and the request file in the shared data folder), or to a file the person
// named. The destination is opened before any page is made, so one that cannot be written fails
// the job before anything leaves.
#pragma once

#include "sharedfolder/SafeFiles.h"

#include <sys/types.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace brelmont::driver {

// What the preview request file tells the companion; the third line is the job's name.
struct PreviewRequest {
    std::string jobId, user, title, queue;
    int64_t model = 0;
};

// The request file's text: five lines, the job's name made safe to be a file name.
std::string previewRequestText(const PreviewRequest& request);
// A job title as a plain file name: its last path component, without line ends or control bytes.
std::string plainJobName(const std::string& title, const std::string& jobId);

class JobDestination {
public:
    virtual ~JobDestination() = default;
    virtual bool write(std::string_view bytes) = 0;
    // After the last byte: empty when all of it arrived, else why not.
    virtual std::string finish() = 0;
    // What the job log says when the job ended well ("Sent to preview", ...); empty for the embosser.
    virtual std::string doneMessage() const { return {}; }

    static std::unique_ptr<JobDestination> toStream(std::FILE* out);
    // The job copy ".preview.kprn" and the request ".preview.lock" in the shared folder.
    static std::unique_ptr<JobDestination> toPreview(const std::filesystem::path& sharedFolder, PreviewRequest request,
                                                     std::string* error);
    // A folder gets NAME.kprn inside it (never over an existing file); any other path is the file
    // itself. Only the shared folder or a folder of the job's owner may hold it, so a job never
    // writes where its owner could not.
    static std::unique_ptr<JobDestination> toFile(const std::string& path, const std::filesystem::path& sharedFolder, uid_t owner,
                                                  const std::string& jobName, std::string* error);
};

} // namespace brelmont::driver
