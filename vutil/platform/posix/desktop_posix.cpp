// Associations and handlers from the freedesktop.org files: shared-mime-info globs
// for the type, mimeapps.list (then mimeinfo.cache) for the handler, the desktop
// entry for its name, command, icon and actions.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "vutil/platform/codepage.h"
#include "vutil/platform/desktop.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/desktop_files.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/process.h"

namespace vutil::platform {

namespace {

constexpr std::size_t kMaxDesktopFile = 8u << 20;

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

std::string Home() { return Env("HOME"); }

std::vector<std::string> SplitDirs(const std::string& text, const char* fallback) {
    std::vector<std::string> dirs;
    std::string_view rest = text.empty() ? std::string_view(fallback) : std::string_view(text);
    while (true) {
        std::size_t c = rest.find(':');
        std::string dir(rest.substr(0, c));
        if (!dir.empty() && dir[0] == '/') dirs.push_back(dir);  // relative entries are ignored
        if (c == std::string_view::npos) break;
        rest.remove_prefix(c + 1);
    }
    return dirs;
}

std::string DataHome() {
    std::string v = Env("XDG_DATA_HOME");
    return !v.empty() && v[0] == '/' ? v : Home() + "/.local/share";
}
std::string ConfigHome() {
    std::string v = Env("XDG_CONFIG_HOME");
    return !v.empty() && v[0] == '/' ? v : Home() + "/.config";
}
std::vector<std::string> DataDirs() {
    std::vector<std::string> dirs{DataHome()};
    for (auto& d : SplitDirs(Env("XDG_DATA_DIRS"), "/usr/local/share:/usr/share")) dirs.push_back(d);
    return dirs;
}

bool ReadSmallFile(const std::string& path, std::string& text) {
    posix::FileDescriptor fd(posix::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) return false;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    text.clear();
    return posix::ReadAll(fd.Get(), text, kMaxDesktopFile) == 0;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string MimeForExtension(std::string_view extension) {
    std::string lower(extension);
    for (auto& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    std::string text;
    for (const auto& dir : DataDirs()) {
        posix::GlobMatch best;
        if (ReadSmallFile(dir + "/mime/globs2", text)) posix::MatchGlobs(text, lower, true, best);
        else if (ReadSmallFile(dir + "/mime/globs", text)) posix::MatchGlobs(text, lower, false, best);
        if (!best.type.empty()) return best.type;  // the user's data directory overrides the system's
    }
    return {};
}

// The desktop entry with the id, when it is an application that can run the verb.
std::optional<DesktopApp> LoadApp(const std::string& id, std::string_view verb) {
    if (id.empty() || id.find("..") != std::string::npos || id.find('/') != std::string::npos) return std::nullopt;
    std::string text;
    for (const auto& dir : DataDirs()) {
        std::string file = dir + "/applications/" + id;
        if (!ReadSmallFile(file, text)) continue;
        posix::KeyFile keys = posix::ParseKeyFile(text);
        auto group = keys.find("Desktop Entry");
        if (group == keys.end()) return std::nullopt;
        auto get = [&](const std::map<std::string, std::string>& g, const char* key) {
            auto it = g.find(key);
            return it == g.end() ? std::string{} : posix::UnescapeValue(it->second);
        };
        const auto& entry = group->second;
        if (get(entry, "Type") != "Application" || get(entry, "Hidden") == "true") return std::nullopt;
        DesktopApp app;
        app.id = id;
        app.name = cp::Utf8ToCp1252(get(entry, "Name"));
        app.icon = cp::Utf8ToCp1252(get(entry, "Icon"));
        if (EqualNoCase(verb, "open")) {
            app.command = get(entry, "Exec");
        } else {
            for (const auto& action : posix::SplitList(get(entry, "Actions"))) {
                if (!EqualNoCase(action, verb)) continue;
                auto actionGroup = keys.find("Desktop Action " + action);
                if (actionGroup != keys.end()) app.command = get(actionGroup->second, "Exec");
                break;
            }
        }
        if (app.command.empty()) return std::nullopt;
        auto words = posix::ExpandExec(app.command, {}, "", "", "");
        if (!words.empty()) app.program = FindProgram(words.front());
        app.command = cp::Utf8ToCp1252(app.command);
        return app;
    }
    return std::nullopt;
}

std::optional<DesktopApp> AppForMime(const std::string& mime, std::string_view verb) {
    if (mime.empty()) return std::nullopt;
    std::vector<std::string> listDirs{ConfigHome()};
    for (auto& d : SplitDirs(Env("XDG_CONFIG_DIRS"), "/etc/xdg")) listDirs.push_back(d);
    for (auto& d : DataDirs()) listDirs.push_back(d + "/applications");
    std::vector<std::string> desktops;
    for (auto& d : SplitDirs("/" + Env("XDG_CURRENT_DESKTOP"), "")) {
        std::string name = d.substr(1);
        for (auto& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!name.empty()) desktops.push_back(name);
    }
    std::vector<posix::KeyFile> lists;
    std::string text;
    for (const auto& dir : listDirs) {
        for (const auto& desk : desktops)
            if (ReadSmallFile(dir + "/" + desk + "-mimeapps.list", text)) lists.push_back(posix::ParseKeyFile(text));
        if (ReadSmallFile(dir + "/mimeapps.list", text)) lists.push_back(posix::ParseKeyFile(text));
    }
    for (const char* section : {"Default Applications", "Added Associations"}) {
        for (const auto& list : lists) {
            auto group = list.find(section);
            if (group == list.end()) continue;
            auto it = group->second.find(mime);
            if (it == group->second.end()) continue;
            for (const auto& id : posix::SplitList(it->second))
                if (auto app = LoadApp(id, verb)) return app;
        }
    }
    for (const auto& dir : DataDirs()) {
        if (!ReadSmallFile(dir + "/applications/mimeinfo.cache", text)) continue;
        auto cache = posix::ParseKeyFile(text);
        auto group = cache.find("MIME Cache");
        if (group == cache.end()) continue;
        auto it = group->second.find(mime);
        if (it == group->second.end()) continue;
        for (const auto& id : posix::SplitList(it->second))
            if (auto app = LoadApp(id, verb)) return app;
    }
    return std::nullopt;
}

// "http:" and the like; a drive letter is not a scheme.
std::string SchemeOf(std::string_view target) {
    std::size_t c = target.find(':');
    if (c == std::string_view::npos || c < 2) return {};
    for (std::size_t i = 0; i < c; ++i) {
        char ch = target[i];
        bool ok = std::isalpha(static_cast<unsigned char>(ch)) || (i > 0 && (std::isdigit(static_cast<unsigned char>(ch)) || ch == '+' || ch == '-' || ch == '.'));
        if (!ok) return {};
    }
    std::string scheme(target.substr(0, c));
    for (auto& ch : scheme) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return scheme;
}

DWORD Fail(DWORD code) {
    SetLastErrorCode(code);
    return code;
}

}  // namespace

std::optional<DesktopApp> AppForExtension(std::string_view extension, std::string_view verb) {
    if (extension.size() > 1 && extension.back() == ':')
        return AppForMime("x-scheme-handler/" + std::string(extension.substr(0, extension.size() - 1)), verb);
    if (extension.size() < 2 || extension[0] != '.') return std::nullopt;
    return AppForMime(MimeForExtension(extension), verb);
}

std::optional<DesktopApp> DefaultBrowser() {
    if (auto app = AppForMime("x-scheme-handler/http", "open")) return app;
    return AppForMime("text/html", "open");
}

DWORD OpenWithHandler(std::string_view target, std::string_view parameters, std::string_view dir,
                      std::string_view verb) {
    try {
        std::string scheme = SchemeOf(target);
        std::string mime, argument;
        if (!scheme.empty() && scheme != "file") {
            mime = "x-scheme-handler/" + scheme;
            argument = std::string(target);
        } else {
            std::string_view path = target;
            if (scheme == "file") {
                path.remove_prefix(5);
                while (path.size() > 1 && path[0] == '/' && path[1] == '/') path.remove_prefix(1);
            }
            auto host = ToHostPath(path);
            if (!host) return Fail(kErrorPathNotFound);
            struct stat st {};
            if (::stat(host->c_str(), &st) != 0) return Fail(SetLastErrorFromErrno(errno));
            argument = *host;
            if (S_ISDIR(st.st_mode)) {
                mime = "inode/directory";
            } else {
                std::size_t slash = host->rfind('/');
                std::size_t dot = host->rfind('.');
                if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
                    mime = MimeForExtension(std::string_view(*host).substr(dot));
                if (mime.empty() && EqualNoCase(verb, "open") && ::access(host->c_str(), X_OK) == 0) {
                    // A program without a known type runs itself, as opening one does elsewhere.
                    std::vector<std::string> argv{FromHostPath(*host)};
                    for (auto& p : SplitCommandLine(parameters)) argv.push_back(std::move(p));
                    ProcessId pid = 0;
                    if (!StartProcess(argv, dir.empty() ? std::string_view(".") : dir, pid)) return GetLastErrorCode();
                    std::uint32_t code = 0;
                    WaitForProcess(pid, code);
                    return 0;
                }
            }
        }
        auto app = AppForMime(mime, verb);
        if (!app || app->program.empty()) return Fail(kErrorNoAssociation);
        std::vector<std::string> argv = posix::ExpandExec(cp::Cp1252ToUtf8(app->command), {argument},
                                                          cp::Cp1252ToUtf8(app->name), cp::Cp1252ToUtf8(app->icon), "");
        if (argv.empty()) return Fail(kErrorNoAssociation);
        for (auto& p : SplitCommandLine(parameters)) argv.push_back(std::move(p));
        argv[0] = *ToHostPath(app->program);

        std::string noOpen = Env("VUTIL_NO_OPEN");
        if (!noOpen.empty()) {
            if (noOpen.find('/') != std::string::npos) {
                std::string line;
                for (const auto& a : argv) line += (line.empty() ? "" : " ") + a;
                line += '\n';
                posix::FileDescriptor fd(posix::Open(noOpen.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
                if (fd.Valid()) posix::WriteAll(fd.Get(), line.data(), line.size());
            }
            return 0;
        }
        // A short-lived shell puts the handler in the background, so it is never our
        // child and nobody has to reap it.
        std::vector<std::string> shell{"/bin/sh", "-c", "\"$0\" \"$@\" </dev/null >/dev/null 2>&1 &"};
        shell.insert(shell.end(), argv.begin(), argv.end());
        ProcessId pid = 0;
        if (!StartProcess(shell, dir.empty() ? std::string_view(".") : dir, pid)) return GetLastErrorCode();
        std::uint32_t code = 0;
        WaitForProcess(pid, code);
        return 0;
    } catch (const std::bad_alloc&) {
        return Fail(kErrorNotEnoughMemory);
    }
}

}  // namespace vutil::platform
