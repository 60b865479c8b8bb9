// CFileUtils and CDirUtils members for zip archives, on the container of zip_archive.h.

#include <string>
#include <vector>

#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/files/zip_archive.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/file.h"

namespace vutil {

namespace {

using files_internal::Log;

// Moves a finished archive into place; across file systems the bytes are copied and
// the copy is removed again when it fails half-way.
bool MoveArchive(const CString& from, const CString& to) {
    if (platform::MovePath(from.view(), to.view())) return true;
    if (platform::PathExists(to.view())) return false;
    const platform::FileHandle in = platform::OpenFile(from.view(), platform::kFileRead);
    if (in == platform::kInvalidFile) return false;
    const platform::FileHandle out = platform::OpenFile(
        to.view(), platform::kFileWrite | platform::kFileCreate | platform::kFileExclusive);
    bool ok = out != platform::kInvalidFile;
    std::vector<char> buf(256 * 1024);
    while (ok) {
        const std::int64_t n = platform::ReadFile(in, buf.data(), buf.size());
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = platform::WriteFile(out, buf.data(), static_cast<std::size_t>(n)) == n;
    }
    platform::CloseFile(in);
    if (out != platform::kInvalidFile) {
        ok = platform::CloseFile(out) && ok;
        if (!ok) platform::RemoveFile(to.view());
    }
    if (ok) platform::RemoveFile(from.view());
    return ok;
}

}  // namespace

bool CFileUtils::CreateZipFile(const CString& zipPath, const TextArray& files, const CString& baseDir) {
    if (files.GetCount() == 0) {
        Log("{C30F95EF-3810-4106-B6AA-79B70AFB3D30}");
        return false;
    }
    if (baseDir.IsEmpty()) {
        Log("{2F4DD0DA-736E-4D7C-A3EC-AB86CFC002E8}");
        return false;
    }
    TextArray names = files;
    CDirUtils::MakePathsRelative(baseDir, names);
    names.ReplaceInAll("\\", "/");
    CZipArchive zip;
    if (zip.Create(zipPath) != CZipArchive::ZR_OK) {
        Log("{DC7A9EA3-C188-43A1-AB4F-3853BDD6B1E9}");
        return false;
    }
    bool ok = true;
    for (unsigned i = 0; i < files.GetCount(); ++i) {
        const CString path = files.GetAt(i);
        const DWORD attrs = platform::GetAttributes(path.view());
        if (attrs == platform::kInvalidAttributes || (attrs & platform::kAttrDirectory)) continue;
        const unsigned r = zip.Add(names.GetAt(i), path.GetString(), 0, CZipArchive::ZIP_FILENAME);
        if (r != CZipArchive::ZR_OK) {
            Log("{02DB5D31-5AFA-4A18-A409-193B1A5E2C2F}", CZipArchive::FormatMessage(r));
            ok = false;
        }
    }
    // A failed close leaves no archive behind, so it fails the call too.
    return zip.Close() == CZipArchive::ZR_OK && ok;
}

bool CDirUtils::CreateZipFile(const CString& zipPath, const CString& dir) {
    if (zipPath.IsEmpty()) {
        Log("{44B0960A-B1A9-40D7-AA14-4A490FC0EC09}");
        return false;
    }
    if (dir.IsEmpty()) {
        Log("{846ACB37-9134-4E38-B7BE-6843E0649A98}");
        return false;
    }
    const CString tempDir = GetTempDir();
    if (tempDir.IsEmpty()) {
        Log("{48CF00AB-0951-49A5-8210-3AE3EFA0CC8D}");
        return false;
    }
    const CString tempZip = tempDir + CFileUtils::ParseFileNameFromPath(zipPath, true);
    // An archive asked for in the temporary directory itself needs no move.
    CString target = zipPath, temp = tempZip;
    target.Replace("/", "\\");
    temp.Replace("/", "\\");
    const bool inPlace = target == temp;
    CZipArchive zip;
    if (zip.Create(tempZip) != CZipArchive::ZR_OK) {
        Log("{A44801E7-6855-4059-B53B-4896680EADB9}");
        return false;  // nothing was written: the archive is only renamed in on Close
    }
    CString folder = dir;
    EnsureTrailingBackslash(folder);
    const CString parent = ParseParentDir(folder), last = ParseLastDir(folder);
    if (parent.IsEmpty() || last.IsEmpty()) {
        Log(parent.IsEmpty() ? "{C8BF02EC-A0F0-44B1-84D0-061F9018A32D}" : "{69314F48-4633-4624-8295-6E606EC32016}");
        return false;  // the unclosed archive is discarded with zip
    }
    bool added = zip.AddTree(parent + last, last) == CZipArchive::ZR_OK;
    if (!added) Log("{40F21239-ACE4-4FAA-8AA9-C6C6FDC103AF}", CZipArchive::FormatMessage(CZipArchive::ZR_RECENT));
    added = zip.Close() == CZipArchive::ZR_OK && added;
    if (inPlace) return added;
    if (added && !MoveArchive(tempZip, zipPath)) Log("{E648EBD0-A84D-491A-9C24-5B3EEFC5797A}", zipPath);
    platform::RemoveFile(tempZip.view());
    return added;
}

bool CFileUtils::GetZipContent(const CString& zipPath, TextArray& names, std::vector<std::uint64_t>& sizes,
                               std::vector<DateTime>& times) {
    if (zipPath.IsEmpty() || !platform::PathExists(zipPath.view())) {
        Log("{A7676828-C80E-44E4-8FBE-0507410C0C04}", zipPath);
        return false;
    }
    CZipArchive zip;
    if (zip.Open(zipPath) != CZipArchive::ZR_OK) {
        Log("{9A62C727-6A22-43F2-89C9-833B471E3E9D}", zipPath);
        return false;
    }
    CZipArchive::Entry entry;
    zip.GetItem(-1, entry);
    const int count = static_cast<int>(entry.size);
    for (int i = 0; i < count; ++i) {
        const unsigned r = zip.GetItem(i, entry);
        if (r != CZipArchive::ZR_OK) {
            Log("{E3EB1636-630E-4B1D-B703-FC84760F6D05}", CString(std::to_string(r)));
            return false;
        }
        names.Add(entry.name);
        sizes.push_back(entry.size);
        DateTime when;
        std::uint64_t local = 0;
        platform::TimeFields f;
        if (platform::FileTimeToLocalFileTime(entry.writeTime, local) && platform::FileTimeToFields(local, f)) {
            when.SetDate(f.year, f.month, f.day);
            if (!when.IsValidDate()) when.SetInvalid();
            else when.SetTime(f.hour, f.minute, f.second);
        }
        times.push_back(when);
    }
    return true;
}

bool CFileUtils::UnZip(const CString& zipPath, const CString& destDir, const TextArray& only) {
    if (zipPath.IsEmpty()) {
        Log("{0680A95D-052E-4BF3-AC4C-623A08C29404}");
        return false;
    }
    if (destDir.IsEmpty()) {
        Log("{CF5C8029-5EB3-48E7-99DB-277DE32ADDDB}");
        return false;
    }
    CZipArchive zip;
    if (zip.Open(zipPath) != CZipArchive::ZR_OK) {
        Log("{FC10F07E-F785-41C0-BDF9-83C0DA2BAFC9}", zipPath);
        return false;
    }
    std::vector<CString> names;
    for (unsigned i = 0; i < only.GetCount(); ++i) names.push_back(only.GetAt(i));
    return zip.ExtractBeneath(destDir, names);
}

}  // namespace vutil
