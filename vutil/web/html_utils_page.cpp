// CHTMLUtils: reading a page's lines, through the text-file reader's plain road.

#include "vutil/files/file_utils.h"
#include "vutil/web/html_scan_internal.h"

namespace vutil::html_detail {

void ReadPage(const CString& path, TextArray& lines) { CFileUtils::ReadFileContent(path, lines, false, nullptr); }

}  // namespace vutil::html_detail
