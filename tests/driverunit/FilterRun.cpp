#include "FilterRun.h"

#include "driver/ModelProfiles.h"
#include "driver/geometry/CellPlaces.h"
#include "driver/ppd/ModelPpd.h"

#include "ScratchDir.h"

#include <gtest/gtest.h>
#include <liblouis/liblouis.h>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace brelmont::testing {

namespace fs = std::filesystem;

std::string utf8(std::u32string_view text) {
    std::string out;
    for (const char32_t c : text) {
        if (c < 0x80) out += char(c);
        else if (c < 0x800) out += {char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
        else out += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    }
    return out;
}

BrailleLine louis(const std::string& table, std::u32string_view text) {
    if (text.empty()) return {};
    std::vector<widechar> in(text.begin(), text.end()), out(in.size() * 4 + 16);
    int inLength = int(in.size()), outLength = int(out.size());
    EXPECT_TRUE(
        lou_translateString(table.c_str(), in.data(), &inLength, out.data(), &outLength, nullptr, nullptr, ucBrl | dotsIO));
    BrailleLine cells;
    for (int i = 0; i < outLength; ++i) cells.push_back(uint8_t(out[size_t(i)] & 0xFF));
    return cells;
}

int64_t cellsOnLetter(std::string_view spacing) {
    return driver::CellPlaces(driver::physicalSpacing(spacing), 100, 6)
        .cellsWithin(driver::pointsToPositions(576, 100) - driver::pointsToPositions(36, 100));
}

std::string Read::brf() const { return viewer::exportBrf(doc->m_embPages).text; }

std::string Read::order() const {
    std::string text;
    for (const Page& page : pages) {
        std::string brf = viewer::brfPage(page);
        text += page.empty() ? "_" : brf.substr(0, brf.find('\r'));
    }
    return text;
}

Read readJob(const std::string& bytes) {
    Read read;
    std::ostringstream diagnostics;
    if (const auto refused = read.doc->readFromData(std::vector<uint8_t>(bytes.begin(), bytes.end()), job::Document::TypeKprn,
                                                    "driver.kprn", diagnostics))
        ADD_FAILURE() << refused->message() << "\n" << diagnostics.str();
    for (size_t p = 0; p < read.doc->m_embPages.size(); ++p)
        read.pages.push_back(viewer::readBraillePage(*read.doc->m_embPages[p]).lines);
    return read;
}

// The PPD of a model, made once per run.
static std::string ppdOf(const std::string& model) {
    static ScratchDir folder("driver-ppd");
    const fs::path path = folder.path() / (model + ".ppd");
    static const std::vector<driver::BrailleTable> tables = driver::listBrailleTables();
    if (!fs::exists(path))
        std::ofstream(path) << driver::makePpd(driver::modelPpd(*driver::profileByMakeAndModel(model), tables));
    return path;
}

Result run(const Job& j) {
    ScratchDir scratch("driver");
    const fs::path input = scratch.path() / "document";
    std::ofstream(input, std::ios::binary) << j.document;
    const std::string type = !j.contentType.empty() ? j.contentType : j.brf ? "application/vnd.cups-brf" : "text/plain";
    const std::string path = j.brf ? "" : input.string();
    const fs::path shared = j.shared.empty() ? scratch.path() : j.shared;
    const std::string user = ::getpwuid(::geteuid())->pw_name;
    const driver::FilterJob job{"7", user, "Letter to Ann", j.copies, j.options, path, ppdOf(j.model), "embosser", type, shared};
    char *outText = nullptr, *logText = nullptr;
    size_t outSize = 0, logSize = 0;
    std::FILE *in = std::fopen(input.c_str(), "rb"), *out = open_memstream(&outText, &outSize),
              *log = open_memstream(&logText, &logSize);
    Result r;
    r.status = driver::runFilter(job, in, out, log);
    std::fclose(in), std::fclose(out), std::fclose(log);
    r.out.assign(outText, outSize), r.log.assign(logText, logSize);
    std::free(outText), std::free(logText);
    if (r.status == 0 && !r.out.empty()) r.job = readJob(r.out);
    return r;
}

} // namespace brelmont::testing
