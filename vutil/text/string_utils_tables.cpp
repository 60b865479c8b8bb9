#include <cctype>

#include "vutil/core/library.h"
#include "vutil/text/string_utils.h"

namespace vutil {

void CStringUtils::DoPreLoad() { CharTables::Fill(); }

bool CStringUtils::IsPunct(int c) noexcept {
    // Compared unsigned: negative values count as above 255.
    if (static_cast<unsigned int>(c) > 255u) return false;
    return std::ispunct(c) != 0;
}

// The load and unload hooks live here because every subsystem reads CStringUtils, so a
// static link keeps this object file; a hook in a file of its own could be dropped.
// Priority 101 runs before every ordinary static initializer. CString alone fills the
// tables through the framework's own hook.
__attribute__((constructor(101))) static void VutilLoad() { library::OnLoad(); }
__attribute__((destructor(101))) static void VutilUnload() { library::OnUnload(); }

}  // namespace vutil
