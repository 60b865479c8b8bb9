// Copy, move and delete single files; nothing a user had is lost on the way.

#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/files_internal.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file_ops.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace fi = files_internal;

bool CFileUtils::EnsureFileIsWritable(const CString& path) {
    const DWORD a = platform::GetAttributes(path.view());
    if (a == platform::kInvalidAttributes || !(a & platform::kAttrReadOnly)) return true;
    if (platform::SetAttributes(path.view(), platform::kAttrNormal)) {
        // Normal clears the kept bits too; a file system without them has none to clear.
        if (a & (platform::kAttrHidden | platform::kAttrSystem | platform::kAttrArchive))
            platform::SetDosAttributeBits(path.view(), 0);
        return true;
    }
    fi::LogWithError("{6158A8EC-C827-4a84-9C14-2D0018E8BF40}");
    return false;
}

bool CFileUtils::CopyFileA(const CString& source, const CString& target, CString& errors) {
    if (source.CompareNoCase(target) == 0) return true;
    const DWORD a = platform::GetAttributes(source.view());
    if (a != platform::kInvalidAttributes && (a & platform::kAttrDirectory)) {
        fi::AppendError(errors, "Not a valid source file.");
        return false;
    }
    if (a == platform::kInvalidAttributes) {
        fi::AppendError(errors, "Not a valid source path.");
        return false;
    }
    if (platform::GetAttributes(target.view()) == platform::kInvalidAttributes) {
        const CString parent = CDirUtils::ParseParentDir(target);
        if (CStringUtils::IsEffectivelyEmpty(parent)) {
            fi::AppendError(errors, "No target path provided.");
            return false;
        }
        if (!CDirUtils::CreateDirectoryA(parent)) {
            fi::AppendError(errors, "Unable to create the target path.");
            return false;
        }
        if (!CDirUtils::EnsureDirIsWritable(parent)) {
            fi::AppendError(errors, "Unable to write to the target path.");
            return false;
        }
    } else if (!EnsureFileIsWritable(target)) {
        fi::AppendError(errors, "Target file exists and cannot be overwritten.");
        return false;
    }
    // The bytes land beside the target and replace it only when complete and flushed.
    if (platform::CopyFileSafely(source.view(), target.view())) return true;
    fi::AppendError(errors, fi::LastErrorText());
    return false;
}

bool CFileUtils::MoveFileA(const CString& source, const CString& target, CString& errors) {
    if (CDirUtils::ParseParentDir(source).CompareNoCase(CDirUtils::ParseParentDir(target)) == 0) {
        if (ParseFileNameFromPath(source, true) == ParseFileNameFromPath(target, true)) return false;
        if (platform::MovePath(source.view(), target.view())) return true;
        fi::AppendError(errors, fi::LastErrorText());
        return false;
    }
    // The source goes only once the target is complete.
    if (!CopyFileA(source, target, errors)) return false;
    return DeleteFileA(source, errors, false, false);
}

bool CFileUtils::DeleteFileA(const CString& path, CString& errors, bool toRecycleBin, bool atReboot) {
    const DWORD a = platform::GetAttributes(path.view());
    if (a & platform::kAttrDirectory) {  // also a path that does not exist (all bits set)
        fi::Log("{AC88BA89-3BFE-4238-A954-21ADC5A5B61A}");
        return false;
    }
    EnsureFileIsWritable(path);
    bool done;
    if (toRecycleBin) done = platform::MoveToTrash(path.view());
    else if (atReboot) done = platform::DeleteFileAtRestart(path.view());
    else done = platform::RemoveFile(path.view());
    if (!done) fi::AppendError(errors, fi::LastErrorText());
    return done;
}

}  // namespace vutil
