#include "vutil/core/library.h"

#include <atomic>

#include "vutil/core/app_logger.h"
#include "vutil/framework/cstring.h"
#include "vutil/persist/crypto.h"
#include "vutil/system/installed_apps.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {
std::atomic<bool> g_loaded{false};
}  // namespace

// Constant strings are never destroyed, so code that runs during unload may still use
// them; a function-local static is built once even on a first use from many threads.
#define VUTIL_CONSTANT(name, text)                               \
    const CString& name() {                                       \
        static const CString* const s_value = new CString(text);  \
        return *s_value;                                          \
    }
VUTIL_CONSTANT(SeparatorCRLF, "\r\n")
VUTIL_CONSTANT(SeparatorCommaSpace, ", ")
VUTIL_CONSTANT(SeparatorSpace, " ")
VUTIL_CONSTANT(SeparatorSlash, "/")
VUTIL_CONSTANT(SeparatorColon, ":")
VUTIL_CONSTANT(SeparatorBackslash, "\\")
#undef VUTIL_CONSTANT

namespace library {

void OnLoad() {
    CStringUtils::DoPreLoad();
    g_loaded = true;
}

void OnUnload() {
    // Singletons go in this order: installed programs, cipher, logger.
    InstalledApps::DeleteInstance();
    CCrypto::DeleteInstance();
    CAppLogger::DeleteInstance();
    g_loaded = false;
}

bool IsLoaded() noexcept { return g_loaded; }

}  // namespace library

}  // namespace vutil
