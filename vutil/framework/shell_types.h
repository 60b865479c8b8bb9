#pragma once
// Shell item identifier lists and the shell's string-return struct, laid out as the
// shell lays them out, so code that receives them compiles on every platform.

#include "vutil/framework/types.h"

namespace vutil {

// One item identifier: cb counts itself and the bytes that follow.
struct SHITEMID {
    WORD cb;
    BYTE abID[1];
};

// A list of item identifiers back to back, ended by one whose cb is 0.
struct ITEMIDLIST {
    SHITEMID mkid;
};
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The kinds of string a STRRET carries.
enum STRRET_TYPE : UINT {
    STRRET_WSTR = 0,    // pOleStr: a wide string the receiver frees
    STRRET_OFFSET = 1,  // uOffset: a narrow string at that byte offset in the item list
    STRRET_CSTR = 2,    // cStr: a narrow string held inline
};

struct STRRET {
    UINT uType;
    union {
        wchar_t* pOleStr;
        UINT uOffset;
        char cStr[260];  // the shell's path limit
    };
};

}  // namespace vutil
