// One decoded page: a rectangular byte raster with a row stride.
#pragma once

#include <cstdint>
#include <memory>

namespace brelmont::job {

class PageData {
public:
    // Largest page buffer we agree to allocate; damaged jobs can ask for far more.
    static constexpr int64_t MaxBufferSize = int64_t(512) << 20;

    // Kinds 1 and 2 are emboss pages (one byte per cell), 3 one-bit ink (one byte per pixel),
    // 4 RGB ink (three bytes per pixel). Returns null for a bad kind, negative dimensions, or a
    // buffer larger than MaxBufferSize or than `limit`.
    static std::shared_ptr<PageData> create(int64_t width, int64_t height, int64_t kind, int64_t limit = MaxBufferSize);

    // Row stride of a page of this width and kind; -1 when no such page can be made.
    static int64_t strideFor(int64_t width, int64_t kind);
    // Bytes of the buffer that create() would make; -1 when it would make no page.
    static int64_t bufferSize(int64_t width, int64_t height, int64_t kind, int64_t limit = MaxBufferSize);

    static bool isEmbossKind(int64_t kind) { return kind == 1 || kind == 2; }
    static bool isInkKind(int64_t kind) { return kind == 3 || kind == 4; }
    static int64_t bytesPerCell(int64_t kind) { return kind == 4 ? 3 : 1; }

    // Address of byte x of row y, both clamped to the last column and row. Null on an empty page.
    uint8_t* pixelAddress(int64_t x, int64_t y) const;

    // Row y, or null when y lies outside the page: rows beyond the page are dropped, not clamped.
    uint8_t* row(int64_t y) const { return (y >= 0 && y < m_height) ? m_bytes + y * m_stride : nullptr; }

    const int64_t m_width;
    const int64_t m_height;
    const int64_t m_kind;
    const int64_t m_size;
    const int64_t m_stride;

private:
    PageData(int64_t width, int64_t height, int64_t kind, int64_t stride);

    std::unique_ptr<uint8_t[]> m_data;

public:
    uint8_t* const m_bytes;
};

using PagePtr = std::shared_ptr<PageData>;

// What a page is without its pixels: known from the job before the page is decoded.
struct PageShape {
    int64_t kind = 0, width = 0, height = 0, stride = 0, size = 0;

    bool operator==(const PageShape&) const = default;
    static PageShape of(const PageData& page) { return {page.m_kind, page.m_width, page.m_height, page.m_stride, page.m_size}; }
};

} // namespace brelmont::job
