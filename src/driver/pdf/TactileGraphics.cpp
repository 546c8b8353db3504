#include "driver/pdf/TactileGraphics.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace brelmont::driver {

namespace {

double darkness(const uint8_t* p) { return 1.0 - (0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]) / 255.0; }

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

    for (int64_t y = 0; y < height; ++y) {
        const int64_t y0 = y * scale, y1 = std::min(sheet.height, y0 + scale);
        for (int64_t x = 0; x < width; ++x) {
            const int64_t x0 = x * scale, x1 = std::min(sheet.width, x0 + scale);
            if (y0 >= y1 || x0 >= x1) continue;
            double sum = 0, deepest = 0;
            const uint8_t* first = sheet.at(x0, y0);
            const uint32_t key = colourKey(first);
            bool uniform = true;
            for (int64_t sy = y0; sy < y1; ++sy)
                for (int64_t sx = x0; sx < x1; ++sx) {
                    const uint8_t* p = sheet.at(sx, sy);
                    const double d = darkness(p);
                    sum += d, deepest = std::max(deepest, d);
                    uniform = uniform && colourKey(p) == key;
                }
            // Blank paper stays blank, however the greys are shifted.
            if (deepest < 1.0 / 255) continue;
            const double mean = sum / double((y1 - y0) * (x1 - x0));
            uint8_t& out = levels[size_t(y * width + x)];
            if (chooser && uniform && mean > PaleDarkness && mean < DeepDarkness) {
                if (const Texture* texture = chooser->textureFor(key, first)) {
                    const uint8_t dot = texture->at(x, y);
                    out = dot == Texture::TopLevel ? style.topLevel : std::min(dot, style.topLevel);
                    continue;
                }
            }
            out = level(adjusted(mean));
            if (out < style.thinLevel && adjusted(deepest) >= 0.5) out = std::min(style.thinLevel, style.topLevel);
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
