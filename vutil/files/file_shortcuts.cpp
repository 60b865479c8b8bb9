// Shortcut files (.lnk, .url) and the desktop's recent documents.

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/files/shell_link.h"
#include "vutil/files/smart_handle.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/file.h"
#include "vutil/platform/file_ops.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace fi = files_internal;

namespace {

constexpr std::size_t kMaxPath = 260;
// A shortcut is a few hundred bytes; anything far larger is not one.
constexpr std::size_t kMaxLinkBytes = std::size_t{1} << 20;

bool ReadSmallFile(const CString& path, std::string& bytes) {
    SmartHANDLE file(SmartHANDLE::FromFile(platform::OpenFile(path.view(), platform::kFileRead)));
    if (!file.IsValid()) return false;
    char buffer[16384];
    bytes.clear();
    for (;;) {
        const std::int64_t n = platform::ReadFile(SmartHANDLE::ToFile(file), buffer, sizeof buffer);
        if (n < 0) return false;
        if (n == 0) return true;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > kMaxLinkBytes) return false;
    }
}

CString InDir(const CString& dir, const CString& name, const char* extension) {
    CString path = dir;
    CDirUtils::EnsureTrailingBackslash(path);
    return path + name + extension;
}

}  // namespace

CString CFileUtils::GetLinkTarget(const CString& path) {
    if (CStringUtils::IsEffectivelyEmpty(path)) {
        fi::Log("{97C2A5C2-13FB-44F7-993A-FE6DA4452D13}");
        return CString();
    }
    if (GetFileExt(path).CompareNoCase("lnk") != 0) return path;
    std::string bytes, target, relative;
    if (!ReadSmallFile(path, bytes)) {
        fi::Log("{1CB4778A-0874-4D5C-9176-50DE97D60A34}");
        return CString();
    }
    if (!shell_link::ReadLinkTarget(bytes, target, &relative)) {
        fi::Log("{0A7E0F24-C605-402A-A1ED-A6F139F595B3}");
        return CString();
    }
    // A link with only a relative path points beside itself.
    if (target.empty()) target = std::string(CDirUtils::ParsePathFromFile(path).view()) + relative;
    if (target.size() >= kMaxPath) target.resize(kMaxPath - 1);
    if (target.find('%') != std::string::npos) {
        const std::string expanded = platform::ExpandEnvironmentText(target);
        if (expanded.size() >= kMaxPath) {
            fi::Log("{168235DB-8148-4888-9EF5-D90C85C9BC68}");
            return CString(target);
        }
        return CString(expanded);
    }
    return CString(target);
}

bool CFileUtils::CreateFileShortcut(const CString& dir, const CString& target, const CString& name, int showCommand) {
    if (!CDirUtils::IsDir(dir, true) || !CDirUtils::DoesDirExist(dir) || !platform::PathExists(target.view())) {
        fi::Log("{69078203-FE84-4A97-A50F-B8EFE4424EB4}");
        return false;
    }
    if (CStringUtils::IsEffectivelyEmpty(name)) {
        fi::Log("{0C776A51-8823-40EB-B589-DBB25C74C5C0}");
        return false;
    }
    shell_link::LinkSpec spec;
    spec.target = platform::LibraryPath(target.view());
    spec.description = std::string(ParseFileNameFromPath(target, true).view());
    spec.showCommand = showCommand;
    platform::EntryInfo info;
    if (!platform::GetEntryInfo(target.view(), info)) {
        fi::LogWithError("{58876BDA-66B0-4495-94F5-3D203D004951}");
        return false;
    }
    spec.attributes = info.attributes & ~platform::kAttrReparsePoint;
    spec.creationTime = info.creationTime;
    spec.accessTime = info.accessTime;
    spec.writeTime = info.writeTime;
    spec.size = info.size;
    if (platform::ReplaceFileContents(InDir(dir, name, ".lnk").view(), shell_link::BuildLink(spec))) return true;
    fi::LogWithError("{CDD030FB-9C6D-4F78-AE4A-56A81574AEA4}");
    return false;
}

bool CFileUtils::CreateURLShortcut(const CString& dir, const CString& url, const CString& name) {
    if (!CDirUtils::IsDir(dir, true) || !CDirUtils::DoesDirExist(dir)) {
        fi::Log("{1BAABD99-D4BF-4C04-9ED3-F13ED8622F94}");
        return false;
    }
    if (CStringUtils::IsEffectivelyEmpty(url)) {
        fi::Log("{CBB1E347-58F0-4D47-A3E4-DA51F69D2B67}");
        return false;
    }
    if (CStringUtils::IsEffectivelyEmpty(name)) {
        fi::Log("{F0351C2E-AECC-490A-8646-A49631A6CAA8}");
        return false;
    }
    if (platform::ReplaceFileContents(InDir(dir, name, ".url").view(), shell_link::BuildUrlShortcut(url.view())))
        return true;
    fi::LogWithError("{6E6F731A-591C-44B5-B47E-CC632B19E3FE}");
    return false;
}

void CFileUtils::AddToRecentFileList(const CString& path) {
    if (!IsFile(path, true, true)) {
        fi::Log("{7409632C-AA84-442E-BCD8-ADE22655930A}");
        return;
    }
    if (!platform::PathExists(path.view())) {
        fi::Log("{19D55294-1D50-4AF2-90DC-68E518434AD5}");
        return;
    }
    if (!platform::AddRecentDocument(path.view())) fi::LogWithError("{3E0B6F52-9A41-4C7D-8E25-6D1F0B9A7C43}");
}

}  // namespace vutil
