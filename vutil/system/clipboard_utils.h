#pragma once
// CClipboardUtils: text, bitmaps, file lists and the preferred drop effect on the
// clipboard, and tab-separated text, file lists and the drop effect read back.

#include "vutil/framework/bitmap.h"
#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/wnd.h"

namespace vutil {

class CClipboardUtils {
public:
    // Drop effect bits.
    static constexpr unsigned long DROPEFFECT_COPY = 1;
    static constexpr unsigned long DROPEFFECT_MOVE = 2;
    static constexpr unsigned long DROPEFFECT_LINK = 4;

    static bool CopyTextToClipboard(CWnd* wnd, const CString& text);
    static bool CopyBitmapToClipboard(CWnd* wnd, CBitmap* bitmap);
    static bool CopyDropEffectToClipboard(CWnd* wnd, unsigned long effect);
    static bool CopyFilesToClipboard(CWnd* wnd, const CStringList& files, bool copy, bool link);

    static bool ParseClipboardText(CStringList& cells, const CString& rowMarker);
    static bool ParseClipboardDropEffect(bool& copy, bool& link);
    static bool ParseClipboardFilesList(CStringList& files, bool& copy, bool& link);
    static bool ParseClipboardVirtualFilesList(CStringList& files, bool& copy, bool& link);
};

}  // namespace vutil
