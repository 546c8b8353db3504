#include "cli/JobCommands.h"

#include "cli/ExitCodes.h"
#include "cli/JobSummary.h"
#include "cli/OutputFile.h"
#include "job/Document.h"

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace brelmont::cli {

int openJob(const std::string& path, job::Document& doc) {
    std::string readError;
    const auto refusal = doc.readFromFile(path, std::cerr, readError);
    if (!readError.empty()) {
        std::cerr << "brelmont-cli: cannot read job: " << readError << '\n';
        return ExitFailed;
    }
    if (refusal) {
        std::cerr << "brelmont-cli: " << path << ": job refused (" << refusal->describe() << ")\n";
        return ExitRefused;
    }
    return ExitOk;
}

std::string pageFileName(const char* prefix, size_t index, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%03zu.%s", prefix, index, extension);
    return name;
}

bool forEachPage(const job::PageList& pages, const char* prefix,
                 const std::function<bool(const job::PageData& page, size_t index)>& write) {
    for (size_t i = 0; i < pages.size(); ++i) {
        const job::DecodedPage decoded = pages.decodeUncached(i);
        for (const job::Diagnostic& note : decoded.notes) std::cerr << prefix << " page " << i << ": " << note.describe() << '\n';
        if (!decoded.page) {
            std::cerr << "brelmont-cli: " << prefix << " page " << i << " could not be made\n";
            return false;
        }
        if (!write(*decoded.page, i)) return false;
    }
    return true;
}

namespace {

bool dumpPages(const std::filesystem::path& dir, const char* prefix, const job::PageList& pages) {
    return forEachPage(pages, prefix, [&](const job::PageData& page, size_t i) {
        return writeOutputFile(dir / pageFileName(prefix, i, "bin"), page.m_bytes, size_t(page.m_size));
    });
}

} // namespace

int runInfo(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        std::cerr << "usage: brelmont-cli info JOB\n";
        return ExitRefused;
    }
    job::Document doc;
    if (const int status = openJob(args[0], doc); status != ExitOk) return status;
    std::cout << jobSummaryJson(doc) << '\n';
    return ExitOk;
}

int runDump(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "usage: brelmont-cli dump JOB OUTDIR\n";
        return ExitRefused;
    }
    job::Document doc;
    if (const int status = openJob(args[0], doc); status != ExitOk) return status;
    const std::filesystem::path dir = args[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "brelmont-cli: cannot create " << dir.string() << ": " << ec.message() << '\n';
        return ExitFailed;
    }
    const std::string summary = jobSummaryJson(doc) + "\n";
    if (!writeOutputFile(dir / "info.json", summary.data(), summary.size()) || !dumpPages(dir, "emboss", doc.m_embPages) ||
        !dumpPages(dir, "ink", doc.m_inkPages))
        return ExitFailed;
    return ExitOk;
}

} // namespace brelmont::cli
