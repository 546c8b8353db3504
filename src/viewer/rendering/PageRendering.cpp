#include "viewer/rendering/PageRendering.h"

#include <QPainter>
#include <QRectF>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brelmont::viewer {

using job::PageData;

namespace {

// Pixels per cell and dot diameter in pixels: index 0 for kind 1, 1 for kind 2.
constexpr double EmbossScale[2] = {5.0, 1.0};
constexpr double EmbossDiameter[2] = {4.0, 4.8};
constexpr double InkScale = 1.0;
constexpr double InkDiameter = 1.0;

int embossIndex(const PageData& page) { return page.m_kind == 2 ? 1 : 0; }

// Grey levels for values 1 to 7 and blue for 15, made once per process.
const std::array<std::optional<QColor>, 16>& dotColours() {
    static const std::array<std::optional<QColor>, 16> colours = [] {
        std::array<std::optional<QColor>, 16> c;
        const float grey[7] = {0.9f, 0.84f, 0.75f, 0.63f, 0.5f, 0.31f, 0.0f};
        for (int v = 1; v <= 7; ++v) c[v] = QColor::fromRgbF(grey[v - 1], grey[v - 1], grey[v - 1]);
        c[15] = QColor::fromRgbF(0.0f, 0.0f, 1.0f);
        return c;
    }();
    return colours;
}

const QColor& inkColour() {
    static const QColor black(Qt::black);
    return black;
}

// One dot as drawn: its colour (null: not drawn) and its diameter as a part of the full one.
struct DotLook {
    const QColor* colour = nullptr;
    double size = 1.0;
};

DotLook levelLook(uint8_t v) {
    const auto& colours = dotColours();
    return {v < colours.size() && colours[v] ? &*colours[v] : nullptr, 1.0};
}

constexpr double SmallestHighContrastDot = 0.55; // a level 1 dot, as a part of a full one

DotLook highContrastLook(uint8_t v) {
    if (v >= 1 && v <= 7) return {&inkColour(), SmallestHighContrastDot + 0.45 * (v - 1) / 6};
    return {v == 15 ? &inkColour() : nullptr, 1.0};
}

DotLook inkLook(uint8_t v) { return {v ? &inkColour() : nullptr, 1.0}; }

using LookOf = DotLook (*)(uint8_t);

// Where a dot of diameter d lies in the square of a full-size dot (diameter D) whose lower-left
// corner is (left, bottom), the y axis pointing down: centred, so its top-left corner is
// (D - d) / 2 right of the corner and (D + d) / 2 above it.
double dotLeftOffset(double fullDiameter, double d) { return (fullDiameter - d) / 2; }
double dotTopOffset(double fullDiameter, double d) { return -(fullDiameter + d) / 2; }

// The opaque white surface, or null when the page is empty or too large for a QImage.
QImage whiteSurface(const PageData& page, double scale) {
    const double w = std::trunc(double(page.m_width) * scale);
    const double h = std::trunc(double(page.m_height) * scale);
    if (!(w >= 1 && h >= 1 && w <= INT_MAX && h <= INT_MAX)) return {};
    QImage image(int(w), int(h), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) return {};
    image.fill(0xffffffffu);
    return image;
}

// The surface's y axis points up and page row 0 is drawn at its top: the lower edge of row y's
// square lies trunc((height - 1 - y) * scale) pixels above the bottom. In image rows counted from
// the top that edge is at imageHeight minus that, and the square's top is a diameter above it.
int64_t squareBottomRow(const PageData& page, int64_t y, double scale, int imageHeight) {
    return imageHeight - int64_t(std::trunc(double(page.m_height - 1 - y) * scale));
}

int64_t squareLeftColumn(int64_t x, double scale) { return int64_t(std::trunc(double(x) * scale)); }

// round(x * a / 255) on each byte of a premultiplied pixel, rounded as QPainter's own blending
// rounds, so that stamped dots come out as drawn ones.
inline uint32_t byteMul(uint32_t x, uint32_t a) {
    uint64_t t = ((uint64_t(x) | (uint64_t(x) << 24)) & 0x00ff00ff00ff00ffull) * a;
    t = (t + ((t >> 8) & 0x00ff00ff00ff00ffull) + 0x0080008000800080ull) >> 8;
    t &= 0x00ff00ff00ff00ffull;
    return uint32_t(t) | uint32_t(t >> 24);
}

// One antialiased dot rendered once, at the sub-pixel phase that every dot of a page shares,
// cropped to its non-transparent pixels.
struct Stamp {
    int dx = 0, dy = 0; // first stored pixel relative to the square's whole-pixel corner
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;           // premultiplied ARGB
    std::vector<uint8_t> inverse;           // 255 - alpha of each pixel (0 where the dot covers it fully)
    std::vector<std::pair<int, int>> spans; // per row, the [first, end) columns that are not transparent

    // The same pixels in runs of four along a row, for dots that lie wholly inside the image. A
    // run that passes the end of its span is padded with transparent pixels (source 0, inverse
    // alpha 255), which leave the image as it is; paddedEnd is the column after the last padding.
    struct Run {
        alignas(16) uint32_t source[4];
        alignas(16) uint16_t inverseLow[8];  // pixels 0 and 1, each repeated for its four channels
        alignas(16) uint16_t inverseHigh[8]; // pixels 2 and 3
        int column = 0, row = 0;
    };
    std::vector<Run> runs;
    int paddedEnd = 0;
};

// A dot whose square starts phaseX right of a whole pixel column and phaseY below a whole pixel row.
Stamp makeStamp(const QColor& colour, double diameter, double phaseX, double phaseY) {
    constexpr int Pad = 2; // room for any coverage the rasteriser leaves outside the square
    const int side = int(std::ceil(diameter + std::max(phaseX, phaseY))) + 2 * Pad;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(0u);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(Pad + phaseX, Pad + phaseY, diameter, diameter));
    }
    int x0 = side, x1 = -1, y0 = side, y1 = -1;
    for (int y = 0; y < side; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        for (int x = 0; x < side; ++x)
            if (line[x]) x0 = std::min(x0, x), x1 = std::max(x1, x), y0 = std::min(y0, y), y1 = std::max(y1, y);
    }
    Stamp stamp;
    if (x1 < 0) return stamp;
    stamp.dx = x0 - Pad;
    stamp.dy = y0 - Pad;
    stamp.width = x1 - x0 + 1;
    stamp.height = y1 - y0 + 1;
    for (int y = y0; y <= y1; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        int first = stamp.width, end = 0;
        for (int x = x0; x <= x1; ++x) {
            stamp.pixels.push_back(line[x]);
            stamp.inverse.push_back(uint8_t(255 - (line[x] >> 24)));
            if (line[x]) first = std::min(first, x - x0), end = x - x0 + 1;
        }
        stamp.spans.emplace_back(std::min(first, end), end);
    }
    for (int row = 0; row < stamp.height; ++row) {
        const auto [first, end] = stamp.spans[size_t(row)];
        for (int column = first; column < end; column += 4) {
            Stamp::Run run;
            run.column = column;
            run.row = row;
            for (int k = 0; k < 4; ++k) {
                const bool inside = column + k < end;
                const size_t at = size_t(row * stamp.width + column + k);
                run.source[k] = inside ? stamp.pixels[at] : 0u;
                const uint16_t inverse = inside ? stamp.inverse[at] : 255;
                for (int c = 0; c < 4; ++c) (k < 2 ? run.inverseLow : run.inverseHigh)[(k % 2) * 4 + c] = inverse;
            }
            stamp.runs.push_back(run);
            stamp.paddedEnd = std::max(stamp.paddedEnd, column + 4);
        }
    }
    return stamp;
}

// The stamps of one geometry, found by cell value (null where the value is not drawn). A stamp's
// dx and dy place its first stored pixel relative to the cell's left column and the lower edge of
// its square.
struct StampSet {
    double scale = 1.0;
    std::vector<Stamp> stamps;
    std::array<const Stamp*, 256> byValue{};
};

// Every square's lower edge lies on a whole pixel row and its left edge on a whole column, so each
// look has one phase for all its dots.
StampSet makeStampSet(double scale, double diameter, LookOf lookOf) {
    StampSet set;
    set.scale = scale;
    set.stamps.reserve(256);
    std::array<int, 256> index;
    index.fill(-1);
    std::vector<std::pair<const QColor*, double>> made;
    for (int v = 0; v < 256; ++v) {
        const DotLook look = lookOf(uint8_t(v));
        if (!look.colour) continue;
        const auto same = std::find(made.begin(), made.end(), std::pair{look.colour, look.size});
        if (same != made.end()) {
            index[v] = int(same - made.begin());
            continue;
        }
        index[v] = int(made.size());
        made.emplace_back(look.colour, look.size);
        const double d = diameter * look.size;
        const double left = dotLeftOffset(diameter, d), top = dotTopOffset(diameter, d);
        Stamp stamp = makeStamp(*look.colour, d, left - std::floor(left), top - std::floor(top));
        stamp.dx += int(std::floor(left));
        stamp.dy += int(std::floor(top));
        set.stamps.push_back(std::move(stamp));
    }
    for (int v = 0; v < 256; ++v)
        if (index[v] >= 0 && set.stamps[size_t(index[v])].width > 0) set.byValue[v] = &set.stamps[size_t(index[v])];
    return set;
}

const StampSet& embossStamps(int index, EmbossLook look) {
    static const StampSet sets[2][2] = {
        {makeStampSet(EmbossScale[0], EmbossDiameter[0], levelLook), makeStampSet(EmbossScale[1], EmbossDiameter[1], levelLook)},
        {makeStampSet(EmbossScale[0], EmbossDiameter[0], highContrastLook),
         makeStampSet(EmbossScale[1], EmbossDiameter[1], highContrastLook)}};
    return sets[look == EmbossLook::HighContrast][index];
}

const StampSet& inkStamps() {
    static const StampSet set = makeStampSet(InkScale, InkDiameter, inkLook);
    return set;
}

// Source-over of a stamp whose first stored pixel lands at (left, top), clipped to the image.
// The surface stays opaque, so only colour needs blending.
inline void compositeClipped(uint8_t* bits, qsizetype bytesPerLine, int width, int height, const Stamp& stamp, int64_t left,
                             int64_t top) {
    const int64_t jBegin = std::max<int64_t>(0, -top), jEnd = std::min<int64_t>(stamp.height, height - top);
    const int64_t iMin = std::max<int64_t>(0, -left), iMax = std::min<int64_t>(stamp.width, width - left);
    for (int64_t j = jBegin; j < jEnd; ++j) {
        const auto [first, end] = stamp.spans[size_t(j)];
        const int64_t i0 = std::max<int64_t>(first, iMin), i1 = std::min<int64_t>(end, iMax);
        uint32_t* dst = reinterpret_cast<uint32_t*>(bits + (top + j) * bytesPerLine);
        const uint32_t* src = stamp.pixels.data() + j * stamp.width;
        const uint8_t* inverse = stamp.inverse.data() + j * stamp.width;
        // Where the dot covers a pixel fully, ia is 0 and the product vanishes: no branch needed.
        for (int64_t i = i0; i < i1; ++i) dst[left + i] = src[i] + byteMul(dst[left + i], inverse[i]);
    }
}

#if defined(__SSE2__)
// The same blend for a stamp wholly inside the image, four pixels at a time: each channel times
// the inverse alpha in 16-bit lanes, divided by 255 with the rounding of byteMul, plus the source.
inline void compositeInside(uint8_t* bits, qsizetype bytesPerLine, const Stamp& stamp, int64_t left, int64_t top) {
    const __m128i zero = _mm_setzero_si128(), half = _mm_set1_epi16(0x80);
    for (const Stamp::Run& run : stamp.runs) {
        auto* dst = reinterpret_cast<__m128i*>(bits + (top + run.row) * bytesPerLine + (left + run.column) * 4);
        const __m128i d = _mm_loadu_si128(dst);
        __m128i low =
            _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), _mm_load_si128(reinterpret_cast<const __m128i*>(run.inverseLow)));
        __m128i high =
            _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), _mm_load_si128(reinterpret_cast<const __m128i*>(run.inverseHigh)));
        low = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(low, _mm_srli_epi16(low, 8)), half), 8);
        high = _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(high, _mm_srli_epi16(high, 8)), half), 8);
        const __m128i source = _mm_load_si128(reinterpret_cast<const __m128i*>(run.source));
        _mm_storeu_si128(dst, _mm_add_epi8(_mm_packus_epi16(low, high), source));
    }
}
#endif

inline void composite(uint8_t* bits, qsizetype bytesPerLine, int width, int height, const Stamp& stamp, int64_t left,
                      int64_t top) {
#if defined(__SSE2__)
    if (left >= 0 && top >= 0 && left + stamp.paddedEnd <= width && top + stamp.height <= height) {
        compositeInside(bits, bytesPerLine, stamp, left, top);
        return;
    }
#endif
    compositeClipped(bits, bytesPerLine, width, height, stamp, left, top);
}

QImage drawDotsStamped(const PageData& page, const StampSet& set) {
    QImage image = whiteSurface(page, set.scale);
    if (image.isNull()) return image;
    uint8_t* bits = image.bits();
    const qsizetype bytesPerLine = image.bytesPerLine();
    const int width = image.width(), height = image.height();
    for (int64_t y = 0; y < page.m_height; ++y) {
        const uint8_t* row = page.pixelAddress(0, y);
        const int64_t bottomRow = squareBottomRow(page, y, set.scale, height);
        for (int64_t x = 0; x < page.m_width; ++x) {
            // Most cells are empty: step over eight zero bytes at a time.
            if (x + 8 <= page.m_width) {
                uint64_t eight;
                std::memcpy(&eight, row + x, 8);
                if (eight == 0) {
                    x += 7;
                    continue;
                }
            }
            const Stamp* stamp = set.byValue[row[x]];
            if (!stamp) continue;
            composite(bits, bytesPerLine, width, height, *stamp, squareLeftColumn(x, set.scale) + stamp->dx,
                      bottomRow + stamp->dy);
        }
    }
    return image;
}

} // namespace

std::optional<QColor> embossDotColour(unsigned value) {
    const auto& colours = dotColours();
    return value < colours.size() ? colours[value] : std::nullopt;
}

QImage embossImage(const PageData& page, EmbossLook look) { return drawDotsStamped(page, embossStamps(embossIndex(page), look)); }

double smallestDotDiameter(const PageData& page, EmbossLook look) {
    const double full = EmbossDiameter[embossIndex(page)];
    return look == EmbossLook::HighContrast ? full * SmallestHighContrastDot : full;
}

QImage inkDotImage(const PageData& page) { return drawDotsStamped(page, inkStamps()); }

QImage rgbImage(const PageData& page) {
    // A buffer with fewer than three bytes a pixel per row (not a kind 4 page) is never wrapped.
    if (page.m_width <= 0 || page.m_height <= 0 || page.m_width > INT_MAX / 3 || page.m_height > INT_MAX ||
        page.m_stride < 3 * page.m_width)
        return {};
    return QImage(static_cast<const uchar*>(page.m_bytes), int(page.m_width), int(page.m_height), qsizetype(page.m_stride),
                  QImage::Format_RGB888);
}

QImage pageImage(const PageData& page, EmbossLook look) {
    switch (page.m_kind) {
    case 1:
    case 2: return embossImage(page, look);
    case 3: return inkDotImage(page);
    case 4: return rgbImage(page);
    default: return {};
    }
}

QSize pageImageSize(const PageData& page) {
    if (page.m_width <= 0 || page.m_height <= 0) return {};
    double scale = 1.0;
    switch (page.m_kind) {
    case 1:
    case 2: scale = EmbossScale[embossIndex(page)]; break;
    case 3: break;
    case 4:
        if (page.m_width > INT_MAX || page.m_height > INT_MAX) return {};
        return QSize(int(page.m_width / 3), int(page.m_height / 3));
    default: return {};
    }
    const double w = std::trunc(double(page.m_width) * scale), h = std::trunc(double(page.m_height) * scale);
    if (w > INT_MAX || h > INT_MAX) return {};
    return QSize(int(w), int(h));
}

} // namespace brelmont::viewer
