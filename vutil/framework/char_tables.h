#pragma once
// The five byte tables CString's case functions and CStringUtils read. They sit here,
// below every subsystem, so the framework needs nothing above it.

namespace vutil {

struct CharTables {
    // Indexed by byte value 0-255; filled at library load from the C runtime.
    static int m_lowercase[256];
    static int m_uppercase[256];
    static int m_isSpace[256];
    static int m_isDigit[256];
    static int m_isAlpha[256];

    static void Fill();
};

}  // namespace vutil
