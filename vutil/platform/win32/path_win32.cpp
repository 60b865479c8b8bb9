#include "vutil/platform/path.h"

namespace vutil::platform {

// Library paths are the system's own: only the separators need one form.
namespace {
std::string Backslashed(std::string_view path) {
    std::string out(path);
    for (char& c : out) {
        if (c == '/') c = '\\';
    }
    return out;
}
}  // namespace

std::optional<std::string> ToHostPath(std::string_view path) { return Backslashed(path); }

std::string FromHostPath(std::string_view hostPath) { return Backslashed(hostPath); }

// There is no drive table: the system knows its drives.
void ReloadDriveTable() {}

}  // namespace vutil::platform
