#include "job/PageData.h"

#include <cstring>
#include <new>

namespace brelmont::job {

namespace {

int64_t roundUp(int64_t value, int64_t multiple) { return (value + multiple - 1) / multiple * multiple; }

} // namespace

int64_t PageData::strideFor(int64_t width, int64_t kind) {
    if (width < 0 || width > PageData::MaxBufferSize) return -1;
    switch (kind) {
    case 1:
    case 3: return roundUp(width, 2);
    case 2: return roundUp(width, 4);
    case 4: return roundUp(3 * width, 4);
    default: return -1;
    }
}

int64_t PageData::bufferSize(int64_t width, int64_t height, int64_t kind, int64_t limit) {
    const int64_t stride = strideFor(width, kind);
    if (stride < 0 || height < 0) return -1;
    int64_t size = 0;
    if (__builtin_mul_overflow(stride, height, &size) || size > MaxBufferSize || size > limit) return -1;
    return size;
}

std::shared_ptr<PageData> PageData::create(int64_t width, int64_t height, int64_t kind, int64_t limit) {
    const int64_t size = bufferSize(width, height, kind, limit);
    if (size < 0) return nullptr;
    const int64_t stride = strideFor(width, kind);
    try {
        return std::shared_ptr<PageData>(new PageData(width, height, kind, stride));
    } catch (const std::bad_alloc&) { return nullptr; }
}

PageData::PageData(int64_t width, int64_t height, int64_t kind, int64_t stride)
    : m_width(width),
      m_height(height),
      m_kind(kind),
      m_size(stride * height),
      m_stride(stride),
      m_data(new uint8_t[size_t(stride * height)]),
      m_bytes(m_data.get()) {
    std::memset(m_bytes, kind == 4 ? 0xFF : 0x00, size_t(m_size));
}

uint8_t* PageData::pixelAddress(int64_t x, int64_t y) const {
    if (m_width <= 0 || m_height <= 0) return nullptr;
    const int64_t bx = uint64_t(x) >= uint64_t(m_width) ? m_width - 1 : x;
    const int64_t by = uint64_t(y) >= uint64_t(m_height) ? m_height - 1 : y;
    return m_bytes + bx + by * m_stride;
}

} // namespace brelmont::job
