// Whole folder trees into an archive, and whole archives out beneath a folder.

#include <algorithm>
#include <string>
#include <vector>

#include "vutil/files/dir_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/files/zip_archive.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/file_tree.h"

namespace vutil {

namespace {

using platform::FileHandle;
using platform::kInvalidFile;

struct DirCloser {
    platform::DirHandle h;
    ~DirCloser() {
        if (h) platform::CloseDirectory(h);
    }
};

struct HandleCloser {
    FileHandle h = kInvalidFile;
    ~HandleCloser() {
        if (h != kInvalidFile) platform::CloseFile(h);
    }
};

// The stored name's parts, or false when it would leave the destination: an absolute
// path, a drive letter or stream name (any ':'), a ".." part or a NUL byte.
bool SafeParts(const CString& name, std::vector<std::string>& parts) {
    const std::string_view s = name.view();
    if (s.empty() || s.front() == '/' || s.front() == '\\' || s.find('\0') != std::string_view::npos ||
        s.find(':') != std::string_view::npos)
        return false;
    std::size_t start = 0;
    while (start <= s.size()) {
        std::size_t cut = s.find_first_of("/\\", start);
        if (cut == std::string_view::npos) cut = s.size();
        const std::string_view part = s.substr(start, cut - start);
        if (part == "..") return false;
        if (!part.empty() && part != ".") parts.emplace_back(part);
        start = cut + 1;
    }
    return !parts.empty();
}

}  // namespace

unsigned CZipArchive::AddTree(const CString& folder, const CString& entryName) {
    if (unsigned r = Add(entryName, nullptr, 0, ZIP_FOLDER)) return r;
    CString dir = folder;
    CDirUtils::EnsureTrailingBackslash(dir);
    DirCloser d{platform::OpenDirectory(dir.view())};
    if (!d.h) return Remember(ZR_NOFILE);
    std::string name;
    bool isDir = false, isLink = false;
    while (platform::ReadDirectory(d.h, name, isDir, isLink)) {
        if (name == "." || name == "..") continue;
        if (isLink) {
            // A linked folder is left out: following it could loop for ever.
            platform::EntryInfo info;
            if (!platform::GetDirectoryEntryInfo(d.h, name, info) || (info.attributes & platform::kAttrDirectory))
                continue;
        }
        const CString path = dir + CString(name);
        const CString entry = entryName + CString("\\") + CString(name);
        const unsigned r = isDir ? AddTree(path, entry) : Add(entry, path.GetString(), 0, ZIP_FILENAME);
        if (r != ZR_OK) return r;
    }
    return ZR_OK;
}

bool CZipArchive::ExtractBeneath(const CString& destDir, const std::vector<CString>& only) {
    if (m_mode != Mode::kReading) return false;
    CString dest = destDir;
    dest.Replace("/", "\\");
    CDirUtils::EnsureTrailingBackslash(dest);
    if (!CDirUtils::DoesDirExist(dest)) CDirUtils::CreateDirectoryA(dest);
    HandleCloser root{platform::OpenFolder(destDir.view())};
    if (root.h == kInvalidFile) {
        files_internal::LogWithError("{A2F2DED1-4D12-44F8-855A-C6AC7E64C078}", destDir);
        return false;
    }
    bool ok = true;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& en = m_entries[i];
        if (!only.empty() && std::find(only.begin(), only.end(), en.name) == only.end()) continue;
        std::vector<std::string> parts;
        if (!SafeParts(en.name, parts)) {
            files_internal::Log("{2671917C-9B1B-4676-A610-7C51396CCBC0}", en.name);
            ok = false;
            continue;
        }
        // A size of 0 stands for a folder, whatever the name says.
        if (en.size == 0) {
            HandleCloser f{platform::OpenFolderBeneath(root.h, parts, true)};
            if (f.h == kInvalidFile) {
                files_internal::LogWithError("{8431035C-BAE2-4F04-905B-3568FE9B5E4E}", en.name);
                ok = false;
            }
            continue;
        }
        const std::string leaf = parts.back();
        parts.pop_back();
        unsigned r = ZR_NOFILE;
        {
            HandleCloser folder{platform::OpenFolderBeneath(root.h, parts, true)};
            std::string temp;
            HandleCloser file;
            if (folder.h != kInvalidFile) file.h = platform::CreateTempFileIn(folder.h, temp);
            if (file.h != kInvalidFile) {
                r = ExtractToHandle(static_cast<int>(i), file.h);
                if (r == ZR_OK && en.writeTime) platform::SetFileWriteTime(file.h, en.writeTime);
                const bool closed = platform::CloseFile(file.h);
                file.h = kInvalidFile;
                if (r == ZR_OK && (!closed || !platform::CommitFileIn(folder.h, temp, leaf))) r = ZR_WRITE;
                if (r != ZR_OK) platform::RemoveFileIn(folder.h, temp);
            }
        }
        if (r != ZR_OK) {
            files_internal::Log("{E8C604CC-89E5-4FF3-AC1C-2F55FD1EF809}", FormatMessage(r));
            ok = false;
        }
    }
    return ok;
}

}  // namespace vutil
