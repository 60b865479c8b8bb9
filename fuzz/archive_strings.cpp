// Loads strings and numbers from arbitrary bytes through CArchive.

#include <cstdint>

#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vutil::CMemFile file(const_cast<vutil::BYTE*>(data), static_cast<vutil::UINT>(size));
    vutil::CRewindArchive ar(&file, vutil::CArchive::load, 128);
    try {
        for (int i = 0; i < 64; ++i) {
            vutil::WORD marker = 0;
            ar >> marker;
            if (marker & 1) ar.DoRewindWORD();
            vutil::CString s;
            ar >> s;
            double d;
            if (s.GetLength() & 1) ar >> d;
        }
    } catch (const vutil::CArchiveException&) {
    }
    return 0;
}
