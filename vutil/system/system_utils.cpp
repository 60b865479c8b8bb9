#include "vutil/system/system_utils.h"

#include "vutil/core/text_array.h"
#include "vutil/platform/error.h"
#include "vutil/platform/system.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

// The shell's file-operation codes; they win over the system's text for the same numbers.
const char* ShellOperationText(unsigned long code) {
    switch (code) {
        case 32: return "The target file is being used by another application.";
        case 113: return "The source and destination files are the same file.";
        case 114: return "Multiple file paths were specified, but only one destination file path.";
        case 115: return "Rename operation was specified but the destination path is a different directory.";
        case 116: return "The source is a root directory, which cannot be moved or renamed.";
        case 117: return "The operation was canceled.";
        case 118: return "The destination is a subtree of the source.";
        case 120: return "Security settings denied access to the source.";
        case 121: return "The source or destination path is too long.";
        case 122: return "The operation involved multiple destination paths.";
        case 124: return "The source and/or destination path is invalid.";
        case 125: return "The source and destination have the same parent folder.";
        case 126: return "The destination path is an existing file.";
        case 128: return "The destination path is an existing folder.";
        case 129: return "The name of the file is too long.";
        case 130: return "The destination is a read-only CD-ROM, possibly unformatted.";
        case 131: return "The destination is a read-only DVD, possibly unformatted.";
        case 132: return "The destination is a writable CD-ROM, possibly unformatted.";
        case 133: return "The file involved in the operation is too large for the destination media or file system.";
        case 134: return "The source is a read-only CD-ROM.";
        case 135: return "The source is a read-only DVD.";
        case 136: return "The source is a writable CD-ROM, possibly unformatted.";
        case 183: return "The source or destination path was too long.";
        case 1026: return "An unknown error occurred. This is typically due to an invalid path in the source or destination.";
        case 65536: return "An unspecified error occurred on the destination.";
        case 65652: return "Destination is a root directory and cannot be renamed.";
        default: return nullptr;
    }
}

}  // namespace

CString CSystemUtils::GetLastError(unsigned long code) {
    if (code == 0) code = platform::GetLastErrorCode();
    if (code == 0) return CString();
    if (const char* text = ShellOperationText(code)) return CString(text);
    CString text(platform::GetErrorMessage(static_cast<DWORD>(code)));
    CStringUtils::Trim(text);
    if (!text.IsEmpty() && text[text.GetLength() - 1] != '.') text += '.';
    return text;
}

void CSystemUtils::GetOSVersion(bool& ver5x, bool& ver60, bool& ver61, bool& verNewer) {
    ver5x = ver60 = ver61 = verNewer = false;
    unsigned int major = 0, minor = 0;
    if (!platform::QueryOSVersion(major, minor)) return;
    if (major == 5 && minor > 0) ver5x = true;
    else if (major == 6 && minor == 0) ver60 = true;
    else if (major == 6 && minor == 1) ver61 = true;
    else if (major == 6 || major == 7 || major == 8) verNewer = true;
}

int CSystemUtils::GetMouseScrollLines() {
    int lines = 0;
    return platform::QueryWheelScrollLines(lines) ? lines : 0;
}

void CSystemUtils::GetScreenWorkArea(int& width, int& height) {
    int w = 0, h = 0;
    if (!platform::QueryVirtualScreenSize(w, h)) w = h = 0;
    width = w;
    height = h;
}

CString CSystemUtils::GetUserSID() {
    const CString profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    TextArray sids;
    CRegistryUtils::GetSubKeys(HKEY_LOCAL_MACHINE, profiles, sids, false);
    // Until the directories code offers the special folders, the platform names it.
    CString appData(platform::UserAppDataFolder());
    for (unsigned int i = 0; i < sids.GetCount(); ++i) {
        CString image = CRegistryUtils::GetKeyValue(HKEY_LOCAL_MACHINE, profiles + "\\" + sids.GetAt(i), "ProfileImagePath", false);
        if (CStringUtils::MatchFirstChars(appData, image, false)) return sids.GetAt(i);
    }
    return CString();
}

}  // namespace vutil
