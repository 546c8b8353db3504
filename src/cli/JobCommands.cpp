#include "cli/JobCommands.h"

#include "cli/ExitCodes.h"
#include "cli/JobSummary.h"
#include "job/Document.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
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

namespace {

bool writeFile(const std::filesystem::path& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(static_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out) std::cerr << "brelmont-cli: cannot write " << path.string() << '\n';
    return bool(out);
}

bool dumpPages(const std::filesystem::path& dir, const char* prefix, const std::vector<job::PagePtr>& pages) {
    for (size_t i = 0; i < pages.size(); ++i)
        if (!writeFile(dir / pageFileName(prefix, i, "bin"), pages[i]->m_bytes, size_t(pages[i]->m_size))) return false;
    return true;
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
    if (!writeFile(dir / "info.json", summary.data(), summary.size()) || !dumpPages(dir, "emboss", doc.m_embPages) ||
        !dumpPages(dir, "ink", doc.m_inkPages))
        return ExitFailed;
    return ExitOk;
}

} // namespace brelmont::cli
