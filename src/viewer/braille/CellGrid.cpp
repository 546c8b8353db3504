#include "viewer/braille/CellGrid.h"

#include <initializer_list>
#include <optional>

namespace brelmont::viewer {

namespace {

// One axis of the grid: groups of `dots` dot places `dotPitch` apart, a group every `groupPitch`.
struct Axis {
    int64_t origin = 0, dotPitch = 0, groupPitch = 0;
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
    Axis axis;
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
std::optional<Fit> fitOf(const std::vector<int64_t>& places, const Axis& axis, int dots) {
    Fit fit{axis, 0, 0};
    int64_t lastFirstDotGroup = -1;
    for (int64_t place : places) {
        const int64_t group = (place - axis.origin) / axis.groupPitch, inGroup = (place - axis.origin) % axis.groupPitch;
        if (inGroup % axis.dotPitch != 0 || inGroup / axis.dotPitch >= dots) return std::nullopt;
        if (inGroup == 0 && group != lastFirstDotGroup) ++fit.groupsWithFirstDot, lastFirstDotGroup = group;
    }
    fit.groupsSpanned = (places.back() - axis.origin) / axis.groupPitch - (places.front() - axis.origin) / axis.groupPitch + 1;
    return fit;
}

// The best grid of `dots` places a group at one dot pitch (Fit::betterThan; the smallest group
// pitch among equals), trying every place of the first dot's group for the first place. Beyond
// span + dots * pitch a longer group pitch changes nothing: every place then lies in one group.
std::optional<Fit> bestFit(const std::vector<int64_t>& places, int dots, int64_t pitch) {
    const int64_t span = places.back() - places.front();
    std::optional<Fit> best;
    for (int64_t groupPitch = dots * pitch + 1; groupPitch <= span + dots * pitch + 1; ++groupPitch)
        for (int first = 0; first < dots; ++first) {
            const std::optional<Fit> fit = fitOf(places, Axis{places.front() - first * pitch, pitch, groupPitch}, dots);
            if (fit && (!best || fit->betterThan(*best))) best = fit;
        }
    return best;
}

struct AxisFit {
    Axis axis;
    int dots = 0; // dot places a group
};

// The grid of the first dot pitch, in order, at which some group size fits; of the sizes the one
// that fits better, the first on a tie. A grid of one group has no known group pitch (0).
std::optional<AxisFit> fitAxis(const std::vector<int64_t>& places, std::initializer_list<int> groupSizes,
                               const std::vector<int64_t>& dotPitches) {
    for (int64_t pitch : dotPitches) {
        if (pitch <= 0) continue;
        std::optional<Fit> best;
        int bestDots = 0;
        for (int dots : groupSizes) {
            const std::optional<Fit> fit = bestFit(places, dots, pitch);
            if (fit && (!best || fit->betterThan(*best))) best = fit, bestDots = dots;
        }
        if (!best) continue;
        AxisFit found{best->axis, bestDots};
        if (best->groupsSpanned == 1) found.axis.groupPitch = 0;
        return found;
    }
    return std::nullopt;
}

} // namespace

bool isDotValue(uint8_t value) { return (value >= 1 && value <= 7) || value == 15; }

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

    // Cells that each use one column only, or lines that use one dot row, show no dot pitch along
    // their own axis: the other axis's stands in, as braille dots are square-spaced.
    const int64_t columnGap = smallestGap(columns);
    const std::vector<int64_t> rowPitches = pitchesToTry(smallestGap(rows), columnGap);
    // An 8-dot line whose dots 7 and 8 are in few cells also fits lines of 6 dots with another
    // pitch or origin; at each pitch the better fit decides, 6 dots on a tie.
    GridSearch search{PageLayout::Graphic, {}};
    const std::optional<AxisFit> lines = fitAxis(rows, {3, 4}, rowPitches);
    if (!lines) return search;
    const std::optional<AxisFit> cells = fitAxis(columns, {2}, pitchesToTry(columnGap, lines->axis.dotPitch));
    if (!cells) return search;
    search.layout = PageLayout::Cells;
    search.grid = {cells->axis.origin,     lines->axis.origin,     cells->axis.dotPitch, lines->axis.dotPitch,
                   cells->axis.groupPitch, lines->axis.groupPitch, lines->dots};
    return search;
}

} // namespace brelmont::viewer
