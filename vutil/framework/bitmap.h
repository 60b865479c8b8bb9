#pragma once
// CBitmap: a device-independent picture owned through a bitmap handle. Detaching
// hands the handle on (the clipboard takes it); the new owner frees it with
// CBitmap::DestroyHandle.

#include <cstdint>
#include <string>

#include "vutil/framework/types.h"

namespace vutil {

struct HBITMAP__;
using HBITMAP = HBITMAP__*;

struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 32;
    void* bmBits = nullptr;
};

class CBitmap {
public:
    CBitmap() = default;
    ~CBitmap() { DeleteObject(); }
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;

    // Rows top first, each padded to an even byte count; 24 or 32 bits a pixel
    // (blue, green, red[, unused]). Null bits give a black picture.
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    bool Attach(HBITMAP handle);
    HBITMAP Detach();
    bool DeleteObject();
    int GetBitmap(BITMAP* info) const;
    HBITMAP GetSafeHandle() const { return m_hObject; }
    operator HBITMAP() const { return m_hObject; }  // NOLINT: the framework converts implicitly

    // The picture as a BMP file (32 bits a pixel, bottom row first); empty for null.
    static std::string ToBmpFile(HBITMAP handle);
    static void DestroyHandle(HBITMAP handle);

    HBITMAP m_hObject = nullptr;
};

}  // namespace vutil
