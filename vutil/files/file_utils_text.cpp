// CFileUtils: whole text files to and from a TextArray, through TextFile (encoding
// aware) or as plain ANSI text. Writing goes to a temporary file beside the target
// that replaces it only when everything was written.

#include <cstring>
#include <new>
#include <string>

#include "vutil/core/app_logger.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/text_file.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/platform/dir.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

void Log(const CString& line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

// "{GUID} - text" when the system has a text for the code, else the bare GUID.
void LogWithErrorText(const char* withText, const char* bare, long osError) {
    std::string text = osError > 0 ? platform::GetErrorMessage(static_cast<DWORD>(osError)) : std::string();
    if (text.empty()) {
        Log(bare);
    } else {
        CString line;
        line.Format(withText, text.c_str());
        Log(line);
    }
}

void ReadPlain(const CString& path, TextArray& lines) {
    CFile file;
    CFileException error;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary, &error)) {
        LogWithErrorText("{8B7D1613-6441-4ff8-AD38-F0930DC9DA19} - %s", "{E7749E8B-3F17-4724-A5F5-92DCEA4E1D48}",
                         error.m_lOsError);
        return;
    }
    // Text mode as a portable build does it: LF or CR LF end a line, every other byte
    // (0x1A included) is text.
    std::string block(64 * 1024, '\0');
    std::string pending;
    try {
        for (;;) {
            UINT n = file.Read(block.data(), static_cast<UINT>(block.size()));
            if (n == 0) break;
            std::size_t from = 0;
            for (;;) {
                std::size_t lf = block.find('\n', from);
                if (lf >= n) {
                    pending.append(block, from, n - from);
                    break;
                }
                pending.append(block, from, lf - from);
                if (!pending.empty() && pending.back() == '\r') pending.pop_back();
                lines.Add(CString(pending));
                pending.clear();
                from = lf + 1;
            }
        }
    } catch (const CFileException& e) {
        LogWithErrorText("{505D9143-9EBA-48BE-A587-29A43C39105D} - %s", "{505D9143-9EBA-48BE-A587-29A43C39105D}",
                         e.m_lOsError);
        return;
    }
    if (!pending.empty()) lines.Add(CString(pending));
}

// Writes the lines to tempPath; false (logged) on any failure.
bool WriteAware(const CString& tempPath, const TextArray& lines, int encoding) {
    auto* file = new (std::nothrow) TextFile;
    if (!file) {
        Log("{DEEE8C45-1DD4-4CA7-B149-056487683F61}");
        return false;
    }
    if (file->Open(tempPath, TextFile::TF_MODE_WRITE, encoding) < 0) {
        Log("{04921E65-2BB5-411D-8C8D-7EBA96A840DB}");
        delete file;
        return false;
    }
    bool written = true;
    for (const CString& line : lines) {
        // A line's end follows only a line that was written.
        if (file->WriteString(line) < 0 || file->WritePendingByteOrderMark() < 0 || file->WriteString("\n") < 0)
            written = false;
    }
    if (file->Close() < 0) written = false;
    delete file;
    if (!written) Log("{CDF639F2-BDB3-4C63-8F75-2FDB03DF7538}");
    return written;
}

bool WritePlain(const CString& tempPath, const TextArray& lines) {
    CFile file;
    CFileException error;
    if (!file.Open(tempPath, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite | CFile::typeBinary,
                   &error)) {
        Log("{8C750BCB-F5EF-47E4-93A5-9F6C3CB4FA26}");
        return false;
    }
    try {
        std::string chunk;
        for (const CString& line : lines) {
            // Text mode: every LF written, the line's own included, becomes CR LF.
            const char* p = line.GetString();
            const char* end = p + line.GetLength();
            for (const char* q; (q = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
                 p = q + 1) {
                chunk.append(p, q);
                chunk += "\r\n";
            }
            chunk.append(p, end);
            chunk += "\r\n";
            if (chunk.size() >= 64 * 1024) {
                file.Write(chunk.data(), static_cast<UINT>(chunk.size()));
                chunk.clear();
            }
        }
        if (!chunk.empty()) file.Write(chunk.data(), static_cast<UINT>(chunk.size()));
        file.Close();
    } catch (const CFileException& e) {
        file.Abort();
        LogWithErrorText("{EEC0FAAA-AD4B-40a2-99D3-46324C7E64CA} - %s", "{96265B02-B62E-4f79-9C5F-957B8B039AD5}",
                         e.m_lOsError);
        return false;
    }
    return true;
}

}  // namespace

void CFileUtils::ReadFileContent(const CString& path, TextArray& lines, bool encodingAware, int* encoding) {
    if (encoding) *encoding = TextFile::TF_ENCODING_ANSI;
    lines.DeleteAll();
    if (!IsFile(path, true, true)) {
        Log("{86CDA486-681F-43D5-9211-EFACE318A623}");
        return;
    }
    if (!platform::PathExists(path.GetString())) {
        Log("{AB91D2F6-45CF-4D68-BFFF-829E56F7D3AD}");
        return;
    }
    try {
        if (!encodingAware) {
            ReadPlain(path, lines);
            return;
        }
        auto* file = new (std::nothrow) TextFile;
        if (!file) {
            Log("{2F66E03D-D93B-40AC-AB79-6C1E3FDAC548}");
            return;
        }
        if (file->Open(path, TextFile::TF_MODE_READ, 0) < 0) {
            Log("{2338D1D7-19AA-4A3A-A146-A1C9BC7162F3}");
            delete file;
            return;
        }
        if (encoding) *encoding = file->GetEncoding();
        char* line = nullptr;
        while (file->ReadLine(&line) >= 0) lines.Add(CString(line));
        delete file;
    } catch (const std::bad_alloc&) {
        // A line longer than memory: what was read stays in lines.
        Log("{F3A95F5F-836A-4C16-B970-211BB7912E70}");
    }
}

bool CFileUtils::WriteFileContent(const CString& path, const TextArray& lines, bool encodingAware, int encoding) {
    if (CStringUtils::IsEffectivelyEmpty(path)) {
        Log("{F16007F7-7388-4AF0-BC97-575D88FA87F3}");
        return false;
    }
    CString parent = CDirUtils::ParseParentDir(path);
    if (CStringUtils::IsEffectivelyEmpty(parent)) {
        Log("{2BFEBD4A-DD70-4044-A094-68FA74FC3548}");
        return false;
    }
    if (!CDirUtils::CreateDirectoryA(parent)) {
        Log("{27738F01-376F-4029-B257-A9DC8F64B25B}");
        return false;
    }
    if (!CDirUtils::EnsureDirIsWritable(parent)) {
        Log("{F09243C9-8DF9-4606-91D3-2EBC12E929B5}");
        return false;
    }
    if (!IsFile(path, true, true)) {
        Log("{ADB1FCA0-27AD-40AD-9931-EEF227660A95}");
        return false;
    }
    if (platform::PathExists(path.GetString()) && !CFileUtils::EnsureFileIsWritable(path)) {
        Log("{42823FC8-C60D-422A-886E-E3D0FB623337}");
        return false;
    }
    if (encodingAware && (encoding & 0xFF) > TextFile::TF_ENCODING_UTF8) {
        Log("{04921E65-2BB5-411D-8C8D-7EBA96A840DB}");
        return false;
    }
    unsigned int unique = 0;
    std::string temp = platform::CreateTempFileName(parent.GetString(), "vtf", 0, unique);
    if (temp.empty()) {
        Log(encodingAware ? "{04921E65-2BB5-411D-8C8D-7EBA96A840DB}" : "{8C750BCB-F5EF-47E4-93A5-9F6C3CB4FA26}");
        return false;
    }
    CString tempPath(temp);
    bool written = false;
    try {
        written = encodingAware ? WriteAware(tempPath, lines, encoding) : WritePlain(tempPath, lines);
    } catch (const std::bad_alloc&) {
        platform::RemoveFile(temp);
        throw;
    }
    if (written && !platform::RenameReplacing(temp, path.GetString())) {
        Log(CString("{0AC363B7-EBF6-4283-A216-12422AE131AE}") +
            CString(platform::GetErrorMessage(platform::GetLastErrorCode())));
        written = false;
    }
    if (!written) platform::RemoveFile(temp);
    return written;
}

bool CFileUtils::IsFileContentIdentical(const CString& path, const TextArray& lines, bool encodingAware) {
    TextArray fromFile;
    ReadFileContent(path, fromFile, encodingAware, nullptr);
    return fromFile == lines;
}

}  // namespace vutil
