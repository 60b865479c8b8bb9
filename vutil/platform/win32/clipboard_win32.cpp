// The clipboard on Windows. The library's named formats map to the system's: text
// goes on as Unicode converted from Windows-1252 (so a program reading it in another
// code page still sees the same characters) and as the bytes themselves; a BMP file
// goes on as a device-independent bitmap; the drop-file block is rebuilt with real
// UTF-16 names; every other name is a registered format holding its bytes.

#include "vutil/platform/win32/win32_util.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>

#include "vutil/platform/clipboard.h"

namespace vutil::platform {

namespace {

constexpr std::size_t kFileHeader = 14;  // "BM", file size, two reserved words, bits offset

struct Standard {
    const char* name;
    UINT id;
};
// The predefined formats a caller may name; anything else is registered by name.
constexpr Standard kStandard[] = {
    {"CF_TEXT", CF_TEXT},           {"CF_BITMAP", CF_BITMAP},   {"CF_HDROP", CF_HDROP},
    {"CF_UNICODETEXT", CF_UNICODETEXT}, {"CF_OEMTEXT", CF_OEMTEXT}, {"CF_DIB", CF_DIB},
    {"CF_DIBV5", CF_DIBV5},         {"CF_LOCALE", CF_LOCALE},   {"CF_SYLK", CF_SYLK},
    {"CF_DIF", CF_DIF},             {"CF_RIFF", CF_RIFF},       {"CF_WAVE", CF_WAVE},
};

UINT FormatId(std::string_view name) {
    for (const auto& s : kStandard)
        if (name == s.name) return s.id;
    return ::RegisterClipboardFormatW(win32::Wide(name).c_str());
}

std::uint32_t Le32(std::string_view b, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(b[at + static_cast<std::size_t>(i)]);
    return v;
}

void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

// Opens the clipboard for this thread, giving another program that holds it a moment
// to let go. The window owns what we put on it.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 0; attempt < 10; ++attempt) {
            if (::OpenClipboard(owner)) {
                m_open = true;
                return;
            }
            ::Sleep(20 * (attempt + 1));
        }
    }
    ~OpenedClipboard() { Close(); }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    explicit operator bool() const { return m_open; }
    bool Close() {
        if (!m_open) return true;
        m_open = false;
        return ::CloseClipboard() != 0;
    }

private:
    bool m_open = false;
};

// A message-only window to own the clipboard: with no owner, emptying leaves the
// clipboard to nobody and some systems refuse the data that follows.
class OwnerWindow {
public:
    OwnerWindow()
        : m_hwnd(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr)) {}
    ~OwnerWindow() {
        if (m_hwnd) ::DestroyWindow(m_hwnd);
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    HWND get() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

// Puts bytes on the open clipboard in a movable block the system then owns.
bool Put(UINT id, const void* data, std::size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!block) return false;
    void* p = ::GlobalLock(block);
    if (!p) {
        ::GlobalFree(block);
        return false;
    }
    if (size) std::memcpy(p, data, size);
    else static_cast<char*>(p)[0] = '\0';
    ::GlobalUnlock(block);
    if (!::SetClipboardData(id, block)) {
        const ::DWORD err = ::GetLastError();
        ::GlobalFree(block);
        ::SetLastError(err ? err : ERROR_INVALID_DATA);
        return false;
    }
    return true;
}

bool PutText(std::string_view bytes) {
    const std::string text(bytes.substr(0, bytes.find('\0')));
    const std::wstring wide = win32::Wide(text);
    return Put(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t)) &&
           Put(CF_TEXT, text.c_str(), text.size() + 1);
}

bool PutDropFiles(std::string_view block) {
    // The names were written unit per byte; the system wants them as UTF-16.
    std::string files;
    PutLe32(files, 20);  // the list follows the 20-byte header
    PutLe32(files, 0);
    PutLe32(files, 0);
    PutLe32(files, 0);
    PutLe32(files, 1);
    for (const auto& name : DecodeDropFiles(block)) {
        for (wchar_t unit : win32::Wide(name) + L'\0') {
            files += static_cast<char>(unit & 0xFF);
            files += static_cast<char>((unit >> 8) & 0xFF);
        }
    }
    files.append(2, '\0');
    return Put(CF_HDROP, files.data(), files.size());
}

bool PutBitmap(std::string_view bmp) {
    if (bmp.size() < kFileHeader + sizeof(BITMAPINFOHEADER) || bmp.substr(0, 2) != "BM") {
        ::SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    bmp.remove_prefix(kFileHeader);
    return Put(CF_DIB, bmp.data(), bmp.size());
}

// The bytes of one clipboard block as the system hands it over.
std::optional<std::string> Fetch(UINT id) {
    HANDLE data = ::GetClipboardData(id);
    if (!data) return std::nullopt;
    const SIZE_T size = ::GlobalSize(data);
    const void* p = ::GlobalLock(data);
    if (!p) return std::nullopt;
    std::string bytes(static_cast<const char*>(p), size);
    ::GlobalUnlock(data);
    return bytes;
}

std::optional<std::string> FetchText() {
    if (::IsClipboardFormatAvailable(CF_UNICODETEXT)) {
        auto bytes = Fetch(CF_UNICODETEXT);
        if (!bytes) return std::nullopt;
        std::wstring wide(bytes->size() / 2, L'\0');
        std::memcpy(wide.data(), bytes->data(), wide.size() * 2);
        wide.resize(wide.find(L'\0') == std::wstring::npos ? wide.size() : wide.find(L'\0'));
        return win32::Narrow(wide) + '\0';
    }
    auto bytes = Fetch(CF_TEXT);
    if (!bytes) return std::nullopt;
    return bytes->substr(0, bytes->find('\0')) + '\0';
}

std::optional<std::string> FetchDropFiles() {
    HANDLE data = ::GetClipboardData(CF_HDROP);
    if (!data) return std::nullopt;
    HDROP drop = static_cast<HDROP>(data);
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> names;
    for (UINT i = 0; i < count; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(win32::Narrow(name));
    }
    return EncodeDropFiles(names);
}

std::optional<std::string> FetchBitmap() {
    auto dib = Fetch(CF_DIB);
    if (!dib) return std::nullopt;
    if (dib->size() < sizeof(BITMAPINFOHEADER)) {
        ::SetLastError(ERROR_INVALID_DATA);
        return std::nullopt;
    }
    // The pixels start after the header, the colour masks of a bit-field bitmap with
    // the short header, and the palette.
    const std::uint32_t headerSize = Le32(*dib, 0);
    const unsigned bitCount = static_cast<unsigned char>((*dib)[14]) | (static_cast<unsigned char>((*dib)[15]) << 8);
    const std::uint32_t compression = Le32(*dib, 16);
    std::uint32_t colors = Le32(*dib, 32);
    if (colors == 0 && bitCount <= 8) colors = 1u << bitCount;
    std::uint64_t offset = kFileHeader + std::uint64_t{headerSize} + std::uint64_t{colors} * 4;
    if (headerSize == sizeof(BITMAPINFOHEADER) && (compression == BI_BITFIELDS || compression == 6 /* alpha fields */))
        offset += compression == BI_BITFIELDS ? 12 : 16;
    std::string file = "BM";
    PutLe32(file, static_cast<std::uint32_t>(kFileHeader + dib->size()));
    PutLe32(file, 0);
    PutLe32(file, static_cast<std::uint32_t>(std::min<std::uint64_t>(offset, kFileHeader + dib->size())));
    return file + *dib;
}

}  // namespace

bool ClipboardPublish(const ClipboardFormats& formats) noexcept {
    try {
        OwnerWindow owner;
        OpenedClipboard clipboard(owner.get());
        if (!clipboard) return false;
        if (!::EmptyClipboard()) return false;
        for (const auto& [name, bytes] : formats) {
            bool ok;
            if (name == "CF_TEXT") ok = PutText(bytes);
            else if (name == "CF_HDROP") ok = PutDropFiles(bytes);
            else if (name == "CF_BITMAP") ok = PutBitmap(bytes);
            else {
                const UINT id = FormatId(name);
                ok = id != 0 && Put(id, bytes.data(), bytes.size());
            }
            if (!ok) {
                const ::DWORD err = ::GetLastError();
                clipboard.Close();
                ::SetLastError(err);
                return false;
            }
        }
        return clipboard.Close();
    } catch (...) {
        return win32::Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}

std::optional<std::string> ClipboardRead(std::string_view format) noexcept {
    try {
        const UINT id = format == "CF_TEXT" ? CF_UNICODETEXT : format == "CF_BITMAP" ? CF_DIB : FormatId(format);
        if (id == 0) return std::nullopt;
        const bool text = format == "CF_TEXT";
        OpenedClipboard clipboard(nullptr);
        if (!clipboard) return std::nullopt;
        // Absent is no failure: the last error says so with 0.
        if (!::IsClipboardFormatAvailable(id) && !(text && ::IsClipboardFormatAvailable(CF_TEXT))) {
            clipboard.Close();
            ::SetLastError(0);
            return std::nullopt;
        }
        std::optional<std::string> bytes = text                    ? FetchText()
                                           : format == "CF_HDROP"   ? FetchDropFiles()
                                           : format == "CF_BITMAP" ? FetchBitmap()
                                                                   : Fetch(id);
        ::DWORD err = bytes ? 0 : ::GetLastError();
        if (!bytes && err == 0) err = ERROR_INVALID_DATA;  // there but unreadable is no absence
        clipboard.Close();
        ::SetLastError(err);
        return bytes;
    } catch (...) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return std::nullopt;
    }
}

}  // namespace vutil::platform
