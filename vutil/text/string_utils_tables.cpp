#include <cctype>

#include "vutil/core/library.h"
#include "vutil/text/string_utils.h"

namespace vutil {

int CStringUtils::m_tableLowercase[256];
int CStringUtils::m_tableUppercase[256];
int CStringUtils::m_tableIsSpace[256];
int CStringUtils::m_tableIsDigit[256];
int CStringUtils::m_tableIsAlpha[256];

void CStringUtils::DoPreLoad() {
    for (int c = 0; c < 256; ++c) {
        m_tableLowercase[c] = std::tolower(c);
        m_tableUppercase[c] = std::toupper(c);
        m_tableIsSpace[c] = std::isspace(c);
        m_tableIsDigit[c] = std::isdigit(c);
        m_tableIsAlpha[c] = std::isalpha(c);
    }
}

bool CStringUtils::IsPunct(int c) noexcept {
    // Compared unsigned: negative values count as above 255.
    if (static_cast<unsigned int>(c) > 255u) return false;
    return std::ispunct(c) != 0;
}

// The load and unload hooks live beside the tables because every program that uses
// the library links this object file (CString's case functions read the tables); in a
// static link a hook in a file of its own could be dropped. Priority 101 runs before
// every ordinary static initializer, so no library code ever sees empty tables.
__attribute__((constructor(101))) static void VutilLoad() { library::OnLoad(); }
__attribute__((destructor(101))) static void VutilUnload() { library::OnUnload(); }

}  // namespace vutil
