#pragma once
// CImageList: an ordered list of icons, each kept as RGBA pixels.

#include <vector>

#include "vutil/framework/cstring.h"
#include "vutil/framework/icon_image.h"

namespace vutil {

class CImageList {
public:
    int GetImageCount() const noexcept { return static_cast<int>(m_images.size()); }
    // Appends; returns the new image's index, or -1 for an empty image.
    int Add(const IconImage& icon);
    // Replaces image nImage; -1 appends. Returns the index, or -1.
    int Replace(int nImage, const IconImage& icon);
    // Removes image nImage; -1 removes every image.
    BOOL Remove(int nImage);
    // Null for an index out of range.
    const IconImage* GetImage(int nImage) const noexcept;

    // Write image nImage to a file, replacing it whole or not at all.
    bool WritePng(int nImage, const CString& path) const;
    bool WriteIco(int nImage, const CString& path) const;

private:
    std::vector<IconImage> m_images;
};

}  // namespace vutil
