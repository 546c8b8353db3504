// Writes seed inputs for the fuzz targets, made by the job writer: small jobs of every form.
#include "BrailleLayouts.h"
#include "JobWriter.h"
#include "Pcl3guiWriter.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace brelmont::testing;

namespace {

void write(const fs::path& dir, const std::string& name, const ByteVector& bytes) {
    fs::create_directories(dir);
    std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

ByteVector smallPcl3gui(Pcl3guiWriter::Planes planes) {
    Pcl3guiWriter w(12, 4, planes);
    std::vector<Rgb> row(24);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 24; ++x)
            row[size_t(x)] = x % (y + 2) ? Rgb{uint8_t(20 * x), uint8_t(10 * y), 60} : Rgb{200, 30, uint8_t(x * 2)};
        w.blackPlane({uint8_t(0x81 << (y % 4)), 0, uint8_t(y)});
        if (planes != Pcl3guiWriter::Planes::BlackOnly)
            w.colourRow(row.data(), y % 2 ? PixelForm::Best : PixelForm::ThreeByteOnly);
        if (y == 5) w.skipRows(1);
    }
    return w.finish();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    const fs::path seeds = argv[1];
    for (const char* target : {"tcl_fuzz", "pcl3gui_fuzz", "braille_fuzz"}) fs::create_directories(fs::path(argv[2]) / target);

    const ByteVector cells{0, 1, 2, 0, 0, 7, 7, 7, 1, 0, 0, 0, 3, 3, 0, 0, 1, 1, 1, 1};
    JobWriter rows;
    rows.universalExit().pjl("@PJL ENTER LANGUAGE=TCL").pjl("@PJL SET MODEL=\"Valdo\"").embossRaster(cells, 5, 4);
    rows.unit(100).rasterSize(10, 2).startRaster(2).row({0x0F, 0x01}).row({0xF0, 0x02}).endRaster();
    rows.unit(300).rasterSize(2, 1).startRaster(3).plane({1, 2}).plane({3, 4}).row({5, 6}).endRaster();
    rows.unit(20).rasterSize(8, 1).startRaster(1).positionRow({1, 3, 7}).skipRows(1).endRaster();
    rows.configurationText("PrinterType=Norrel;Option=NIC");
    write(seeds / "tcl_fuzz", "rows.kprn", rows.data());

    JobWriter blocks;
    blocks.embossBlock(cells, 5, 4, HeaderCheck::Marked, {.force = 2, .flags = 0x21, .mediaP = 2, .mediaQ = 14});
    blocks.embossBlock(cells, 4, 5, HeaderCheck::Sum3).inkBlock(cells, 10, 2, HeaderCheck::Sum4);
    blocks.pcl3guiBlock(smallPcl3gui(Pcl3guiWriter::Planes::BlackAndColour), {.flags = 3});
    write(seeds / "tcl_fuzz", "blocks.kprn", blocks.data());

    // Pages whose start is not simply where their raster begins: a row rewritten after a next-line
    // of 0 rows, two pages from one escape sequence, a colour block with two raster starts.
    JobWriter starts;
    starts.pjl("@PJL SET MODEL=\"Valdo\"").header(5, 24, 2, HeaderCheck::Sum4, {});
    starts.bytes({0x00, 0x01, 0xFF, 0xFF, 0xC0, 0x00, 0x00, 0x01, 0x0F, 0x00, 0xC0, 0x02});
    starts.unit(20).escape('*', 'r', {{4, 's'}, {2, 't'}, {1, 'a'}, {0, 'c'}, {1, 'A'}}).row({1, 2, 3, 4}).endRaster();
    ByteVector twoRasters = smallPcl3gui(Pcl3guiWriter::Planes::Colour);
    const ByteVector again = JobWriter().rasterSize(8, 6).startRaster(1).rawRow({0x80, 0x10}, 'W').data();
    twoRasters.insert(twoRasters.end(), again.begin(), again.end());
    starts.pcl3guiBlock(twoRasters);
    write(seeds / "tcl_fuzz", "starts.kprn", starts.data());

    for (const auto& [name, planes] : {std::pair{"colour.pcl", Pcl3guiWriter::Planes::Colour},
                                       {"black-and-colour.pcl", Pcl3guiWriter::Planes::BlackAndColour},
                                       {"black-only.pcl", Pcl3guiWriter::Planes::BlackOnly}})
        write(seeds / "pcl3gui_fuzz", name, smallPcl3gui(planes));

    // A small page of 6-dot braille and one of 8-dot braille: width - 1, height - 1, cells.
    for (const int dots : {6, 8}) {
        const BrailleLayout layout{20, 2, 5, dots == 8 ? 10 : 8, dots == 8 ? 4 : 3, 2, 40, 30};
        ByteVector page{uint8_t(layout.width - 1), uint8_t(layout.height - 1)};
        const ByteVector cells = layOutBraille(brailleCellsOf("Ab cd\nef 12\ngh", dots), layout, 4)[0];
        page.insert(page.end(), cells.begin(), cells.end());
        write(seeds / "braille_fuzz", std::to_string(dots) + "-dot.page", page);
    }
    return 0;
}
