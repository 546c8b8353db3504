#include "driver/output/JobEncoder.h"

#include "JobWriter.h"
#include "Pcl3guiWriter.h"

namespace brelmont::driver {

using testing::HeaderCheck;
using testing::HeaderFields;
using testing::JobWriter;
using testing::Pcl3guiWriter;
using testing::Rgb;

namespace {

bool writesRows(JobLanguage language) { return language == JobLanguage::PjlModel || language == JobLanguage::Configuration; }

// A PJL value in double quotes: quotes and line ends would end the line or the value early.
std::string pjlQuoted(std::string_view text) {
    std::string out;
    for (const char c : text.substr(0, 80)) out += (c == '"' || c == '\r' || c == '\n' || uint8_t(c) < 0x20) ? '_' : c;
    return "\"" + out + "\"";
}

// The page as the ink module's PCL3GUI block: rows go at twice the page's resolution, each pixel and
// each row twice.
std::vector<uint8_t> pcl3guiBlock(const InkImage& image) {
    Pcl3guiWriter block(image.width, image.height, image.rgb ? Pcl3guiWriter::Planes::Colour : Pcl3guiWriter::Planes::BlackOnly);
    const size_t pixels = size_t(block.rowPixels());
    std::vector<Rgb> colour(image.rgb ? pixels : 0);
    std::vector<uint8_t> black(image.rgb ? 0 : (pixels + 7) / 8);
    for (int64_t y = 0; y < image.height; ++y) {
        if (image.rgb) {
            const uint8_t* row = image.pixels.data() + y * image.width * 3;
            for (size_t x = 0; x < pixels; ++x) colour[x] = {row[x / 2 * 3], row[x / 2 * 3 + 1], row[x / 2 * 3 + 2]};
            block.colourRow(colour.data()).colourRow(colour.data());
        } else {
            const uint8_t* row = image.pixels.data() + y * image.width;
            std::fill(black.begin(), black.end(), 0);
            for (size_t x = 0; x < pixels; ++x)
                if (row[x / 2]) black[x / 8] |= uint8_t(0x80 >> (x % 8));
            block.blackPlane(black).blackPlane(black);
        }
    }
    return block.finish();
}

// The page as the job language's own RGB raster: red and green planes, then the blue row.
void rgbRaster(JobWriter& job, const InkImage& image) {
    job.unit(image.dpi).rasterSize(image.width, image.height).startRaster(3);
    testing::ByteVector planes[3];
    for (auto& plane : planes) plane.resize(size_t(image.width));
    for (int64_t y = 0; y < image.height; ++y) {
        for (int64_t x = 0; x < image.width; ++x) {
            if (image.rgb) {
                const uint8_t* p = image.pixels.data() + (y * image.width + x) * 3;
                for (int c = 0; c < 3; ++c) planes[c][size_t(x)] = p[c];
            } else {
                const uint8_t v = image.pixels[size_t(y * image.width + x)] ? 0 : 0xFF;
                for (auto& plane : planes) plane[size_t(x)] = v;
            }
        }
        job.plane(planes[0]).plane(planes[1]).row(planes[2]);
    }
    job.endRaster();
}

} // namespace

uint8_t dotLevel(int brailleForce) { return brailleForce <= 0 ? 3 : brailleForce == 1 ? 5 : 7; }

JobEncoder::JobEncoder(const ModelProfile& profile, JobSettings settings, Write write)
    : m_profile(profile),
      m_settings(std::move(settings)),
      m_write(std::move(write)) {}

bool JobEncoder::put(const std::vector<uint8_t>& bytes) {
    return m_write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool JobEncoder::begin() {
    JobWriter job;
    std::string jobLine = "@PJL JOB NAME=" + pjlQuoted(m_settings.name);
    if (m_profile.language == JobLanguage::PjlModel) jobLine += " MODEL=\"" + std::string(m_profile.naming) + "\"";
    job.universalExit().pjl(jobLine);
    if (m_settings.printMode >= 0) job.pjl("@PJL SET PRINTMODE=" + std::to_string(m_settings.printMode));
    if (writesRows(m_profile.language)) {
        job.pjl("@PJL ENTER LANGUAGE=TCL")
            .text(
                "\x1b"
                "E");
        if (m_profile.language == JobLanguage::Configuration) job.configurationText(m_profile.naming);
        job.command('&', 'l', m_settings.brailleForce, 'P')
            .command('*', 'o', m_settings.embossQuality, 'M')
            .command('&', 'l', m_settings.interpoint ? 1 : 0, 'S')
            .unit(positionsPerInch(m_profile));
    }
    return put(job.data());
}

bool JobEncoder::page(const std::vector<uint8_t>& raster, int64_t width, int64_t height) {
    if (m_pages == 0 && !begin()) return false;
    JobWriter job;
    switch (m_profile.language) {
    case JobLanguage::PjlModel:
    case JobLanguage::Configuration:
        if (m_unitChanged) job.unit(positionsPerInch(m_profile));
        m_unitChanged = false;
        job.embossRaster(raster, width, height);
        break;
    case JobLanguage::MarkedBlock:
    case JobLanguage::SummedBlock3:
    case JobLanguage::SummedBlock4: {
        // Bits 0-1 of the header's force byte: 2 medium, 3 high, anything else low.
        HeaderFields fields;
        fields.force = uint8_t(m_settings.brailleForce == 2 ? 3 : m_settings.brailleForce == 1 ? 2 : 0);
        const HeaderCheck check = m_profile.language == JobLanguage::MarkedBlock    ? HeaderCheck::Marked
                                  : m_profile.language == JobLanguage::SummedBlock3 ? HeaderCheck::Sum3
                                                                                    : HeaderCheck::Sum4;
        job.embossBlock(raster, width, height, check, fields);
        break;
    }
    }
    if (!put(job.data())) return false;
    ++m_pages;
    return true;
}

bool JobEncoder::inkPage(const InkImage& image) {
    if (m_pages == 0 && !begin()) return false;
    JobWriter job;
    switch (m_profile.ink) {
    case InkForm::None: return false;
    case InkForm::Pcl3gui: job.pcl3guiBlock(pcl3guiBlock(image), {.flags = 3}); break; // flags: the dry time
    case InkForm::Rows:
        job.command('*', 'r', m_settings.inkQuality == 2 ? 2 : 1, 'Q');
        rgbRaster(job, image);
        m_unitChanged = true;
        break;
    case InkForm::OneBit: job.inkBlock(image.pixels, image.width, image.height, HeaderCheck::Sum4); break;
    }
    if (!put(job.data())) return false;
    ++m_pages;
    return true;
}

bool JobEncoder::finish() {
    if (m_pages == 0) return true;
    JobWriter job;
    if (writesRows(m_profile.language))
        job.text(
            "\x1b"
            "E");
    job.universalExit().pjl("@PJL EOJ");
    return put(job.data());
}

} // namespace brelmont::driver
