#include "driver/Filter.h"

#include "driver/braille/Translator.h"
#include "driver/input/BrfInput.h"
#include "driver/input/TextInput.h"
#include "driver/layout/PageComposer.h"
#include "driver/layout/PageRaster.h"
#include "driver/options/DriverSettings.h"
#include "driver/options/MirrorFile.h"
#include "driver/output/JobDestination.h"
#include "driver/output/JobEncoder.h"
#include "driver/output/SheetEmitter.h"
#include "driver/pdf/PatternFile.h"
#include "driver/pdf/PdfDocument.h"
#include "driver/pdf/PrintPage.h"

#include <pwd.h>

#include <cstring>
#include <memory>
#include <optional>
#include <stdexcept>

namespace brelmont::driver {

namespace {

struct FileClose {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

uid_t uidOf(const std::string& user) {
    const passwd* pw = ::getpwnam(user.c_str());
    return pw ? pw->pw_uid : uid_t(-1);
}

// The document as a file that can be read more than once (checked, then laid out once per copy):
// standard input is spooled to a temporary file first, so memory stays flat.
File seekableInput(const FilterJob& job, std::FILE* in, std::string* error) {
    if (!job.inputPath.empty()) {
        File file(std::fopen(job.inputPath.c_str(), "rb"));
        if (!file) *error = "the document " + job.inputPath + " cannot be read";
        return file;
    }
    File spool(std::tmpfile());
    if (!spool) {
        *error = "no temporary file for the document";
        return spool;
    }
    char buffer[65536];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;)
        if (std::fwrite(buffer, 1, n, spool.get()) != n) {
            *error = "the document could not be spooled (is the disk full?)";
            return nullptr;
        }
    // Read back from its start; the last buffered bytes fail here when the disk is full.
    if (std::fflush(spool.get()) != 0) {
        *error = "the document could not be spooled (is the disk full?)";
        return nullptr;
    }
    std::rewind(spool.get());
    return spool;
}

// The number of a braille page in cells: the table's own number sign and digits for text, the
// ASCII braille number sign and letters a to j for braille files.
Cells brfNumber(int64_t n) {
    Cells cells{*brfCell('#')};
    for (const char digit : std::to_string(n)) cells.push_back(*brfCell(static_cast<unsigned char>("JABCDEFGHI"[digit - '0'])));
    return cells;
}

int fail(std::FILE* log, const std::string& message) {
    std::fprintf(log, "ERROR: %s\n", message.c_str());
    return 1;
}

enum class DocumentKind { Text, Brf, Pdf };

// CONTENT_TYPE names the job's document, not this filter's input: a picture or an office document
// reaches the filter as the PDF the printing system made of it.
std::optional<DocumentKind> documentKind(const std::string& contentType, std::FILE* input) {
    if (contentType.find("brf") != std::string::npos) return DocumentKind::Brf;
    if (contentType.rfind("text/plain", 0) == 0) return DocumentKind::Text;
    char magic[5] = {};
    const bool pdf = std::fread(magic, 1, sizeof magic, input) == sizeof magic && std::memcmp(magic, "%PDF-", 5) == 0;
    std::rewind(input);
    if (pdf || contentType == "application/pdf" || contentType == "application/vnd.cups-pdf") return DocumentKind::Pdf;
    return std::nullopt;
}

// The document's path for readers that open it by name: the spool file of standard input has none
// but its descriptor's.
std::string pathOf(const FilterJob& job, std::FILE* input) {
    return job.inputPath.empty() ? "/proc/self/fd/" + std::to_string(fileno(input)) : job.inputPath;
}

} // namespace

int runFilter(const FilterJob& job, std::FILE* in, std::FILE* out, std::FILE* log) {
    // Everything that can refuse the job is settled before the first page leaves.
    const uid_t owner = uidOf(job.user);
    const MirrorFile mirror = readMirrorFile(job.sharedFolder, job.queue, owner);
    if (!mirror.note.empty()) std::fprintf(log, "WARNING: %s\n", mirror.note.c_str());
    std::string error;
    const std::optional<DriverSettings> settings = readDriverSettings(job.ppdPath, mirror.text, job.options, &error);
    if (!settings) return fail(log, error);

    File input = seekableInput(job, in, &error);
    if (!input) return fail(log, error);
    const std::optional<DocumentKind> kind = documentKind(job.contentType, input.get());
    if (!kind) return fail(log, "documents of type " + job.contentType + " cannot be embossed by this filter");
    const bool brf = kind == DocumentKind::Brf, pdf = kind == DocumentKind::Pdf;
    std::unique_ptr<PdfDocument> document;
    if (pdf) {
        if (!(document = PdfDocument::open(pathOf(job, input.get()), &error))) return fail(log, error);
    } else if (const InputProblem problem = brf ? checkBrf(input.get()) : checkText(input.get())) {
        return fail(log,
                    problem.line > 0 && !brf ? "line " + std::to_string(problem.line) + ": " + problem.message : problem.message);
    }

    std::unique_ptr<Translator> translator;
    if ((kind == DocumentKind::Text || (pdf && settings->standardText)) &&
        !(translator = Translator::open(settings->table, &error)))
        return fail(log, error);
    std::optional<PatternSet> patterns;
    if (pdf && !settings->patternFile.empty() &&
        !(patterns = readPatternFile(settings->patternFile, job.sharedFolder / "Patterns", &error)))
        return fail(log, error);
    const auto ranges = parsePageRanges(settings->pageRanges);
    if (!ranges) return fail(log, "page-ranges \"" + settings->pageRanges + "\" is not a list of pages such as 1-3,5");

    const int64_t ppi = positionsPerInch(*settings->profile);
    const double height = settings->paperHeight;
    PageFrame frame{pointsToPositions(settings->paperWidth, ppi),
                    pointsToPositions(height, ppi),
                    pointsToPositions(settings->left, ppi),
                    pointsToPositions(height - settings->top, ppi),
                    pointsToPositions(settings->right, ppi),
                    pointsToPositions(height - settings->bottom, ppi),
                    CellPlaces(physicalSpacing(settings->spacing), ppi, translator ? translator->dots() : 6),
                    dotLevel(settings->brailleForce)};
    const auto numberCells = [&](int64_t n) -> Cells {
        if (!translator) return brfNumber(n);
        std::u32string digits;
        for (const char c : std::to_string(n)) digits += char32_t(c);
        return translator->translate(digits);
    };
    const PageShape shape{frame.cellsPerLine(), frame.linesPerPage(settings->interpoint ? interpointShift(frame) : 0),
                          settings->pageNumbers == PageNumbering::On || (settings->pageNumbers == PageNumbering::ForText && !brf),
                          numberCells};
    if (shape.cellsPerLine < 3 || shape.linesPerPage < 1)
        return fail(log, "the paper size leaves no room for braille in the spacing " + settings->spacing);

    std::unique_ptr<JobDestination> destination;
    if (settings->preview)
        destination = JobDestination::toPreview(job.sharedFolder,
                                                {job.jobId, job.user, job.title, job.queue, settings->profile->code}, &error);
    else if (!settings->outputPath.empty())
        destination = JobDestination::toFile(settings->outputPath, job.sharedFolder, owner, job.title, &error);
    else destination = JobDestination::toStream(out);
    if (!destination) return fail(log, error);

    const bool withInk = pdf && settings->profile->ink != InkForm::None && settings->printMode != PrintMode::EmbossOnly;
    JobEncoder encoder(*settings->profile,
                       {job.title, settings->brailleForce, settings->embossQuality, settings->interpoint,
                        withInk ? int(settings->printMode) : -1, settings->inkQuality},
                       [&](std::string_view bytes) { return destination->write(bytes); });
    SheetEmitter emitter(encoder, frame, settings->interpoint, std::max(1, job.copies), settings->collate, log);
    const PrintLayout layout{*settings, frame, translator.get(), patterns ? &*patterns : nullptr};
    bool written = true;
    try {
        for (int pass = 0; pass < emitter.passes() && written; ++pass) {
            if (pdf) {
                for (int i = 0; i < document->pages() && written; ++i)
                    if (inRanges(*ranges, i + 1))
                        written = printPageSheets(*document, i, layout, [&](Sheet&& sheet) { return emitter.add(sheet); });
                written = written && emitter.endPass(pass + 1 == emitter.passes());
                continue;
            }
            std::rewind(input.get());
            PageComposer composer(
                shape,
                [&](ComposedPage&& page) {
                    if (written && inRanges(*ranges, page.number))
                        written = emitter.add(Sheet{std::move(page), {}, nullptr, true});
                },
                [&](const std::string& warning) {
                    if (pass == 0) std::fprintf(log, "WARNING: %s\n", warning.c_str());
                });
            const BlockSink sink = [&](Block&& block) { composer.add(std::move(block)); };
            if (brf) readBrf(input.get(), sink);
            else readText(input.get(), *translator, sink);
            composer.finish();
            written = written && emitter.endPass(pass + 1 == emitter.passes());
        }
    } catch (const std::runtime_error& e) { return fail(log, e.what()); }
    if (!written) return fail(log, "the job could not be written: " + destination->finish());
    if (encoder.pagesWritten() == 0)
        return fail(log, "nothing to emboss: page-ranges " + settings->pageRanges + " selects none of the pages");
    if (!encoder.finish()) return fail(log, "the job could not be written: " + destination->finish());
    if (const std::string failed = destination->finish(); !failed.empty()) return fail(log, failed);
    if (const std::string done = destination->doneMessage(); !done.empty()) std::fprintf(log, "INFO: %s\n", done.c_str());
    return 0;
}

} // namespace brelmont::driver
