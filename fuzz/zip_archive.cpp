// Opens arbitrary bytes as a zip archive, reads every entry and extracts the whole
// archive into a scratch folder; nothing may appear outside that folder.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <random>

#include "vutil/files/zip_archive.h"

namespace {

const std::filesystem::path& Root() {
    // Never destroyed, so the exit handler can still remove the folder.
    static const std::filesystem::path& root = *[] {
        // Memory-backed when the system has it: each input is a small file write.
        std::error_code ec;
        const auto base = std::filesystem::is_directory("/dev/shm", ec) ? std::filesystem::path("/dev/shm")
                                                                          : std::filesystem::temp_directory_path();
        auto* p = new std::filesystem::path(base / ("vutil-fuzz-zip-" + std::to_string(std::random_device{}())));
        std::filesystem::create_directories(*p);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(Root(), ignored);
        });
        return p;
    }();
    return root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto& root = Root();
    const auto archive = root / "in.zip", out = root / "out";
    std::ofstream(archive, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    {
        vutil::CZipArchive zip;
        if (zip.Open(vutil::CString(archive.string())) == vutil::CZipArchive::ZR_OK) {
            vutil::CZipArchive::Entry e;
            for (int i = -1; i < zip.GetCount(); ++i) zip.GetItem(i, e);
            zip.ExtractBeneath(vutil::CString(out.string() + "/"), {});
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(root))
        if (entry.path() != archive && entry.path() != out) std::abort();  // written outside the destination
    std::error_code ec;
    if (std::filesystem::exists(out, ec)) std::filesystem::remove_all(out, ec);
    return 0;
}
