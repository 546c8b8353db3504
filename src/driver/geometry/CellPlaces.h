// Where braille cells stand on an emboss raster: the physical distances of each braille spacing
// (in micrometres), turned into raster positions at the model's resolution. Each cell's and each
// line's position is rounded on its own, so the steps between cells alternate (24, 24, 24, 25, ...)
// and the cells never drift from their true places. The driver lays braille out with these places
// and the viewer reads braille back with the same ones.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace brelmont::driver {

// One braille spacing as the queue option "BrailleSpacing" names it, in micrometres.
struct PhysicalSpacing {
    std::string_view name; // "Congress", "National", "Microbraille", "Korean", "Jumbo"
    int64_t dot;           // from a dot to the next one in its cell, across and down
    int64_t cell;          // from a cell to the next one on its line
    int64_t line;          // from a six-dot line to the next one (eight-dot lines add a dot)
};

// Every spacing, in the order the queues list them; the first stands in for an unknown name.
std::span<const PhysicalSpacing> physicalSpacings();
const PhysicalSpacing& physicalSpacing(std::string_view name);

// Raster positions of one spacing at one resolution. Positions are counted from the first cell's
// left dots (x) and the first line's top dots (y).
class CellPlaces {
public:
    CellPlaces(const PhysicalSpacing& spacing, int64_t positionsPerInch, int dots);

    int64_t positionsPerInch() const { return m_perInch; }
    int dotRows() const { return m_dotRows; } // 3 for six-dot cells, 4 for eight-dot cells
    int64_t dotStep() const { return m_dotStep; }
    // Cell i of a line, line l of a page: the rounded place of i (l) whole pitches.
    int64_t cellX(int64_t i) const { return rounded(i * m_cellMicrons); }
    int64_t lineY(int64_t l) const { return rounded(l * m_lineMicrons); }
    // How many cells (lines) fit when the last one's dots must lie before `extent` positions.
    int64_t cellsWithin(int64_t extent) const;
    int64_t linesWithin(int64_t extent) const;
    // The exact pitches, in micrometres.
    int64_t cellMicrons() const { return m_cellMicrons; }
    int64_t lineMicrons() const { return m_lineMicrons; }

    // Micrometres to raster positions at this resolution, rounded to the nearest.
    int64_t rounded(int64_t microns) const;

private:
    int64_t m_perInch;
    int m_dotRows;
    int64_t m_dotStep;
    int64_t m_cellMicrons;
    int64_t m_lineMicrons;
};

// The raster position of a length in points (1/72 inch), rounded to the nearest.
int64_t pointsToPositions(double points, int64_t positionsPerInch);

} // namespace brelmont::driver
