#include "cli/RenderCommand.h"

#include "cli/ExitCodes.h"
#include "cli/JobCommands.h"
#include "job/Document.h"
#include "viewer/braille/BrailleText.h"

#ifdef BRELMONT_HAVE_RENDERING
#include "viewer/rendering/PageRendering.h"

#include <QImage>
#include <QImageWriter>
#endif

#include <filesystem>
#include <fstream>
#include <iostream>

namespace brelmont::cli {

namespace {

#ifdef BRELMONT_HAVE_RENDERING
// Writes prefix-NNN.png for each page (kind 4 pages at their pixel size) and names each file on
// standard output. A page that gives no picture (zero width or height) is skipped with a note.
bool renderPages(const std::filesystem::path& dir, const char* prefix, const std::vector<job::PagePtr>& pages) {
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string name = pageFileName(prefix, i, "png");
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
#endif

// Writes emboss-NNN.txt, each emboss page as braille text.
bool writeBrailleText(const std::filesystem::path& dir, const std::vector<job::PagePtr>& pages) {
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::filesystem::path path = dir / pageFileName("emboss", i, "txt");
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << viewer::brailleText(*pages[i]);
        out.close();
        if (!out) {
            std::cerr << "brelmont-cli: cannot write " << path.string() << '\n';
            return false;
        }
        std::cout << path.string() << '\n';
    }
    return true;
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
