#include "driver/geometry/CellPlaces.h"

#include <array>
#include <cmath>

namespace brelmont::driver {

namespace {

constexpr int64_t MicronsPerInch = 25400;

// Close to the published dimensions of each standard.
constexpr std::array<PhysicalSpacing, 5> Spacings{{
    {"Congress", 2300, 6100, 10200},
    {"National", 2300, 6400, 10200},
    {"Microbraille", 2000, 5300, 9900},
    {"Korean", 2300, 5800, 10700},
    {"Jumbo", 3000, 8900, 14000},
}};

} // namespace

std::span<const PhysicalSpacing> physicalSpacings() { return Spacings; }

const PhysicalSpacing& physicalSpacing(std::string_view name) {
    for (const PhysicalSpacing& spacing : Spacings)
        if (spacing.name == name) return spacing;
    return Spacings.front();
}

CellPlaces::CellPlaces(const PhysicalSpacing& spacing, int64_t positionsPerInch, int dots)
    : m_perInch(positionsPerInch > 0 ? positionsPerInch : 1),
      m_dotRows(dots == 8 ? 4 : 3),
      m_dotStep(0),
      m_cellMicrons(spacing.cell),
      m_lineMicrons(spacing.line + (dots == 8 ? spacing.dot : 0)) {
    m_dotStep = rounded(spacing.dot);
    if (m_dotStep < 1) m_dotStep = 1;
}

int64_t CellPlaces::rounded(int64_t microns) const {
    // Half a position rounds up, for negative lengths too, so every user of a place agrees.
    const int64_t scaled = microns * m_perInch;
    const int64_t quotient = scaled / MicronsPerInch, remainder = scaled % MicronsPerInch;
    const int64_t floor = remainder < 0 ? quotient - 1 : quotient;
    const int64_t rest = remainder < 0 ? remainder + MicronsPerInch : remainder;
    return 2 * rest >= MicronsPerInch ? floor + 1 : floor;
}

int64_t CellPlaces::cellsWithin(int64_t extent) const {
    int64_t n = 0;
    while (cellX(n) + m_dotStep < extent) ++n;
    return n;
}

int64_t CellPlaces::linesWithin(int64_t extent) const {
    int64_t n = 0;
    while (lineY(n) + (m_dotRows - 1) * m_dotStep < extent) ++n;
    return n;
}

int64_t pointsToPositions(double points, int64_t positionsPerInch) {
    return std::llround(points * double(positionsPerInch) / 72.0);
}

} // namespace brelmont::driver
