// Subcommands that decode a job: info and dump.
#pragma once

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

int runInfo(const std::vector<std::string>& args);
int runDump(const std::vector<std::string>& args);

} // namespace brelmont::cli
