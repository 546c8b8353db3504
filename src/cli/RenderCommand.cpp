#include "cli/RenderCommand.h"

#include "cli/ExitCodes.h"
#include "cli/JobCommands.h"
#include "job/Document.h"
#include "viewer/rendering/PageRendering.h"

#include <QImage>
#include <QImageWriter>

#include <cstdio>
#include <filesystem>
#include <iostream>

namespace brelmont::cli {

namespace {

// Writes prefix-NNN.png for each page (kind 4 pages at their pixel size) and names each file on
// standard output. A page that gives no picture (zero width or height) is skipped with a note.
bool renderPages(const std::filesystem::path& dir, const char* prefix, const std::vector<job::PagePtr>& pages) {
    for (size_t i = 0; i < pages.size(); ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s-%03zu.png", prefix, i);
        const std::filesystem::path path = dir / name;
        QImage image = viewer::pageImage(*pages[i]);
        if (image.isNull()) {
            std::cerr << "brelmont-cli: " << prefix << " page " << i << " gives no picture; " << name << " not written\n";
            continue;
        }
        // Dot pictures are opaque: storing them without alpha keeps the files small.
        if (image.format() == QImage::Format_ARGB32_Premultiplied) image = image.convertToFormat(QImage::Format_RGB32);
        QImageWriter writer(QString::fromStdString(path.string()), "png");
        if (!writer.write(image)) {
            std::cerr << "brelmont-cli: cannot write " << path.string() << ": " << writer.errorString().toStdString()
                      << '\n';
            return false;
        }
        std::cout << path.string() << '\n';
    }
    return true;
}

} // namespace

int runRender(const std::vector<std::string>& args) {
    if (args.size() != 2) {
        std::cerr << "usage: brelmont-cli render JOB OUTDIR\n";
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
    if (!renderPages(dir, "emboss", doc.m_embPages) || !renderPages(dir, "ink", doc.m_inkPages)) return ExitFailed;
    return ExitOk;
}

} // namespace brelmont::cli
