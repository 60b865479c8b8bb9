#include "vutil/framework/char_tables.h"

#include <cctype>

namespace vutil {

int CharTables::m_lowercase[256];
int CharTables::m_uppercase[256];
int CharTables::m_isSpace[256];
int CharTables::m_isDigit[256];
int CharTables::m_isAlpha[256];

void CharTables::Fill() {
    for (int c = 0; c < 256; ++c) {
        m_lowercase[c] = std::tolower(c);
        m_uppercase[c] = std::toupper(c);
        m_isSpace[c] = std::isspace(c);
        m_isDigit[c] = std::isdigit(c);
        m_isAlpha[c] = std::isalpha(c);
    }
}

// Every program that maps case through CString links this file, so the tables are full
// before any ordinary static initializer (priority 101 runs first), in a static link too.
__attribute__((constructor(101))) static void VutilFillCharTables() { CharTables::Fill(); }

}  // namespace vutil
