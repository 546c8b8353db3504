// Subcommands that decode a job: info and dump, and what render shares with them.
#pragma once

#include "job/PageList.h"

#include <functional>
#include <string>
#include <vector>

namespace brelmont::job {
class Document;
}

namespace brelmont::cli {

// Opens a job as the application would; decoder diagnostics go to standard error so that standard
// output stays machine-readable. Returns an exit status (ExitOk when the document opened).
int openJob(const std::string& path, job::Document& doc);

// The file of page `index`: "emboss-000.bin", "ink-012.png", ...
std::string pageFileName(const char* prefix, size_t index, const char* extension);

// Decodes the pages of a list one at a time, each dropped once `write` has had it: memory holds
// one page, however long the job. What decoding a page finds is printed on standard error. Stops
// at the first page that cannot be made or that `write` fails on (false).
bool forEachPage(const job::PageList& pages, const char* prefix,
                 const std::function<bool(const job::PageData& page, size_t index)>& write);

int runInfo(const std::vector<std::string>& args);
int runDump(const std::vector<std::string>& args);

} // namespace brelmont::cli
