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

#include <pwd.h>

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

// Hands the selected pages to the encoder, sheet by sheet: the copies, collated or not, and for
// interpoint the back pages half a line lower and a blank back where a copy ends on a front.
class PageEmitter {
public:
    PageEmitter(JobEncoder& encoder, const PageFrame& frame, bool interpoint, int copies, bool collate, std::FILE* log)
        : m_encoder(encoder),
          m_frame(frame),
          m_interpoint(interpoint),
          m_copies(copies),
          m_collate(collate),
          m_log(log) {}

    // Collated copies each run the document through add(); uncollated ones repeat each sheet.
    int passes() const { return m_collate ? m_copies : 1; }

    bool add(const ComposedPage& page) {
        if (m_collate || m_copies == 1) return emit(page);
        if (!m_interpoint) {
            for (int c = 0; c < m_copies; ++c)
                if (!emit(page)) return false;
            return true;
        }
        if (!m_front) {
            m_front = page;
            return true;
        }
        for (int c = 0; c < m_copies; ++c)
            if (!emit(*m_front) || !emit(page)) return false;
        m_front.reset();
        return true;
    }

    // The end of one pass over the document.
    bool endPass(bool last) {
        if (m_front) {
            for (int c = 0; c < m_copies; ++c)
                if (!emit(*m_front) || (c + 1 < m_copies && !emit(ComposedPage{}))) return false;
            m_front.reset();
        }
        if (m_interpoint && m_onBack && !last && !emit(ComposedPage{})) return false;
        return true;
    }

private:
    bool emit(const ComposedPage& page) {
        const int64_t shift = m_interpoint && m_onBack ? interpointShift(m_frame) : 0;
        if (!m_encoder.page(rasterOf(page, m_frame, shift), m_frame.width, m_frame.height)) return false;
        std::fprintf(m_log, "PAGE: %lld 1\n", static_cast<long long>(m_encoder.pagesWritten()));
        if (m_interpoint) m_onBack = !m_onBack;
        return true;
    }

    JobEncoder& m_encoder;
    const PageFrame& m_frame;
    bool m_interpoint;
    int m_copies;
    bool m_collate;
    std::FILE* m_log;
    bool m_onBack = false;
    std::optional<ComposedPage> m_front;
};

int fail(std::FILE* log, const std::string& message) {
    std::fprintf(log, "ERROR: %s\n", message.c_str());
    return 1;
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

    const bool brf = job.contentType.find("brf") != std::string::npos;
    if (!brf && job.contentType.rfind("text/plain", 0) != 0)
        return fail(log, "documents of type " + job.contentType + " cannot be embossed by this filter");
    File input = seekableInput(job, in, &error);
    if (!input) return fail(log, error);
    if (const InputProblem problem = brf ? checkBrf(input.get()) : checkText(input.get()))
        return fail(log,
                    problem.line > 0 && !brf ? "line " + std::to_string(problem.line) + ": " + problem.message : problem.message);

    std::unique_ptr<Translator> translator;
    if (!brf && !(translator = Translator::open(settings->table, &error))) return fail(log, error);
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

    JobEncoder encoder(*settings->profile, {job.title, settings->brailleForce, settings->embossQuality, settings->interpoint},
                       [&](std::string_view bytes) { return destination->write(bytes); });
    PageEmitter emitter(encoder, frame, settings->interpoint, std::max(1, job.copies), settings->collate, log);
    bool written = true;
    try {
        for (int pass = 0; pass < emitter.passes() && written; ++pass) {
            std::rewind(input.get());
            PageComposer composer(
                shape,
                [&](ComposedPage&& page) {
                    if (written && inRanges(*ranges, page.number)) written = emitter.add(page);
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
