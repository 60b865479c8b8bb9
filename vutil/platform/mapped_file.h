#pragma once
// A read-only view of a whole file, for parsers that walk a file's structure in
// place. Failures set the thread's last error (error.h).

#include <cstddef>

#include "vutil/platform/file.h"

namespace vutil::platform {

struct MappedView {
    const unsigned char* data = nullptr;
    std::size_t size = 0;
};

// The size a view of the open file would have; false for an empty or unmappable file
// (nothing to map: the system refuses an empty mapping too).
bool PrepareFileMapping(FileHandle h, std::size_t& size) noexcept;
// Maps size bytes of the file from its start, read-only; false on failure.
bool MapFileView(FileHandle h, std::size_t size, MappedView& view) noexcept;
void UnmapFileView(MappedView& view) noexcept;

// Owns one view; unmapped on every path.
class ScopedFileView {
public:
    ScopedFileView() = default;
    ~ScopedFileView() { UnmapFileView(m_view); }
    ScopedFileView(const ScopedFileView&) = delete;
    ScopedFileView& operator=(const ScopedFileView&) = delete;
    MappedView& View() noexcept { return m_view; }

private:
    MappedView m_view;
};

}  // namespace vutil::platform
