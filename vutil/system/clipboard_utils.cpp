// The clipboard through the platform's named formats. Every copy replaces the
// whole clipboard, as opening and emptying it does; the drop-file block keeps its
// byte layout wherever the clipboard lives.

#include "vutil/system/clipboard_utils.h"

#include <string>
#include <vector>

#include "vutil/core/app_logger.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/clipboard.h"
#include "vutil/platform/error.h"
#include "vutil/system/system_utils.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

constexpr const char* kText = "CF_TEXT";
constexpr const char* kBitmap = "CF_BITMAP";
constexpr const char* kDrop = "CF_HDROP";
constexpr const char* kDropEffect = "Preferred DropEffect";
constexpr const char* kIdList = "Shell IDList Array";
constexpr int kMaxPath = 260;

void Log(const char* site) {
    if (CAppLogger* log = CAppLogger::GetInstance())
        log->AddLine(CString(site) + CSystemUtils::GetLastError(platform::GetLastErrorCode()));
}

std::string U32(unsigned long v) {
    std::string b(4, '\0');
    for (int i = 0; i < 4; ++i) b[static_cast<std::size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
    return b;
}

unsigned long FromU32(const std::string& b, std::size_t at = 0) {
    unsigned long v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

// Reads a format; a failure to reach the clipboard is logged at the site, a format
// that is just absent is not.
std::optional<std::string> Read(const char* format, const char* site) {
    auto bytes = platform::ClipboardRead(format);
    if (!bytes && platform::GetLastErrorCode() != 0) Log(site);
    return bytes;
}

bool ReadDropEffect(bool& copy, bool& link) {
    copy = true;
    link = false;
    auto bytes = Read(kDropEffect, "{81E85209-B739-4D6B-B56C-0924F7D6A10B}");
    if (!bytes) return false;
    if (bytes->size() < 4) {
        Log("{6B2831AD-4F89-4C89-B957-4ADC436CC54D}");
        return false;
    }
    const unsigned long effect = FromU32(*bytes);
    if (effect & CClipboardUtils::DROPEFFECT_MOVE) copy = false;
    if (effect & CClipboardUtils::DROPEFFECT_LINK) link = true;
    return true;
}

}  // namespace

bool CClipboardUtils::CopyTextToClipboard(CWnd* wnd, const CString& text) {
    if (!wnd) {
        Log("{CFCB0B4F-EE26-4283-BA72-E5378D8ECBE7}");
        return false;
    }
    std::string block(text.GetString());  // the text up to its first zero byte, then one zero
    block += '\0';
    if (!platform::ClipboardPublish({{kText, block}})) {
        Log("{E2C7EB93-E7A9-4248-AF69-8711A4AC7F07}");
        return false;
    }
    return true;
}

bool CClipboardUtils::CopyBitmapToClipboard(CWnd* wnd, CBitmap* bitmap) {
    (void)wnd;
    if (!bitmap) {
        Log("{7B50C049-5BC7-4679-A618-526D47A081D7}");
        return false;
    }
    // The clipboard owns the picture from here on: it keeps the bytes, the handle goes.
    HBITMAP handle = bitmap->Detach();
    platform::ClipboardFormats formats;
    if (handle) formats.emplace_back(kBitmap, CBitmap::ToBmpFile(handle));
    CBitmap::DestroyHandle(handle);
    if (!platform::ClipboardPublish(formats)) {
        Log("{40758C60-8844-47E6-91E7-0FB74A7FFD34}");
        return false;
    }
    return true;
}

bool CClipboardUtils::CopyDropEffectToClipboard(CWnd* wnd, unsigned long effect) {
    if (!wnd) {
        Log("{E6C85663-0DE8-443E-B6DA-C969A9AE1414}");
        return false;
    }
    if (!platform::ClipboardPublish({{kDropEffect, U32(effect)}})) {
        Log("{4EA988DD-95CF-40C5-9D89-0111B0A01D78}");
        return false;
    }
    return true;
}

bool CClipboardUtils::CopyFilesToClipboard(CWnd* wnd, const CStringList& files, bool copy, bool link) {
    if (!wnd) {
        Log("{DFC70E4A-A8AE-4B75-BFDA-0553F58054E6}");
        return false;
    }
    if (files.IsEmpty()) {
        Log("{F538137B-4596-4436-9389-ABFE2D67F25F}");
        return false;
    }
    std::vector<std::string> names;
    for (POSITION pos = files.GetHeadPosition(); pos;) names.push_back(files.GetNext(pos).str());
    unsigned long effect = copy ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    if (link) effect |= DROPEFFECT_LINK;
    if (!platform::ClipboardPublish({{kDrop, platform::EncodeDropFiles(names)}, {kDropEffect, U32(effect)}})) {
        Log("{51EA3D39-66E0-4947-8FD3-CCD8CEA55006}");
        return false;
    }
    return true;
}

bool CClipboardUtils::ParseClipboardText(CStringList& cells, const CString& rowMarker) {
    cells.RemoveAll();
    auto block = Read(kText, "{C36DD526-0FC4-4065-90D6-E54CAA1F6075}");
    if (!block) return false;
    CString rest(block->c_str());  // the block is a zero-terminated string
    while (true) {
        const int end = rest.Find("\r\n");
        CStringArray pieces;
        CStringUtils::SplitLine(end < 0 ? rest : rest.Left(end), "\t", pieces);
        for (int i = 0; i < pieces.GetSize(); ++i) cells.AddTail(pieces[i]);
        if (end < 0) break;
        cells.AddTail(rowMarker);
        rest = rest.Mid(end + 2);
    }
    return true;
}

bool CClipboardUtils::ParseClipboardDropEffect(bool& copy, bool& link) { return ReadDropEffect(copy, link); }

bool CClipboardUtils::ParseClipboardFilesList(CStringList& files, bool& copy, bool& link) {
    auto block = platform::ClipboardRead(kDrop);
    if (!block) {
        Log("{900D62EF-3AA3-409A-9C82-EB9ED0A77A73}");
        return false;
    }
    ReadDropEffect(copy, link);
    for (const auto& raw : platform::DecodeDropFiles(*block)) {
        CString name(raw.substr(0, kMaxPath - 1));
        CStringUtils::Trim(name);
        if (name.IsEmpty()) continue;
        if (CDirUtils::IsDir(name, false)) {
            CDirUtils::EnsureTrailingBackslash(name);
            files.AddTail(name);
        } else if (CFileUtils::IsFile(name, true, false)) {
            files.AddTail(name);
        }
    }
    return true;
}

bool CClipboardUtils::ParseClipboardVirtualFilesList(CStringList& files, bool& copy, bool& link) {
    (void)files, (void)copy, (void)link;
    auto list = platform::ClipboardRead(kIdList);
    if (!list || list->size() < 4) {
        Log("{9B261A76-F433-434C-A9C4-775094DC81D8}");
        return false;
    }
    // The list holds an offset for the parent and one per item after the count; a
    // count the bytes cannot hold is damage, not a reason to ask a billion times.
    const unsigned long count = FromU32(*list);
    if ((list->size() - 4) / 4 < count + 1) {
        Log("{1BE49B69-10F6-45C5-B8D2-2C5BD7F28BF3}");
        return false;
    }
    for (unsigned long i = 0; i < count; ++i) {
        if (!platform::ClipboardRead("FileContents:" + std::to_string(i))) {
            Log("{D1EA6C41-8959-431D-810E-06211078919D}");
            return false;
        }
    }
    return true;
}

}  // namespace vutil
