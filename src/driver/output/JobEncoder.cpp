#include "driver/output/JobEncoder.h"

#include "JobWriter.h"

namespace brelmont::driver {

using testing::HeaderCheck;
using testing::HeaderFields;
using testing::JobWriter;

namespace {

bool writesRows(JobLanguage language) { return language == JobLanguage::PjlModel || language == JobLanguage::Configuration; }

// A PJL value in double quotes: quotes and line ends would end the line or the value early.
std::string pjlQuoted(std::string_view text) {
    std::string out;
    for (const char c : text.substr(0, 80)) out += (c == '"' || c == '\r' || c == '\n' || uint8_t(c) < 0x20) ? '_' : c;
    return "\"" + out + "\"";
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
    case JobLanguage::Configuration: job.embossRaster(raster, width, height); break;
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
