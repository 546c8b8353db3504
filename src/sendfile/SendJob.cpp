#include "sendfile/SendJob.h"

#include "printer/WorkFile.h"

#include <algorithm>

namespace brelmont::sendfile {

job::DocumentError noPagesError() { return job::DocumentError{"No such file", 4, {}}; }

bool hasPages(const job::Document& document) { return std::max(document.m_embPages.size(), document.m_inkPages.size()) >= 1; }

SendJobResult sendJob(const job::Document& document, std::string_view queue, const printer::SharedStop& stop) {
    if (!hasPages(document)) return {SendJobStatus::NoPages, noPagesError().describe()};
    if (!document.m_prnData) return {SendJobStatus::NoJobData, "the job holds no data"};
    const printer::WorkFile file("tempprn", document.m_prnData->data(), document.m_prnData->size());
    if (!file.error().empty()) return {SendJobStatus::WriteFailed, file.error()};
    const SendOutcome sent = send(file.path().string(), queue, std::chrono::minutes(2), stop);
    if (!sent.queued()) return {SendJobStatus::SendFailed, sent.detail};
    return {SendJobStatus::Sent, {}};
}

} // namespace brelmont::sendfile
