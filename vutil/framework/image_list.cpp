#include "vutil/framework/image_list.h"

#include <string>

#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"

namespace vutil {

namespace {

bool Valid(const IconImage& icon) {
    return !icon.IsEmpty() && icon.rgba.size() == static_cast<std::size_t>(icon.width) * icon.height * 4;
}

// A temporary file beside the target, renamed over it once it holds every byte.
bool WriteWhole(const CString& path, const std::string& bytes) {
    if (bytes.empty() || path.IsEmpty()) {
        platform::SetLastErrorCode(platform::kErrorInvalidParameter);
        return false;
    }
    std::string target(path.GetString());
    std::size_t cut = target.find_last_of("\\/");
    std::string dir = cut == std::string::npos ? std::string(".\\") : target.substr(0, cut + 1);
    unsigned int used = 0;
    std::string temp = platform::CreateTempFileName(dir, "ico", 0, used);
    if (temp.empty()) return false;
    platform::FileHandle h = platform::OpenFile(temp, platform::kFileWrite);
    bool ok = h != platform::kInvalidFile && platform::WriteFile(h, bytes.data(), bytes.size()) >= 0;
    if (h != platform::kInvalidFile) ok = platform::CloseFile(h) && ok;
    ok = ok && platform::RenameReplacing(temp, target);
    if (!ok) {
        DWORD code = platform::GetLastErrorCode();
        platform::RemoveFile(temp);
        platform::SetLastErrorCode(code);
    }
    return ok;
}

}  // namespace

int CImageList::Add(const IconImage& icon) {
    return Replace(-1, icon);
}

int CImageList::Replace(int nImage, const IconImage& icon) {
    if (!Valid(icon)) return -1;
    if (nImage == -1) {
        m_images.push_back(icon);
        return GetImageCount() - 1;
    }
    if (nImage < 0 || nImage >= GetImageCount()) return -1;
    m_images[static_cast<std::size_t>(nImage)] = icon;
    return nImage;
}

BOOL CImageList::Remove(int nImage) {
    if (nImage == -1) {
        m_images.clear();
        return 1;
    }
    if (nImage < 0 || nImage >= GetImageCount()) return 0;
    m_images.erase(m_images.begin() + nImage);
    return 1;
}

const IconImage* CImageList::GetImage(int nImage) const noexcept {
    return nImage >= 0 && nImage < GetImageCount() ? &m_images[static_cast<std::size_t>(nImage)] : nullptr;
}

bool CImageList::WritePng(int nImage, const CString& path) const {
    const IconImage* icon = GetImage(nImage);
    return icon && WriteWhole(path, EncodePng(*icon));
}

bool CImageList::WriteIco(int nImage, const CString& path) const {
    const IconImage* icon = GetImage(nImage);
    return icon && WriteWhole(path, EncodeIco(*icon));
}

}  // namespace vutil
