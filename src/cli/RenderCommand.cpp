#include "cli/RenderCommand.h"

#include "cli/ExitCodes.h"
#include "cli/JobCommands.h"
#include "cli/OutputFile.h"
#include "job/Document.h"
#include "viewer/braille/BrailleText.h"

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
            std::cerr << "brelmont-cli: cannot make the picture " << path.string() << ": " << writer.errorString().toStdString() << '\n';
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

} // namespace

int runRender(const std::vector<std::string>& args) {
    const bool text = !args.empty() && args[0] == "--text";
    if (args.size() != (text ? 3u : 2u)) {
        std::cerr << "usage: brelmont-cli render [--text] JOB OUTDIR\n";
        return ExitRefused;
    }
#ifndef BRELMONT_HAVE_RENDERING
    if (!text) {
        std::cerr << "brelmont-cli: render: this build has no page pictures (built without Qt); --text works\n";
        return ExitFailed;
    }
#endif
    job::Document doc;
    if (const int status = openJob(args[text ? 1 : 0], doc); status != ExitOk) return status;
    const std::filesystem::path dir = args[text ? 2 : 1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        std::cerr << "brelmont-cli: cannot create " << dir.string() << ": " << ec.message() << '\n';
        return ExitFailed;
    }
    if (text) return writeBrailleText(dir, doc.m_embPages) ? ExitOk : ExitFailed;
#ifdef BRELMONT_HAVE_RENDERING
    if (!renderPages(dir, "emboss", doc.m_embPages) || !renderPages(dir, "ink", doc.m_inkPages)) return ExitFailed;
#endif
    return ExitOk;
}

} // namespace brelmont::cli
