#pragma once
// SmartHANDLE and SmartFileMap: owners of one system handle and one mapped view.
// Assigning a new one, or destroying the owner, releases the old one.

#include <cstdint>

#include "vutil/platform/file.h"

namespace vutil {

class SmartHANDLE {
public:
    SmartHANDLE() = default;
    SmartHANDLE(void* handle) : m_handle(handle) {}  // NOLINT: taking a handle is the point
    ~SmartHANDLE() { CloseHandle(); }
    SmartHANDLE(const SmartHANDLE&) = delete;
    // Copies the handle value only: neither closed nor duplicated.
    SmartHANDLE& operator=(const SmartHANDLE& other) {
        m_handle = other.m_handle;
        return *this;
    }
    void* operator=(void* handle);

    operator void*() const { return m_handle; }
    // Neither null nor the invalid value (all bits set).
    bool IsValid() const { return m_handle != nullptr && m_handle != kInvalid(); }

    // The handle form of an open platform file, and back.
    static void* FromFile(platform::FileHandle file) { return reinterpret_cast<void*>(file); }
    static platform::FileHandle ToFile(void* handle) { return reinterpret_cast<platform::FileHandle>(handle); }

protected:
    void CloseHandle();

private:
    static void* kInvalid() { return reinterpret_cast<void*>(~std::intptr_t{0}); }
    void* m_handle = nullptr;
};

class SmartFileMap {
public:
    SmartFileMap() = default;
    SmartFileMap(void* view) : m_view(view) {}  // NOLINT
    ~SmartFileMap() { CloseMapping(); }
    SmartFileMap(const SmartFileMap&) = delete;
    SmartFileMap& operator=(const SmartFileMap&) = delete;
    // Unmaps a previous view and returns the new address.
    void* operator=(void* view);

    operator void*() const { return m_view; }
    bool IsValid() const { return m_view != nullptr; }

protected:
    void CloseMapping();

private:
    void* m_view = nullptr;
};

}  // namespace vutil
