// CHTMLUtils: reading a page's lines.
//
// Pages are read by CFileUtils::ReadFileContent on its plain road. Until the text-file
// reader is part of this build the page is read here as bytes and cut at line feeds
// (a carriage return before one is dropped), which is what that road gives for an
// ANSI page.

#include <string_view>

#include "vutil/files/file_utils.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/web/html_scan_internal.h"

namespace vutil::html_detail {

namespace {

void ReadBytesAsLines(const CString& path, TextArray& lines) {
    lines.DeleteAll();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone)) return;
    std::string bytes;
    try {
        char chunk[65536];
        while (UINT n = file.Read(chunk, sizeof chunk)) bytes.append(chunk, n);
    } catch (const CFileException&) {
        return;
    }
    std::string_view all = bytes;
    while (!all.empty()) {
        std::size_t nl = all.find('\n');
        std::string_view line = all.substr(0, nl);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.Add(CString(line));
        if (nl == npos) break;
        all.remove_prefix(nl + 1);
    }
}

}  // namespace

template <class Files>
void ReadPageWith(const CString& path, TextArray& lines) {
    if constexpr (requires(TextArray& l) { Files::ReadFileContent(path, l, false, nullptr); })
        Files::ReadFileContent(path, lines, false, nullptr);
    else
        ReadBytesAsLines(path, lines);
}

void ReadPage(const CString& path, TextArray& lines) { ReadPageWith<CFileUtils>(path, lines); }

}  // namespace vutil::html_detail
