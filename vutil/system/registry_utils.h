#pragma once
// CRegistryUtils: the library's one gateway to the registry (on POSIX, the
// settings store of vutil/platform/settings.h).

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class CRegistryUtils {
public:
    // Value data is read through a 999-byte buffer; longer data counts as unreadable.
    static constexpr unsigned int kValueBufferSize = 999;
    // Key and value names are read through buffers of this many characters.
    static constexpr unsigned int kNameBufferSize = 259;

    static CString GetKeyValue(HKEY root, const CString& subKey, const CString& valueName, bool decrypt = false);
    static bool CreateKeyAndValue(HKEY root, const CString& subKey, const CString& valueName, const CString& value,
                                  bool encrypt = false);
    static bool DeleteKey(HKEY root, const CString& keyPath);
    static bool DeleteValue(HKEY root, const CString& subKey, const CString& valueName);
    static bool HaveKey(HKEY root, const CString& subKey);
    static bool HaveValue(HKEY root, const CString& subKey, const CString& valueName);
    static void GetKeyValues(HKEY root, const CString& subKey, TextArray& names);
    static void GetSubKeys(HKEY root, const CString& subKey, TextArray& names, bool recursive);

private:
    static void GetSubKeysPrivate(HKEY root, const CString& path, TextArray& names, bool recursive);
};

}  // namespace vutil
