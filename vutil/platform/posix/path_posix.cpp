#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>

#include "vutil/platform/path.h"

namespace vutil::platform {

namespace {

struct DriveTable {
    std::array<std::string, 26> roots;  // empty: drive unknown
};

DriveTable LoadDrives() {
    DriveTable t;
    t.roots['C' - 'A'] = "/";
    if (const char* env = std::getenv("VUTIL_DRIVES")) {
        std::string_view rest(env);
        while (!rest.empty()) {
            std::size_t semi = rest.find(';');
            std::string_view item = rest.substr(0, semi);
            rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
            std::size_t eq = item.find('=');
            if (eq != 1) continue;
            char letter = item[0];
            if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 'a' + 'A');
            if (letter < 'A' || letter > 'Z') continue;
            std::string root(item.substr(2));
            if (root.empty()) continue;
            t.roots[static_cast<std::size_t>(letter - 'A')] = root;
        }
    }
    return t;
}

std::mutex g_drivesLock;
DriveTable& Drives() {
    static DriveTable table = LoadDrives();
    return table;
}

bool IsSep(char c) { return c == '\\' || c == '/'; }

}  // namespace

void ReloadDriveTable() {
    std::lock_guard lock(g_drivesLock);
    Drives() = LoadDrives();
}

std::optional<std::string> ToHostPath(std::string_view path) {
    std::string out;
    if (path.size() >= 2 && path[1] == ':' &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'))) {
        char letter = path[0] >= 'a' ? static_cast<char>(path[0] - 'a' + 'A') : path[0];
        std::string root;
        {
            std::lock_guard lock(g_drivesLock);
            root = Drives().roots[static_cast<std::size_t>(letter - 'A')];
        }
        if (root.empty()) return std::nullopt;
        out = root;
        path.remove_prefix(2);
        // "C:file" is relative to the drive root here: there is no per-drive directory.
        if (!out.empty() && out.back() != '/') out += '/';
        while (!path.empty() && IsSep(path.front())) path.remove_prefix(1);
    }
    out.reserve(out.size() + path.size());
    for (char c : path) out += c == '\\' ? '/' : c;
    return out;
}

std::string FromHostPath(std::string_view hostPath) {
    std::string best;
    char bestLetter = 0;
    {
        std::lock_guard lock(g_drivesLock);
        const DriveTable& t = Drives();
        for (std::size_t i = 0; i < t.roots.size(); ++i) {
            const std::string& root = t.roots[i];
            if (root.empty() || root.size() <= best.size()) continue;
            std::string_view r(root);
            while (r.size() > 1 && r.back() == '/') r.remove_suffix(1);
            bool match = r == "/" ? !hostPath.empty() && hostPath[0] == '/'
                                  : hostPath.substr(0, r.size()) == r &&
                                        (hostPath.size() == r.size() || hostPath[r.size()] == '/');
            if (match) {
                best = std::string(r);
                bestLetter = static_cast<char>('A' + i);
            }
        }
    }
    std::string out;
    std::string_view rest = hostPath;
    if (bestLetter) {
        out += bestLetter;
        out += ':';
        rest.remove_prefix(best == "/" ? 0 : best.size());
        if (rest.empty()) out += '\\';
    }
    for (char c : rest) out += c == '/' ? '\\' : c;
    return out;
}

}  // namespace vutil::platform
