#include "vutil/framework/bitmap.h"

#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <vector>

namespace vutil {

namespace {

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top row first
};

Picture* Of(HBITMAP h) { return reinterpret_cast<Picture*>(h); }

void Put(std::string& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

}  // namespace

bool CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width <= 0 || height <= 0 || planes != 1 || (bitsPerPixel != 24 && bitsPerPixel != 32) ||
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > (1u << 28))
        return false;
    auto picture = std::make_unique<Picture>();
    picture->width = width;
    picture->height = height;
    picture->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    if (bits) {
        const std::size_t bpp = bitsPerPixel / 8;
        const std::size_t stride = (static_cast<std::size_t>(width) * bpp + 1) & ~std::size_t{1};
        const auto* in = static_cast<const unsigned char*>(bits);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const unsigned char* p = in + static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x) * bpp;
                picture->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                    static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                    (static_cast<std::uint32_t>(p[2]) << 16);
            }
    }
    DeleteObject();
    m_hObject = reinterpret_cast<HBITMAP>(picture.release());
    return true;
}

bool CBitmap::Attach(HBITMAP handle) {
    if (!handle || m_hObject) return false;
    m_hObject = handle;
    return true;
}

HBITMAP CBitmap::Detach() {
    HBITMAP h = m_hObject;
    m_hObject = nullptr;
    return h;
}

bool CBitmap::DeleteObject() {
    if (!m_hObject) return false;
    DestroyHandle(Detach());
    return true;
}

int CBitmap::GetBitmap(BITMAP* info) const {
    if (!m_hObject || !info) return 0;
    const Picture* p = Of(m_hObject);
    info->bmType = 0;
    info->bmWidth = p->width;
    info->bmHeight = p->height;
    info->bmWidthBytes = p->width * 4;
    info->bmPlanes = 1;
    info->bmBitsPixel = 32;
    info->bmBits = nullptr;
    return static_cast<int>(sizeof(BITMAP));
}

std::string CBitmap::ToBmpFile(HBITMAP handle) {
    if (!handle) return {};
    const Picture* p = Of(handle);
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(p->pixels.size() * 4);
    std::string out;
    out.reserve(54 + pixelBytes);
    out += "BM";
    Put(out, 54 + pixelBytes, 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);  // the plain information header every reader knows
    Put(out, static_cast<std::uint32_t>(p->width), 4);
    Put(out, static_cast<std::uint32_t>(p->height), 4);
    Put(out, 1, 2);
    Put(out, 32, 2);
    Put(out, 0, 4);
    Put(out, pixelBytes, 4);
    Put(out, 2835, 4);  // 72 dots per inch
    Put(out, 2835, 4);
    Put(out, 0, 4);
    Put(out, 0, 4);
    for (int y = p->height - 1; y >= 0; --y)
        for (int x = 0; x < p->width; ++x)
            Put(out, p->pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p->width) + static_cast<std::size_t>(x)], 4);
    return out;
}

void CBitmap::DestroyHandle(HBITMAP handle) { delete Of(handle); }

}  // namespace vutil
