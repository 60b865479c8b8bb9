// vutil bin: lists, restores and empties the recycle bin (the desktop trash and any
// Windows bin on the drives).

#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/platform/error.h"
#include "vutil/system/recycle_bin.h"

namespace {

using vutil::CString;
using vutil::RecycleBin;

int RunBin(const std::vector<std::string>& args) {
    if (args.empty()) return vutil::cli::UsageError("bin", "missing action (list, restore or empty)");
    const std::string& action = args[0];
    if (action == "list") {
        if (args.size() > 1) return vutil::cli::UsageError("bin", "list takes no arguments");
        vutil::TextArray stored, former;
        {
            vutil::cli::StatusLine status("reading the bin");
            RecycleBin::GetContent(stored, former, false);
        }
        for (unsigned int i = 0; i < stored.GetCount(); ++i)
            std::cout << vutil::cli::Utf8(former.GetAt(i)) << '\t' << vutil::cli::Utf8(stored.GetAt(i)) << '\n';
        return 0;
    }
    if (action == "restore") {
        if (args.size() != 2 || args[1].empty())
            return vutil::cli::UsageError("bin", "restore needs exactly one stored file");
        RecycleBin bin;
        vutil::platform::SetLastErrorCode(vutil::platform::kErrorFileNotFound);
        if (!bin.DoRestore(CString(args[1])))
            return vutil::cli::SystemError("bin", "cannot restore " + args[1], vutil::platform::GetLastErrorCode());
        return 0;
    }
    if (action == "empty") {
        if (args.size() > 1) return vutil::cli::UsageError("bin", "empty takes no arguments");
        bool ok;
        {
            vutil::cli::StatusLine status("emptying the bin");
            ok = RecycleBin::DeleteAll();
        }
        if (!ok) return vutil::cli::SystemError("bin", "cannot empty the bin", vutil::platform::GetLastErrorCode());
        return 0;
    }
    return vutil::cli::UsageError("bin", "unknown action '" + action + "'");
}

const vutil::cli::Register kBin{{"bin", "list | restore <stored file> | empty",
                                 "The recycle bin: list items (former path, tab, stored file), restore one to its "
                                 "former path, or empty the bin.",
                                 RunBin}};

}  // namespace
