#include "driver/pdf/TactileGraphics.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace brelmont::driver {

namespace {

// Darkness in thousandths of a level step: 0 white to 255000 black.
int darkness(const uint8_t* p) { return 255000 - (299 * p[0] + 587 * p[1] + 114 * p[2]); }
constexpr double Black = 255000;

// Near-white stays blank and near-black stays solid: only the colours between get textures.
constexpr double PaleDarkness = 0.1, DeepDarkness = 0.85;

// The texture of each colour of a page: a texture bound to a colour takes the colours near it; the
// others go to the remaining colours in the order they first appear. Colours past the textures (or
// past a few hundred) get none.
class TextureChooser {
public:
    explicit TextureChooser(const PatternSet& patterns) : m_patterns(patterns) {}

    const Texture* textureFor(uint32_t key, const uint8_t* colour) {
        if (const auto found = m_chosen.find(key); found != m_chosen.end()) return found->second;
        if (m_chosen.size() >= 512) return nullptr;
        const Texture* texture = nearestBound(colour);
        while (!texture && m_nextFree < m_patterns.textures.size())
            if (const Texture& t = m_patterns.textures[m_nextFree++]; !t.colour) texture = &t;
        return m_chosen[key] = texture;
    }

private:
    const Texture* nearestBound(const uint8_t* colour) const {
        const Texture* best = nullptr;
        int bestDistance = 48 * 48 * 3 + 1;
        for (const Texture& t : m_patterns.textures) {
            if (!t.colour) continue;
            int distance = 0;
            for (int c = 0; c < 3; ++c) distance += ((*t.colour)[c] - colour[c]) * ((*t.colour)[c] - colour[c]);
            if (distance < bestDistance) bestDistance = distance, best = &t;
        }
        return best;
    }

    const PatternSet& m_patterns;
    std::unordered_map<uint32_t, const Texture*> m_chosen;
    size_t m_nextFree = 0;
};

uint32_t colourKey(const uint8_t* p) { return uint32_t(p[0] >> 3) << 10 | uint32_t(p[1] >> 3) << 5 | uint32_t(p[2] >> 3); }

} // namespace

std::vector<uint8_t> tactileGraphic(const RgbImage& sheet, int64_t scale, int64_t width, int64_t height,
                                    const GraphicsStyle& style) {
    std::vector<uint8_t> levels(size_t(width * height), 0);
    const double stretch = (100.0 + style.contrast) / 100.0, shift = style.brightness / 100.0;
    const auto adjusted = [&](double d) { return std::clamp((d - 0.5) * stretch + 0.5 - shift, 0.0, 1.0); };
    const auto level = [&](double d) -> uint8_t {
        if (d < 0.5 / style.topLevel) return 0;
        return uint8_t(std::clamp<long>(std::lround(d * style.topLevel), 1, style.topLevel));
    };
    std::optional<TextureChooser> chooser;
    if (style.patterns && !style.patterns->textures.empty()) chooser.emplace(*style.patterns);

    // Row by row of positions: the sums, deepest darkness and sameness of colour of each
    // position's pixels, gathered over its `scale` rows of pixels.
    const int64_t columns = std::min(width, (sheet.width + scale - 1) / scale);
    std::vector<int64_t> sums(static_cast<size_t>(columns));
    std::vector<int> deepest(static_cast<size_t>(columns));
    std::vector<uint8_t> uniform(static_cast<size_t>(columns));
    std::vector<int64_t> counts(static_cast<size_t>(columns));
    std::vector<int> dark(static_cast<size_t>(sheet.width)); // of one row of pixels
    for (int64_t y = 0; y < height; ++y) {
        const int64_t y0 = y * scale, y1 = std::min(sheet.height, y0 + scale);
        if (y0 >= y1) break;
        std::fill(sums.begin(), sums.end(), 0), std::fill(deepest.begin(), deepest.end(), 0);
        std::fill(uniform.begin(), uniform.end(), 1), std::fill(counts.begin(), counts.end(), 0);
        for (int64_t sy = y0; sy < y1; ++sy) {
            const uint8_t* p = sheet.at(0, sy);
            for (int64_t sx = 0; sx < sheet.width; ++sx) dark[size_t(sx)] = darkness(p + 3 * sx);
            for (int64_t x = 0; x < columns; ++x) {
                const int64_t from = x * scale, to = std::min(sheet.width, from + scale);
                int64_t sum = 0;
                int deep = deepest[size_t(x)];
                for (int64_t sx = from; sx < to; ++sx) sum += dark[size_t(sx)], deep = std::max(deep, dark[size_t(sx)]);
                sums[size_t(x)] += sum, deepest[size_t(x)] = deep, counts[size_t(x)] += to - from;
                if (!chooser || !uniform[size_t(x)]) continue;
                const uint32_t key = colourKey(sheet.at(from, y0));
                for (int64_t sx = from; sx < to; ++sx)
                    if (colourKey(p + 3 * sx) != key) uniform[size_t(x)] = 0;
            }
        }
        for (int64_t x = 0; x < columns; ++x) {
            // Blank paper stays blank, however the greys are shifted.
            if (deepest[size_t(x)] < 1000) continue;
            const double mean = double(sums[size_t(x)]) / double(counts[size_t(x)]) / Black;
            uint8_t& out = levels[size_t(y * width + x)];
            if (chooser && uniform[size_t(x)] && mean > PaleDarkness && mean < DeepDarkness) {
                const uint8_t* colour = sheet.at(x * scale, y0);
                if (const Texture* texture = chooser->textureFor(colourKey(colour), colour)) {
                    const uint8_t dot = texture->at(x, y);
                    out = dot == Texture::TopLevel ? style.topLevel : std::min(dot, style.topLevel);
                    continue;
                }
            }
            out = level(adjusted(mean));
            if (out < style.thinLevel && adjusted(deepest[size_t(x)] / Black) >= 0.5)
                out = std::min(style.thinLevel, style.topLevel);
        }
    }
    return levels;
}

void whiten(RgbImage& image, double left, double top, double right, double bottom) {
    const int64_t x0 = std::max<int64_t>(0, int64_t(std::floor(left))),
                  x1 = std::min<int64_t>(image.width, int64_t(std::ceil(right)));
    const int64_t y0 = std::max<int64_t>(0, int64_t(std::floor(top))),
                  y1 = std::min<int64_t>(image.height, int64_t(std::ceil(bottom)));
    for (int64_t y = y0; y < y1; ++y)
        if (x1 > x0) std::fill_n(image.pixels.begin() + (y * image.width + x0) * 3, (x1 - x0) * 3, uint8_t(0xFF));
}

} // namespace brelmont::driver
