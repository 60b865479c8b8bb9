// vutil clip: text and file lists through the clipboard.

#include <filesystem>
#include <iostream>
#include <iterator>

#include "command.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/system/clipboard_utils.h"

namespace {

using vutil::CClipboardUtils;
using vutil::CString;
using vutil::CStringList;

constexpr const char* kName = "clip";
constexpr const char* kRowMarker = "\n";

int Fail(const std::string& what) {
    return vutil::cli::SystemError(kName, what, vutil::platform::GetLastErrorCode());
}

int Copy(const std::vector<std::string>& args) {
    bool files = false, cut = false, link = false;
    std::vector<std::string> items;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--files") files = true;
        else if (args[i] == "--cut") cut = files = true;
        else if (args[i] == "--link") link = files = true;
        else if (args[i].size() > 1 && args[i][0] == '-' && args[i] != "--")
            return vutil::cli::UsageError(kName, "unknown option '" + args[i] + "'");
        else items.push_back(args[i]);
    }
    vutil::CWnd window;
    if (files) {
        if (items.empty()) return vutil::cli::UsageError(kName, "copy --files needs at least one path");
        CStringList list;
        for (const auto& item : items)
            list.AddTail(CString(vutil::platform::FromHostPath(std::filesystem::absolute(item).lexically_normal().string())));
        if (!CClipboardUtils::CopyFilesToClipboard(&window, list, !cut, link)) return Fail("cannot copy the files");
        return 0;
    }
    std::string text;
    if (items.empty()) {
        text.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    } else {
        for (const auto& item : items) text += (text.empty() ? "" : " ") + item;
    }
    if (!CClipboardUtils::CopyTextToClipboard(&window, CString(vutil::platform::cp::Utf8ToCp1252(text))))
        return Fail("cannot copy the text");
    return 0;
}

int Paste() {
    CStringList cells;
    if (!CClipboardUtils::ParseClipboardText(cells, kRowMarker)) {
        if (vutil::platform::GetLastErrorCode() != 0) return Fail("cannot read the clipboard");
        std::cerr << "vutil clip: the clipboard holds no text\n";
        return 1;
    }
    // Cells of one row go out tab-separated, rows as lines.
    bool first = true;
    for (vutil::POSITION pos = cells.GetHeadPosition(); pos;) {
        const CString& cell = cells.GetNext(pos);
        if (cell == kRowMarker) {
            std::cout << "\n";
            first = true;
            continue;
        }
        std::cout << (first ? "" : "\t") << vutil::cli::Utf8(cell);
        first = false;
    }
    if (!first) std::cout << "\n";
    return 0;
}

int Files() {
    CStringList files;
    bool copy = true, link = false;
    if (!CClipboardUtils::ParseClipboardFilesList(files, copy, link)) {
        if (vutil::platform::GetLastErrorCode() != 0) return Fail("cannot read the clipboard");
        std::cerr << "vutil clip: the clipboard holds no files\n";
        return 1;
    }
    std::cout << (link ? "link" : copy ? "copy" : "move") << "\n";
    for (vutil::POSITION pos = files.GetHeadPosition(); pos;) std::cout << vutil::cli::Utf8(files.GetNext(pos)) << "\n";
    return 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) return vutil::cli::UsageError(kName, "copy, paste or files is needed");
    if (args[0] == "copy") return Copy(args);
    if (args.size() > 1) return vutil::cli::UsageError(kName, args[0] + " takes no arguments");
    if (args[0] == "paste") return Paste();
    if (args[0] == "files") return Files();
    return vutil::cli::UsageError(kName, "unknown action '" + args[0] + "'");
}

const vutil::cli::Register kRegister(
    {kName, "copy [--files|--cut|--link] [text or paths...] | paste | files",
     "copy puts text (the arguments, else standard input) or files on the clipboard; paste prints its text "
     "(cells tab-separated); files prints the drop effect and the files", Run});

}  // namespace
