#include "viewer/braille/CellGrid.h"

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

bool everyPlaceFits(const std::vector<int64_t>& places, const Axis& axis, int dots) {
    for (int64_t place : places) {
        const int64_t inGroup = (place - axis.origin) % axis.groupPitch;
        if (inGroup % axis.dotPitch != 0 || inGroup / axis.dotPitch >= dots) return false;
    }
    return true;
}

// The dot pitches to try along an axis whose smallest gap is `gap`, given the other axis's. A gap
// that is a whole number of the other pitch is taken for a gap over an empty dot place; with no
// gap at all (one dotted place) only the other pitch is left.
std::vector<int64_t> pitchesToTry(int64_t gap, int64_t otherPitch) {
    if (gap == 0) return {otherPitch > 0 ? otherPitch : 1};
    if (otherPitch > 0 && otherPitch < gap && gap % otherPitch == 0) return {otherPitch, gap};
    return {gap, otherPitch};
}

// The smallest group pitch (then the first place as the earliest dot of its group) that puts every
// place on a dot place, trying the dot pitches in order. Beyond span + dots * pitch, a longer group
// pitch changes nothing: every place then lies in one group, and the group pitch is not known
// (0).
std::optional<Axis> fitAxis(const std::vector<int64_t>& places, int dots, const std::vector<int64_t>& dotPitches) {
    const int64_t span = places.back() - places.front();
    for (int64_t pitch : dotPitches) {
        if (pitch <= 0) continue;
        for (int64_t groupPitch = dots * pitch + 1; groupPitch <= span + dots * pitch + 1; ++groupPitch)
            for (int first = 0; first < dots; ++first) {
                Axis axis{places.front() - first * pitch, pitch, groupPitch};
                if (!everyPlaceFits(places, axis, dots)) continue;
                if (places.back() - axis.origin < groupPitch) axis.groupPitch = 0;
                return axis;
            }
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
    GridSearch search{PageLayout::Graphic, {}};
    std::optional<Axis> lines = fitAxis(rows, 3, rowPitches);
    int dotRows = 3;
    if (!lines) {
        lines = fitAxis(rows, 4, rowPitches);
        dotRows = 4;
    }
    if (!lines) return search;
    const std::optional<Axis> cells = fitAxis(columns, 2, pitchesToTry(columnGap, lines->dotPitch));
    if (!cells) return search;
    search.layout = PageLayout::Cells;
    search.grid = {cells->origin, lines->origin, cells->dotPitch, lines->dotPitch, cells->groupPitch, lines->groupPitch, dotRows};
    return search;
}

} // namespace brelmont::viewer
