#include "viewer/braille/CellGrid.h"

#include <initializer_list>
#include <optional>

namespace brelmont::viewer {

namespace {

using driver::CellPlaces;
using driver::PhysicalSpacing;

constexpr int64_t MicronsPerInch = 25400;

// Where the groups of an axis begin, counted from the grid's origin: every `pitch` positions.
struct Periodic {
    int64_t pitch = 0;
    int64_t start(int64_t group) const { return group * pitch; }
    int64_t groupAt(int64_t distance) const { return distance / pitch; }
};

// The same at the rounded places of a physical spacing, cells or lines.
struct Physical {
    const CellPlaces* places = nullptr;
    bool lines = false;
    int64_t start(int64_t group) const { return lines ? places->lineY(group) : places->cellX(group); }
    // Each place lies within half a position of its whole pitches, so the exact quotient is off by
    // one group at most.
    int64_t groupAt(int64_t distance) const {
        const int64_t microns = lines ? places->lineMicrons() : places->cellMicrons();
        int64_t group = distance * MicronsPerInch / (microns * places->positionsPerInch());
        while (group > 0 && start(group) > distance) --group;
        while (start(group + 1) <= distance) ++group;
        return group;
    }
};

std::vector<int64_t> dottedPlaces(const std::vector<bool>& marked) {
    std::vector<int64_t> places;
    for (size_t i = 0; i < marked.size(); ++i)
        if (marked[i]) places.push_back(int64_t(i));
    return places;
}

// 0 when there is no gap (fewer than two places).
int64_t smallestGap(const std::vector<int64_t>& places) {
    int64_t gap = 0;
    for (size_t i = 1; i < places.size(); ++i)
        if (gap == 0 || places[i] - places[i - 1] < gap) gap = places[i] - places[i - 1];
    return gap;
}

// The dot pitches to try along an axis whose smallest gap is `gap`, given the other axis's. A gap
// that is a whole number of the other pitch is taken for a gap over an empty dot place; with no
// gap at all (one dotted place) only the other pitch is left.
std::vector<int64_t> pitchesToTry(int64_t gap, int64_t otherPitch) {
    if (gap == 0) return {otherPitch > 0 ? otherPitch : 1};
    if (otherPitch > 0 && otherPitch < gap && gap % otherPitch == 0) return {otherPitch, gap};
    return {gap, otherPitch};
}

// How well a grid explains the places along one axis.
struct Fit {
    int64_t origin = 0;             // where group 0 begins
    int64_t firstGroup = 0;         // the group of the first dotted place
    int64_t groupsWithFirstDot = 0; // groups whose first dot place (top row, left column) is dotted
    int64_t groupsSpanned = 0;      // from the first dotted group to the last

    // Nearly every braille cell has a dot in its top row and in its left column (all letters do),
    // so the grid that puts the most groups' first dot places on dots is the true one; a grid that
    // fits as well with more groups is a finer one that leaves every other group empty.
    bool betterThan(const Fit& other) const {
        if (groupsWithFirstDot != other.groupsWithFirstDot) return groupsWithFirstDot > other.groupsWithFirstDot;
        return groupsSpanned < other.groupsSpanned;
    }
};

// The fit of a grid, or nothing when some place lies off its dot places. Places are increasing
// and none lies before the origin.
template <class Groups>
std::optional<Fit> fitOf(const std::vector<int64_t>& places, int64_t origin, int64_t dotPitch, const Groups& groups, int dots) {
    Fit fit{origin, 0, 0, 0};
    int64_t group = -1, lastFirstDotGroup = -1;
    for (int64_t place : places) {
        group = groups.groupAt(place - origin);
        const int64_t inGroup = place - origin - groups.start(group);
        if (inGroup % dotPitch != 0 || inGroup / dotPitch >= dots) return std::nullopt;
        if (inGroup == 0 && group != lastFirstDotGroup) ++fit.groupsWithFirstDot, lastFirstDotGroup = group;
        if (place == places.front()) fit.firstGroup = group;
    }
    fit.groupsSpanned = group - fit.firstGroup + 1;
    return fit;
}

// The best periodic grid of `dots` places a group at one dot pitch (Fit::betterThan; the smallest
// group pitch among equals), trying every place of the first dot's group for the first place.
// Beyond span + dots * pitch a longer group pitch changes nothing: every place then lies in one group.
std::optional<Fit> bestFit(const std::vector<int64_t>& places, int dots, int64_t pitch, int64_t& groupPitch) {
    const int64_t span = places.back() - places.front();
    std::optional<Fit> best;
    for (int64_t tried = dots * pitch + 1; tried <= span + dots * pitch + 1; ++tried)
        for (int first = 0; first < dots; ++first) {
            const std::optional<Fit> fit = fitOf(places, places.front() - first * pitch, pitch, Periodic{tried}, dots);
            if (fit && (!best || fit->betterThan(*best))) best = fit, groupPitch = tried;
        }
    return best;
}

struct AxisFit {
    Fit fit;
    int64_t dotPitch = 0, groupPitch = 0;
    int dots = 0; // dot places a group
};

// The periodic grid of the first dot pitch, in order, at which some group size fits; of the sizes
// the one that fits better, the first on a tie. A grid of one group has no known group pitch (0).
std::optional<AxisFit> fitAxis(const std::vector<int64_t>& places, std::initializer_list<int> groupSizes,
                               const std::vector<int64_t>& dotPitches) {
    for (int64_t pitch : dotPitches) {
        if (pitch <= 0) continue;
        std::optional<AxisFit> best;
        for (int dots : groupSizes) {
            int64_t groupPitch = 0;
            const std::optional<Fit> fit = bestFit(places, dots, pitch, groupPitch);
            if (fit && (!best || fit->betterThan(best->fit))) best = AxisFit{*fit, pitch, groupPitch, dots};
        }
        if (!best) continue;
        if (best->fit.groupsSpanned == 1) best->groupPitch = 0;
        return best;
    }
    return std::nullopt;
}

// The best fit at the places of a physical spacing along one axis: the first dotted place is dot
// place k of group j, for each j that leaves group 0 on the page (the layout begins there).
std::optional<Fit> bestPhysicalFit(const std::vector<int64_t>& places, const Physical& groups, int64_t dotPitch, int dots) {
    std::optional<Fit> best;
    for (int64_t j = 0; groups.start(j) <= places.front(); ++j)
        for (int k = 0; k < dots; ++k) {
            const int64_t origin = places.front() - k * dotPitch - groups.start(j);
            if (origin < 0 && j > 0) break;
            const std::optional<Fit> fit = fitOf(places, origin, dotPitch, groups, dots);
            if (fit && (!best || fit->betterThan(*best))) best = fit;
        }
    return best;
}

// A whole grid: its lines fit first, its cells second.
struct GridFit {
    CellGrid grid;
    Fit lines, cells;

    bool betterThan(const GridFit& other) const {
        if (lines.betterThan(other.lines) || other.lines.betterThan(lines)) return lines.betterThan(other.lines);
        return cells.betterThan(other.cells);
    }
};

std::optional<GridFit> periodicGrid(const std::vector<int64_t>& columns, const std::vector<int64_t>& rows) {
    // Cells that each use one column only, or lines that use one dot row, show no dot pitch along
    // their own axis: the other axis's stands in, as braille dots are square-spaced.
    const int64_t columnGap = smallestGap(columns);
    // An 8-dot line whose dots 7 and 8 are in few cells also fits lines of 6 dots with another
    // pitch or origin; at each pitch the better fit decides, 6 dots on a tie.
    const std::optional<AxisFit> lines = fitAxis(rows, {3, 4}, pitchesToTry(smallestGap(rows), columnGap));
    if (!lines) return std::nullopt;
    const std::optional<AxisFit> cells = fitAxis(columns, {2}, pitchesToTry(columnGap, lines->dotPitch));
    if (!cells) return std::nullopt;
    CellGrid grid;
    grid.left = cells->fit.origin + cells->fit.firstGroup * cells->groupPitch;
    grid.top = lines->fit.origin + lines->fit.firstGroup * lines->groupPitch;
    grid.dotPitchX = cells->dotPitch, grid.dotPitchY = lines->dotPitch;
    grid.cellPitch = cells->groupPitch, grid.linePitch = lines->groupPitch;
    grid.dotRows = lines->dots;
    return GridFit{grid, lines->fit, cells->fit};
}

std::optional<GridFit> physicalGrid(const std::vector<int64_t>& columns, const std::vector<int64_t>& rows,
                                    int64_t positionsPerInch) {
    std::optional<GridFit> best;
    for (const PhysicalSpacing& spacing : driver::physicalSpacings()) {
        // Cells stand alike in 6- and 8-dot lines.
        const CellPlaces sixDots(spacing, positionsPerInch, 6);
        const std::optional<Fit> cells = bestPhysicalFit(columns, Physical{&sixDots, false}, sixDots.dotStep(), 2);
        if (!cells) continue;
        for (const int dots : {6, 8}) {
            const CellPlaces places(spacing, positionsPerInch, dots);
            const Physical lineGroups{&places, true}, cellGroups{&places, false};
            const std::optional<Fit> lines = bestPhysicalFit(rows, lineGroups, places.dotStep(), places.dotRows());
            if (!lines) continue;
            CellGrid grid;
            grid.left = cells->origin + cellGroups.start(cells->firstGroup);
            grid.top = lines->origin + lineGroups.start(lines->firstGroup);
            grid.dotPitchX = grid.dotPitchY = places.dotStep();
            grid.cellPitch = places.rounded(places.cellMicrons());
            grid.linePitch = places.rounded(places.lineMicrons());
            grid.dotRows = places.dotRows();
            grid.spacing = &spacing;
            grid.positionsPerInch = positionsPerInch;
            grid.firstCell = cells->firstGroup, grid.firstLine = lines->firstGroup;
            const GridFit fit{grid, *lines, *cells};
            if (!best || fit.betterThan(*best)) best = fit;
        }
    }
    return best;
}

} // namespace

int64_t CellGrid::cellX(int64_t i) const {
    if (!spacing) return left + i * cellPitch;
    const CellPlaces places(*spacing, positionsPerInch, dotsPerCell());
    return left + places.cellX(firstCell + i) - places.cellX(firstCell);
}

int64_t CellGrid::lineY(int64_t l) const {
    if (!spacing) return top + l * linePitch;
    const CellPlaces places(*spacing, positionsPerInch, dotsPerCell());
    return top + places.lineY(firstLine + l) - places.lineY(firstLine);
}

bool isDotValue(uint8_t value) { return (value >= 1 && value <= 7) || value == 15; }

int64_t positionsPerInch(const job::PageData& page) { return page.m_kind == 1 ? 20 : 100; }

GridSearch findCellGrid(const job::PageData& page) {
    if (!job::PageData::isEmbossKind(page.m_kind) || page.m_width <= 0 || page.m_height <= 0) return {};
    std::vector<bool> columnDotted(size_t(page.m_width), false), rowDotted(size_t(page.m_height), false);
    for (int64_t y = 0; y < page.m_height; ++y) {
        const uint8_t* row = page.row(y);
        for (int64_t x = 0; x < page.m_width; ++x)
            if (isDotValue(row[x])) columnDotted[size_t(x)] = rowDotted[size_t(y)] = true;
    }
    const std::vector<int64_t> columns = dottedPlaces(columnDotted), rows = dottedPlaces(rowDotted);
    if (columns.empty()) return {};

    std::optional<GridFit> best = periodicGrid(columns, rows);
    const std::optional<GridFit> physical = physicalGrid(columns, rows, positionsPerInch(page));
    if (physical && (!best || physical->betterThan(*best))) best = physical;
    if (!best) return {PageLayout::Graphic, {}};
    return {PageLayout::Cells, best->grid};
}

} // namespace brelmont::viewer
