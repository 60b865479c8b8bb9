#include <sys/mman.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>

#include "vutil/platform/error.h"
#include "vutil/platform/mapped_file.h"

namespace vutil::platform {

bool PrepareFileMapping(FileHandle h, std::size_t& size) noexcept {
    size = 0;
    struct stat st {};
    if (::fstat(static_cast<int>(h), &st) != 0) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    // Only regular files: a device or a pipe has no stable length to walk.
    if (!S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<std::uint64_t>(st.st_size) > SIZE_MAX) {
        SetLastErrorCode(st.st_size == 0 ? 1006u /* the volume's file is empty */ : kErrorInvalidData);
        return false;
    }
    size = static_cast<std::size_t>(st.st_size);
    return true;
}

bool MapFileView(FileHandle h, std::size_t size, MappedView& view) noexcept {
    view = MappedView{};
    void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, static_cast<int>(h), 0);
    if (p == MAP_FAILED) {
        SetLastErrorFromErrno(errno);
        return false;
    }
    view.data = static_cast<const unsigned char*>(p);
    view.size = size;
    return true;
}

void UnmapFileView(MappedView& view) noexcept {
    if (view.data) ::munmap(const_cast<unsigned char*>(view.data), view.size);
    view = MappedView{};
}

}  // namespace vutil::platform
