#pragma once
// Stand-in for CDirUtils::ParseParentDir, with the same behaviour, until the
// directories class carries it; then the call site switches and this file goes.

#include "vutil/framework/cstring.h"

namespace vutil::text_helpers {

// CDirUtils::ParseParentDir
inline CString ParseParentDir(const CString& path) {
    for (int i = path.GetLength() - 2; i >= 0; --i)
        if (path[i] == '\\' || path[i] == '/') return path.Left(i + 1);
    return CString();
}

}  // namespace vutil::text_helpers
