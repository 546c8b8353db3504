#include "SampleJob.h"

#include "BrailleText.h"
#include "Pcl3guiWriter.h"

#include <cmath>

namespace brelmont::testing {

namespace {

constexpr std::string_view Passage =
    "the lantern keeper of the north harbour climbed the stone steps every evening, counting them aloud so that "
    "the children below could hear. there were ninety of them, worn smooth in the middle where feet had gone for "
    "a hundred years. at the top he trimmed the wick, wiped the glass and waited for the first ship to answer his "
    "light with its own. on clear nights he could see the lamps of the far island, and on foggy nights he rang the "
    "bell instead, slow and steady, until the boats were home. when the keeper grew old, a girl from the village "
    "learned the steps with him. she counted in a whisper at first, then loudly, and soon the children counted "
    "with her. the harbour still keeps its lantern, though a motor turns it now, and on the stone at the top "
    "someone has carved the number ninety, so that the hand can find it in the dark. visitors who climb the steps "
    "touch the carving and smile, because they have counted too, each in a voice of their own. "
    "in winter the steps are cold and the wind pulls at coats and scarves, yet the counting goes on. "
    "teachers bring their classes in spring, and each child climbs with a hand on the rail and a number on "
    "the lips. some count in twos, some in fives, and one boy once counted backwards all the way up, which "
    "made the keeper's granddaughter laugh so hard that she had to sit on step forty-one to catch her "
    "breath. at the top the children take turns to touch the number, then they look out over the water "
    "and try to find the far island, a small grey shape that comes and goes with the weather.";

constexpr int64_t TextWidth = 170, TextHeight = 220; // Letter at 20 cells per inch

} // namespace

ByteVector tactileGraphicCells(int64_t width, int64_t height) {
    ByteVector cells(size_t(width * height), 0);
    const auto dot = [&](int64_t x, int64_t y, uint8_t level) {
        if (x >= 0 && y >= 0 && x < width && y < height) cells[size_t(y * width + x)] = level;
    };
    // A circle outline, strong dots every 3 cells along it.
    const double cx = width * 0.3, cy = height * 0.25, r = width * 0.18;
    const int steps = int(2 * M_PI * r / 3);
    for (int i = 0; i < steps; ++i)
        dot(int64_t(cx + r * std::cos(2 * M_PI * i / steps)), int64_t(cy + r * std::sin(2 * M_PI * i / steps)), 7);
    // A rectangle filled with a light texture, outlined with medium dots.
    const int64_t rx = width * 55 / 100, ry = height * 12 / 100, rw = width * 35 / 100, rh = height * 22 / 100;
    for (int64_t y = ry; y <= ry + rh; y += 6)
        for (int64_t x = rx; x <= rx + rw; x += 6) dot(x, y, 2);
    for (int64_t x = rx; x <= rx + rw; x += 3) dot(x, ry, 5), dot(x, ry + rh, 5);
    for (int64_t y = ry; y <= ry + rh; y += 3) dot(rx, y, 5), dot(rx + rw, y, 5);
    // A triangle of medium dots and a baseline of strong ones.
    const int64_t tx = width / 2, ty = height * 55 / 100, th = height * 30 / 100;
    for (int64_t i = 0; i <= th; i += 3) dot(tx - i / 2, ty + i, 4), dot(tx + i / 2, ty + i, 4);
    for (int64_t x = tx - th / 2; x <= tx + th / 2; x += 3) dot(x, ty + th, 7);
    return cells;
}

ByteVector colourChartBlock(int64_t pageWidth, int64_t pageHeight) {
    Pcl3guiWriter block(pageWidth, pageHeight, Pcl3guiWriter::Planes::BlackAndColour);
    const int64_t pixels = block.rowPixels(), rows = 2 * pageHeight;
    const Rgb palette[] = {{230, 40, 40}, {240, 140, 20}, {250, 220, 30}, {60, 170, 70}, {40, 120, 220}, {120, 60, 180}};
    std::vector<Rgb> row(static_cast<size_t>(pixels));
    ByteVector black(static_cast<size_t>((pixels + 7) / 8));
    for (int64_t y = 0; y < rows; ++y) {
        std::fill(row.begin(), row.end(), Rgb{});
        std::fill(black.begin(), black.end(), 0);
        const int64_t band = y * 10 / rows;
        if (band >= 1 && band <= 3) {
            // Colour patches in six columns, shaded down the band.
            const uint8_t shade = uint8_t((y * 10 % rows) * 120 / rows);
            for (int64_t x = pixels / 10; x < pixels * 9 / 10; ++x) {
                const Rgb p = palette[(x - pixels / 10) * 6 / (pixels * 8 / 10)];
                row[size_t(x)] = {uint8_t(p.r - p.r * shade / 255), uint8_t(p.g - p.g * shade / 255),
                                  uint8_t((p.b - p.b * shade / 255) & 0xFE)};
            }
        } else if (band >= 5 && band <= 8 && (y % 60) < 24) {
            // Lines of "text": black bars of varying length, with a coloured heading bar.
            const int64_t line = y / 60;
            const int64_t length = pixels * (50 + (line * 37) % 30) / 100;
            for (int64_t x = pixels / 10; x < pixels / 10 + length; ++x)
                if ((x / 40) % 5 != 4) black[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
            if (line % 8 == 0)
                for (int64_t x = pixels / 10; x < pixels / 10 + length / 3; ++x) row[size_t(x)] = {40, 80, 160};
        }
        block.blackPlane(black).colourRow(row.data());
    }
    return block.finish();
}

ByteVector makeSampleJob() {
    JobWriter job;
    job.universalExit()
        .pjl("@PJL JOB NAME=\"The lantern keeper\"")
        .pjl("@PJL ENTER LANGUAGE=TCL")
        .text(
            "\x1b"
            "E")
        .command('&', 'l', 2, 'P')
        .command('&', 'l', 12, 'M');

    // The text: the first pages as rows, the last as a binary emboss raster.
    const std::vector<ByteVector> text = braillePages(Passage, TextWidth, TextHeight, 4);
    for (size_t i = 0; i + 1 < text.size(); ++i) job.unit(20).embossRaster(text[i], TextWidth, TextHeight);
    job.embossBlock(text.back(), TextWidth, TextHeight, HeaderCheck::Marked, {.force = 2, .flags = 0x10});

    // A tactile graphic at 100 cells per inch.
    job.unit(100).embossRaster(tactileGraphicCells(850, 1100), 850, 1100);

    // The colour page, printed by the ink module: Letter at 300 dpi.
    job.pcl3guiBlock(colourChartBlock(2550, 3300), {.flags = 4});
    job.text(
           "\x1b"
           "E")
        .universalExit()
        .pjl("@PJL EOJ");
    return job.data();
}

} // namespace brelmont::testing
