// Arbitrary bytes as the clipboard's stored forms: the clipboard file, a drop-file
// block, a URI list. Round trips must hold for whatever parsed.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "vutil/platform/clipboard.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vutil::platform;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    ClipboardFormats formats;
    if (ParseClipboard(bytes, formats)) {
        ClipboardFormats again;
        if (!ParseClipboard(SerializeClipboard(formats), again) || again != formats) std::abort();
    }

    // Names that come out of a block go back in and out unchanged.
    auto names = DecodeDropFiles(bytes);
    if (DecodeDropFiles(EncodeDropFiles(names)) != names) std::abort();

    for (const auto& path : FileUrisToPaths(bytes)) {
        auto back = FileUrisToPaths(PathToFileUri(path));
        if (back.size() != 1 || back[0] != path) std::abort();
    }
    return 0;
}
