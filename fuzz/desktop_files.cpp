// Arbitrary bytes as the desktop's text files (key files, MIME globs, Exec lines) and
// as a command line split by the runtime's rules. Checks what must hold whatever the
// input: no crash, splitting is stable once re-quoted, the target is never lost.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "vutil/platform/posix/desktop_files.h"
#include "vutil/platform/process.h"

namespace {

// Quotes one argument so that the runtime's rules give it back unchanged.
std::string Quote(const std::string& arg) {
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') out.append(slashes * 2 + 1, '\\');
        else out.append(slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vutil::platform;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    auto keys = posix::ParseKeyFile(text);
    for (const auto& [group, values] : keys)
        for (const auto& [key, value] : values) {
            (void)posix::SplitList(posix::UnescapeValue(value));
            if (key.empty()) std::abort();
        }

    posix::GlobMatch best;
    posix::MatchGlobs(text, ".txt", true, best);
    posix::MatchGlobs(text, ".txt", false, best);
    if (!best.type.empty() && best.weight < 0) std::abort();

    const std::string_view line = text.substr(0, text.find('\n'));
    // The target always arrives, whether or not the line names it with a code.
    auto words = posix::ExpandExec(line, {"/t/a b"}, "N", "I", "/e.desktop");
    if (words.empty()) std::abort();

    auto args = SplitCommandLine(text);
    std::string joined;
    for (const auto& a : args) joined += Quote(a) + " ";
    if (SplitCommandLine(joined) != args) std::abort();
    return 0;
}
