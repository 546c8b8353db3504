#include "cli/RenderCommand.h"

#include "cli/ExitCodes.h"
#include "cli/JobCommands.h"
#include "cli/OutputFile.h"
#include "job/Document.h"
#include "viewer/braille/BrailleText.h"
#include "viewer/braille/BrfExport.h"

#ifdef BRELMONT_HAVE_RENDERING
#include "viewer/rendering/PageRendering.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#endif

#include <filesystem>
#include <iostream>

namespace brelmont::cli {

namespace {

#ifdef BRELMONT_HAVE_RENDERING
// Writes prefix-NNN.png for each page (kind 4 pages at their pixel size) and names each file on
// standard output. A page that gives no picture (zero width or height) is skipped with a note.
// The picture is made in memory first, so that the file is written by one checked write.
bool renderPages(const std::filesystem::path& dir, const char* prefix, const job::PageList& pages) {
    return forEachPage(pages, prefix, [&](const job::PageData& page, size_t i) {
        const std::string name = pageFileName(prefix, i, "png");
        const std::filesystem::path path = dir / name;
        QImage image = viewer::pageImage(page);
        if (image.isNull()) {
            std::cerr << "brelmont-cli: " << prefix << " page " << i << " gives no picture; " << name << " not written\n";
            return true;
        }
        // Dot pictures are opaque: storing them without alpha keeps the files small.
        if (image.format() == QImage::Format_ARGB32_Premultiplied) image = image.convertToFormat(QImage::Format_RGB32);
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "png");
        if (!writer.write(image)) {
            std::cerr << "brelmont-cli: cannot make the picture " << path.string() << ": " << writer.errorString().toStdString()
                      << '\n';
            return false;
        }
        if (!writeOutputFile(path, png.constData(), size_t(png.size()))) return false;
        std::cout << path.string() << '\n';
        return true;
    });
}
#endif

// Writes emboss-NNN.txt, each emboss page as braille text.
bool writeBrailleText(const std::filesystem::path& dir, const job::PageList& pages) {
    return forEachPage(pages, "emboss", [&](const job::PageData& page, size_t i) {
        const std::filesystem::path path = dir / pageFileName("emboss", i, "txt");
        const std::string text = viewer::brailleText(page);
        if (!writeOutputFile(path, text.data(), text.size())) return false;
        std::cout << path.string() << '\n';
        return true;
    });
}

// Writes NAME.brf, the 6-dot pages of the job; the pages left out are named on standard error.
// A job none of whose pages BRF can hold gives no file.
bool writeBrf(const std::filesystem::path& dir, const std::string& jobPath, const job::PageList& pages) {
    const viewer::BrfExport brf = viewer::exportBrf(pages);
    if (!brf.failure.empty()) {
        std::cerr << "brelmont-cli: render: " << brf.failure << '\n';
        return false;
    }
    for (const std::string& sentence : brf.leftOut) std::cerr << "brelmont-cli: " << sentence << '\n';
    if (brf.pagesWritten == 0) {
        std::cerr << "brelmont-cli: render: no page of the job is 6-dot braille; no BRF written\n";
        return false;
    }
    const std::filesystem::path path = dir / std::filesystem::path(jobPath).stem().concat(".brf");
    if (!writeOutputFile(path, brf.text.data(), brf.text.size())) return false;
    std::cout << path.string() << '\n';
    return true;
}

} // namespace

int runRender(const std::vector<std::string>& args) {
    const std::string form = !args.empty() && (args[0] == "--text" || args[0] == "--brf") ? args[0] : "";
    const size_t first = form.empty() ? 0 : 1;
    if (args.size() != first + 2) {
        std::cerr << "usage: brelmont-cli render [--text | --brf] JOB OUTDIR\n";
        return ExitRefused;
    }
#ifndef BRELMONT_HAVE_RENDERING
    if (form.empty()) {
        std::cerr << "brelmont-cli: render: this build has no page pictures (built without Qt); --text and --brf work\n";
        return ExitFailed;
    }
#endif
    job::Document doc;
    if (const int status = openJob(args[first], doc); status != ExitOk) return status;
    const std::filesystem::path dir = args[first + 1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "brelmont-cli: cannot create " << dir.string() << ": " << ec.message() << '\n';
        return ExitFailed;
    }
    if (form == "--text") return writeBrailleText(dir, doc.m_embPages) ? ExitOk : ExitFailed;
    if (form == "--brf") return writeBrf(dir, args[first], doc.m_embPages) ? ExitOk : ExitFailed;
#ifdef BRELMONT_HAVE_RENDERING
    if (!renderPages(dir, "emboss", doc.m_embPages) || !renderPages(dir, "ink", doc.m_inkPages)) return ExitFailed;
#endif
    return ExitOk;
}

} // namespace brelmont::cli
