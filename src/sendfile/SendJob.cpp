#include "sendfile/SendJob.h"

#include "printer/PjlHelper.h"
#include "sendfile/SendOperation.h"

#include <algorithm>

namespace brelmont::sendfile {

job::DocumentError noPagesError() { return job::DocumentError{"No such file", 4}; }

bool hasPages(const job::Document& document) {
    return std::max(document.m_embPages.size(), document.m_inkPages.size()) >= 1;
}

std::filesystem::path tempJobPath() {
    const std::filesystem::path dir = printer::PjlHelper::workDir();
    return dir.empty() ? dir : dir / "tempprn";
}

SendJobResult sendJob(const job::Document& document, std::string_view queue) {
    if (!hasPages(document)) return {SendJobStatus::NoPages, noPagesError().describe()};
    if (!document.m_prnData) return {SendJobStatus::NoJobData, "the job holds no data"};
    const std::filesystem::path file = tempJobPath();
    if (file.empty()) return {SendJobStatus::WriteFailed, "no private work folder in the temporary folder"};
    // The write goes through a temporary file and a rename: a failed one leaves no half job, and
    // the previous job's file is never sent in its place.
    if (std::string error = document.writeJobTo(file); !error.empty()) return {SendJobStatus::WriteFailed, error};
    std::string error;
    if (!send(file.string(), queue, &error)) return {SendJobStatus::LaunchFailed, error};
    return {};
}

} // namespace brelmont::sendfile
