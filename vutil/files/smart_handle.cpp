#include "vutil/files/smart_handle.h"

#include "vutil/platform/file_ops.h"

namespace vutil {

void* SmartHANDLE::operator=(void* handle) {
    if (handle != m_handle) CloseHandle();
    m_handle = handle;
    return m_handle;
}

void SmartHANDLE::CloseHandle() {
    if (IsValid()) platform::CloseFile(ToFile(m_handle));
    m_handle = nullptr;
}

void* SmartFileMap::operator=(void* view) {
    if (view != m_view) CloseMapping();
    m_view = view;
    return m_view;
}

void SmartFileMap::CloseMapping() {
    if (m_view) platform::UnmapFileView(m_view);
    m_view = nullptr;
}

}  // namespace vutil
