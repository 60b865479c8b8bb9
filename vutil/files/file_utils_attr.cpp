// Attribute bits, file times and the information a file carries (size, time, version).

#include "vutil/dates/date_time.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/files/smart_handle.h"
#include "vutil/files/version_resource.h"
#include "vutil/framework/types.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file_ops.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace fi = files_internal;

namespace {

void SetBit(const CString& path, DWORD bit, bool on) {
    const DWORD a = platform::GetAttributes(path.view());
    if (a == platform::kInvalidAttributes) return;
    const DWORD now = on ? (a | bit) : (a & ~bit);
    if (now == a) return;
    if (bit == platform::kAttrReadOnly) platform::SetAttributes(path.view(), now);
    else platform::SetDosAttributeBits(path.view(), now);
}

FILETIME ToFiletime(std::uint64_t t) {
    FILETIME ft;
    ft.dwLowDateTime = static_cast<DWORD>(t);
    ft.dwHighDateTime = static_cast<DWORD>(t >> 32);
    return ft;
}

// The version strings of an executable, read through a mapped view of it.
void ReadVersionStrings(const CString& path, CString* const* outputs) {
    static const char* const kKeys[] = {"Comments",       "CompanyName",     "FileDescription", "FileVersion",
                                        "LegalCopyright", "LegalTrademarks", "ProductName"};
    SmartHANDLE file(SmartHANDLE::FromFile(platform::OpenFile(path.view(), platform::kFileRead)));
    if (!file.IsValid()) return;
    const std::int64_t size = platform::GetFileSize(SmartHANDLE::ToFile(file));
    if (size <= 0 || static_cast<std::uint64_t>(size) > SIZE_MAX) return;
    SmartFileMap view(platform::MapFileView(SmartHANDLE::ToFile(file), static_cast<std::size_t>(size), false));
    if (!view.IsValid()) return;
    const std::string_view image(static_cast<const char*>(static_cast<void*>(view)), static_cast<std::size_t>(size));
    std::string_view resource;
    if (!version_resource::FindVersionResource(image, resource)) return;
    for (int i = 0; i < 7; ++i) {
        std::string value;
        if (outputs[i] && version_resource::QueryVersionString(resource, "040904b0", kKeys[i], value))
            *outputs[i] = CString(value);
    }
}

}  // namespace

void CFileUtils::SetReadOnly(const CString& path, bool on) { SetBit(path, platform::kAttrReadOnly, on); }
void CFileUtils::SetHidden(const CString& path, bool on) { SetBit(path, platform::kAttrHidden, on); }
void CFileUtils::SetArchived(const CString& path, bool on) { SetBit(path, platform::kAttrArchive, on); }

bool CFileUtils::SetFileAge(const CString& path, const DateTime& when) {
    if (!EnsureFileIsWritable(path)) {
        fi::Log("{8D47EEBD-6402-4786-A91B-16F80C4C3188}");
        return false;
    }
    if (!when.IsValid()) {
        fi::Log("{E1E10DA4-6917-4736-8BBA-85C419F9934F}");
        return false;
    }
    platform::TimeFields local;
    when.Get(local.year, local.month, local.day, local.hour, local.minute, local.second);
    std::uint64_t localTime = 0, utc = 0;
    bool ok = platform::FieldsToFileTime(local, localTime) && platform::LocalFileTimeToFileTime(localTime, utc);
    if (!ok) platform::SetLastErrorCode(platform::kErrorInvalidParameter);
    ok = ok && platform::SetFileTimes(path.view(), utc, utc, utc);
    if (!ok) fi::LogWithError("{A8FDD3AD-7519-4072-801A-AA59D399EAA3}");
    return ok;
}

void CFileUtils::GetFileInfo(const CString& path, std::uint64_t* size, DateTime* modified, bool* system, bool* hidden,
                             bool* readOnly, bool* archive, CString* comments, CString* companyName,
                             CString* fileDescription, CString* fileVersion, CString* legalCopyright,
                             CString* legalTrademarks, CString* productName) {
    CString* const strings[7] = {comments,    companyName,    fileDescription, fileVersion,
                                 legalCopyright, legalTrademarks, productName};
    if (size) *size = 0;
    if (modified) modified->SetInvalid();
    for (bool* flag : {system, hidden, readOnly, archive})
        if (flag) *flag = false;
    for (CString* s : strings)
        if (s) s->Empty();
    if (CStringUtils::IsEffectivelyEmpty(path)) return;

    if (size || modified) {
        platform::EntryInfo info;
        if (platform::GetEntryInfo(path.view(), info)) {
            if (size) *size = info.size;
            if (modified) modified->Set(ToFiletime(info.writeTime));
        } else {
            // Without the status call, the file itself is asked.
            const CString detail = ParseFileNameFromPath(path, true) + "~-1";
            SmartHANDLE file(SmartHANDLE::FromFile(platform::OpenFile(path.view(), platform::kFileRead)));
            if (!file.IsValid()) {
                fi::Log("{5D0586AB-2544-492D-8225-4ECA99B24724}", detail);
                return;
            }
            const std::int64_t length = platform::GetFileSize(SmartHANDLE::ToFile(file));
            if (length < 0) {
                fi::Log("{532B3F5E-EFC4-46A3-909F-3100CC19B29A}", detail);
                return;
            }
            if (size) *size = static_cast<std::uint64_t>(length);
            if (modified) {
                fi::Log("{DC391074-D98F-437E-87C0-056F6C1D1637}", detail);
                return;
            }
        }
    }
    if (system || hidden || readOnly || archive) {
        const DWORD a = platform::GetAttributes(path.view());
        if (a & platform::kAttrDirectory) {  // unreadable attributes carry every bit
            fi::Log("{EEE70E27-227B-4AB6-85D9-123657E43A1E}");
            return;
        }
        if (system) *system = a & platform::kAttrSystem;
        if (hidden) *hidden = a & platform::kAttrHidden;
        if (readOnly) *readOnly = a & platform::kAttrReadOnly;
        if (archive) *archive = a & platform::kAttrArchive;
    }
    for (CString* s : strings) {
        if (!s) continue;
        ReadVersionStrings(path, strings);
        break;
    }
}

}  // namespace vutil
