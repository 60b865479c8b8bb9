// Launching programs and documents, associations, windows, launch-failure text.

#include "vutil/system/exe_utils.h"

#include "vutil/core/app_logger.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/desktop.h"
#include "vutil/platform/error.h"
#include "vutil/platform/process.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

void Log(const CString& line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

void LogWithError(const char* site) {
    const DWORD code = platform::GetLastErrorCode();
    Log(CString(site) + CSystemUtils::GetLastError(code));
}

// Whether a window passes the test both window searches share.
bool WindowMatches(const platform::TopWindow& w, const CString& className, const CString& title, bool exactTitle) {
    const CString windowTitle(w.title);
    if (!className.IsEmpty()) return CString(w.className).CompareNoCase(className) == 0 && windowTitle.Find(title) >= 0;
    if (title.IsEmpty()) return false;
    return exactTitle ? windowTitle.CompareNoCase(title) == 0 : windowTitle.Find(title) >= 0;
}

}  // namespace

const char* CExeUtils::GetVerb(LaunchCommand command, bool forAssociation) {
    switch (command) {
        case LC_EDIT: return "edit";
        case LC_EXPLORE: return "explore";
        case LC_FIND: return "find";
        case LC_PRINT: return "print";
        case LC_PROPERTIES: return "properties";
        case LC_RUNAS: return forAssociation ? "open" : "runas";
        default: return "open";
    }
}

bool CExeUtils::LaunchApp(const CString& exe, const CString& arguments, const CString& initialDir,
                          const CString& windowTitle, bool wait, void*& threadHandle, void*& processHandle) {
    (void)windowTitle;  // a start-up title only means something to a console of its own
    const char* site = nullptr;
    if (CStringUtils::IsEffectivelyEmpty(exe)) site = "{A558B800-E9B5-4481-B55C-20A1600ABC6F}";
    else if (CStringUtils::IsEffectivelyEmpty(initialDir)) site = "{C5CD4469-D48D-4F91-B9E0-C098168AE36A}";
    else if (!CFileUtils::IsFile(exe, true, true)) site = "{E5993525-7D33-4946-B6A0-CD39B7EC4B37}";
    else if (!CFileUtils::IsFile(exe, true, false)) site = "{E90B53E4-A2DB-4804-96DC-4E292192A6C2}";
    else if (!CDirUtils::IsDir(initialDir, true)) site = "{E75FB52F-8D9A-4F8B-A02B-BBF35D9B1365}";
    else if (!CDirUtils::IsDir(initialDir, false)) site = "{2DC9632F-2AAD-46E1-9FC4-D32978DE7F6D}";
    if (site) {
        Log(site);
        return false;
    }
    threadHandle = nullptr;
    processHandle = nullptr;
    // The program is named apart from its arguments, so a path with spaces needs no
    // quotes; the arguments split as the program's own runtime would split them.
    std::vector<std::string> argv{exe.str()};
    if (!CStringUtils::IsEffectivelyEmpty(arguments))
        for (auto& a : platform::SplitCommandLine(arguments.view())) argv.push_back(std::move(a));
    platform::ProcessId pid = 0;
    if (!platform::StartProcess(argv, initialDir.view(), pid)) {
        LogWithError("{979F9A2F-BD73-4323-9406-C4325FD6B871}");
        return false;
    }
    void* process = nullptr;
    void* thread = nullptr;
    CProcessHandle::Create(pid, process, thread);
    if (!wait) {
        processHandle = process;
        threadHandle = thread;
        return true;
    }
    const bool ended = CProcessHandle::Wait(process, CProcessHandle::kInfinite) == CProcessHandle::kWaitObject0;
    if (!ended) LogWithError("{391B0389-C7D7-4b06-BD30-398A604AC10A}");
    CProcessHandle::Close(thread);
    CProcessHandle::Close(process);
    return ended;
}

bool CExeUtils::ShellLaunchApp(const CString& file, const CString& parameters, const CString& dir, bool plainInvoke,
                               LaunchCommand command, int showCommand, CString& error, HWND owner) {
    // Handlers start detached and show themselves; nothing waits on a conversation.
    (void)plainInvoke, (void)showCommand, (void)owner;
    error.Empty();
    if (CStringUtils::IsEffectivelyEmpty(file)) {
        Log("{685C2DB2-38BD-4410-A1AF-951301B8ABC5}");
        return false;
    }
    const DWORD code = platform::OpenWithHandler(file.view(), parameters.view(), dir.view(), GetVerb(command, false));
    if (code == 0) return true;
    error = CSystemUtils::GetLastError(code);
    return false;
}

CString CExeUtils::GetFileAssocExe(const CString& extension, LaunchCommand command) {
    if (extension.IsEmpty() || extension[0] != '.') return CString();
    if (auto app = platform::AppForExtension(extension.view(), GetVerb(command, true)); app && !app->program.empty())
        return CString(app->program);
    TextArray ids;
    CRegistryUtils::GetKeyValues(HKEY_CLASSES_ROOT, extension + "\\OpenWithProgids", ids);
    for (const CString& id : ids) {
        CString cmd = CRegistryUtils::GetKeyValue(HKEY_CLASSES_ROOT, id + "\\shell\\open\\command", "");
        CString path;
        if (!cmd.IsEmpty() && cmd[0] == '"') {
            const int close = cmd.Find('"', 1);
            path = close < 0 ? cmd.Mid(1) : cmd.Mid(1, close - 1);
        } else {
            const int space = cmd.Find(' ');
            path = space < 0 ? cmd : cmd.Left(space);
        }
        if (!path.IsEmpty() && CFileUtils::IsFile(path, true, false)) return path;
    }
    return CString();
}

CWnd* CExeUtils::FindAppWindow(const CString& className, const CString& title, bool exactTitle) {
    if (className.IsEmpty() && title.IsEmpty()) return nullptr;
    for (const auto& w : platform::ListTopWindows())
        if (WindowMatches(w, className, title, exactTitle)) return CWnd::FromHandle(reinterpret_cast<HWND>(w.id));
    return nullptr;
}

int CExeUtils::FindAppWindowCount(const CString& className, const CString& title, bool exactTitle) {
    int count = 0;
    for (const auto& w : platform::ListTopWindows())
        if (WindowMatches(w, className, title, exactTitle)) ++count;
    return count;
}

CString CExeUtils::GetDisplayError(const CString& text) {
    if (CStringUtils::IsEffectivelyEmpty(text)) return CString();
    static const char* const kSupport =
        "\n\nPlease contact technical support and quote the message above if you see it.";
    static const char* const kOften =
        "\n\nIf this happens often, please contact technical support and quote the message above.";
    static const char* const kFailed =
        "The application to be launched could not be started. This is generally an operating system level error.";
    struct Row {
        const char* id;
        const char* message;
        const char* tail;
    };
    static const Row kRows[] = {
        {"{AFCDAB4E-0896-4370-99EA-844283C3695F}", "Internal program error. Application to launch was not specified.", kSupport},
        {"{4F31253E-D4E5-4d86-A066-E795838FF01A}", "Internal program error. Application's initial directory not set.", kSupport},
        {"{979F9A2F-BD73-4323-9406-C4325FD6B871}", kFailed, kOften},
        {"{EE507956-9C73-4dc9-90A5-DEC8400F8566}", kFailed, ""},
        {"{7CEEFB4C-15B1-4ee7-BF73-5EAC6DC0868B}", "The application to be launched could not be started", ""},
        {"{391B0389-C7D7-4b06-BD30-398A604AC10A}",
         "Unable to wait for launched application to finish. This is generally an operating system level error.", ""},
        {"{4C157966-036A-437c-AC18-53CBF689784C}",
         "Internal program error. Application or file to launch was not specified.", kSupport},
        {"{8C3BE2B7-12B4-479d-9574-6AE674A5AFCD}",
         "The operating system is out of memory or resources. Please close other applications.", ""},
        {"{1D1A998C-3F2D-481c-B76A-E66BEE64EB55}",
         "Internal program error. The application to be launched is not a valid Windows executable.", kSupport},
        {"{3B036D41-E044-4d6c-8244-358658D9D41E}",
         "The file or application to be launched does not allow access. If another application is tying up the "
         "file, be sure to close it.\n\nAnother possibility is that your computer doesn't have the software "
         "installed to view this file format.",
         ""},
        {"{D819C368-6F2D-493b-88D4-FC65740C6487}",
         "There is no application registered that is associated with the file extension of the file to be "
         "launched. This is a setting that must be set in the Registry, and is typically done by the installation "
         "program of the intended application.",
         ""},
        {"{B14F6D44-70E6-4fad-BD08-FF79088C8C9B}",
         "The application or file couldn't be launched because some fundamental operating system components aren't "
         "working properly. You might try rebooting the computer.",
         ""},
        {"{E290E5ED-F1D1-4769-9809-ED50E3C7BBD1}", "The specified file or application could not be found on your computer.",
         kOften},
        {"{DDBB48D9-1FD9-4e78-9FB8-5713242B798A}",
         "The operating system is out of memory or resource. Please close one or more other application.", ""},
        {"{36B7630D-572F-4d9b-BC50-52B16FA9B59D}",
         "The specified path to the file or application could not be found on your computer.", kOften},
        {"{CE7DF771-9252-4ff3-B438-EA046538A518}",
         "The file is currently being used by another application. Please close any and all applications that are "
         "using this file and try again.",
         ""},
    };
    for (const Row& row : kRows)
        if (text.Find(row.id) >= 0) return CString(row.message) + row.tail;
    return CString();
}

}  // namespace vutil
