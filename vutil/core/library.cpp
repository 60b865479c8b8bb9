#include "vutil/core/library.h"

#include "vutil/core/app_logger.h"
#include "vutil/framework/cstring.h"
#include "vutil/persist/crypto.h"
#include "vutil/system/installed_apps.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {
bool g_loaded = false;

// Constant strings are never destroyed: code that runs during unload may still use them.
const CString& Constant(const char* text, const CString*& slot) {
    if (!slot) slot = new CString(text);
    return *slot;
}
}  // namespace

#define VUTIL_CONSTANT(name, text)             \
    const CString& name() {                     \
        static const CString* s_value = nullptr; \
        return Constant(text, s_value);         \
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
