#include "vutil/framework/wnd.h"

#include <map>
#include <memory>
#include <mutex>

#include "vutil/platform/desktop.h"

namespace vutil {

void CWnd::GetWindowText(CString& text) const { text = GetWindowText(); }

CString CWnd::GetWindowText() const {
    if (!m_hWnd) return CString();
    return CString(platform::WindowTitle(reinterpret_cast<std::uintptr_t>(m_hWnd)));
}

CWnd* CWnd::FromHandle(HWND handle) {
    if (!handle) return nullptr;
    static std::mutex* lock = new std::mutex;
    static auto* windows = new std::map<HWND, std::unique_ptr<CWnd>>;
    std::lock_guard<std::mutex> guard(*lock);
    auto& slot = (*windows)[handle];
    if (!slot) slot = std::make_unique<CWnd>(handle);
    return slot.get();
}

}  // namespace vutil
