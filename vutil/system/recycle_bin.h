#pragma once
// RecycleBin: what the user has deleted, where each item came from and where it is
// kept; the bin's size and per-drive settings; emptying it, restoring and deleting
// single items. Windows bins on the drives (both index layouts) are read as plain
// data; the desktop's trash is read and changed as well.

#include <cstdint>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class RecycleBin {
public:
    RecycleBin() = default;
    ~RecycleBin();
    RecycleBin(const RecycleBin& other) = default;
    RecycleBin& operator=(const RecycleBin& other) = default;

    // Both lists are emptied first; entry i of each describes the same item.
    static void GetContent(TextArray& storedFiles, TextArray& formerPaths, bool verbose);
    static std::uint64_t GetContentSize();
    static bool GetHaveContent();
    static bool GetDoNukeOnDelete(const CString& drive);
    static std::uint64_t GetCapacity(const CString& drive);
    static CString GetName();
    static bool DeleteAll();
    bool DoRestore(const CString& storedFile);
    bool DoDelete(const CString& storedFile);

protected:
    static void GetRecycleBinFileListing(CString subdirectory, TextArray& files);
    static void DoGetContentXP(TextArray& storedFiles, TextArray& formerPaths, bool verbose);
    static void DoGetContentVista(TextArray& storedFiles, TextArray& formerPaths);
    static int HexToInt(const char* bytes, int count);
    bool ExecCommand(const CString& storedFile, const char* verb);

    // The desktop trash's items, after the Windows bins.
    static void DoGetContentTrash(TextArray& storedFiles, TextArray& formerPaths);
    // Everything listed, without the empty-bin shortcut.
    static void GetAllContent(TextArray& storedFiles, TextArray& formerPaths, bool verbose);

    // The shell's folder object of the bin; this platform has no shell to bind, so it
    // stays null and is copied as it is.
    void* m_pRecycleBinFolder = nullptr;
};

}  // namespace vutil
