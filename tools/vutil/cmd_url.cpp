// vutil url: checks and repairs web addresses (CInternetUtils) and fetches a URL
// through the library's Internet session.

#include <iostream>
#include <memory>
#include <string>

#include "command.h"
#include "vutil/framework/internet_session.h"
#include "vutil/web/internet_utils.h"

namespace {

using vutil::CString;
using vutil::CInternetUtils;

constexpr const char* kName = "url";
constexpr const char* kUsage =
    "check [--email] <address>... | fetch [--lines N] [--timeout MS] <url>";

void PrintHelp() {
    std::cout << "usage: vutil url " << kUsage << "\n"
                 "  check   validates each address; a web address is also repaired and normalised\n"
                 "          (exit 1 when any address is invalid; --email: e-mail addresses)\n"
                 "  fetch   opens the URL as the link checker does (redirects followed) and prints\n"
                 "          the final status and the first N lines of the body (default 10)\n";
}

int RunCheck(const std::vector<std::string>& args) {
    bool email = false;
    std::vector<std::string> addresses;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--email") email = true;
        else if (args[i].size() > 2 && args[i].compare(0, 2, "--") == 0)
            return vutil::cli::UsageError(kName, "unknown option '" + args[i] + "'");
        else addresses.push_back(args[i]);
    }
    if (addresses.empty()) return vutil::cli::UsageError(kName, "check needs at least one address");
    int invalid = 0;
    for (const auto& a : addresses) {
        CString address(a);
        bool valid;
        if (email) {
            valid = CInternetUtils::IsValidEmailAddress(address);
        } else {
            valid = CInternetUtils::IsValidWebSiteAddress(address);
        }
        if (!valid) ++invalid;
        std::cout << (valid ? "valid   " : "invalid ") << a;
        if (valid && !email && address.str() != a) std::cout << " -> " << vutil::cli::Utf8(address);
        std::cout << '\n';
    }
    return invalid == 0 ? 0 : 1;
}

bool ParseCount(const std::string& text, unsigned long& value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 9) return false;
    value = std::stoul(text);
    return true;
}

int RunFetch(const std::vector<std::string>& args) {
    unsigned long lines = 10, timeout = 0;
    std::string url;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--lines" || a == "--timeout") {
            if (i + 1 >= args.size() || !ParseCount(args[i + 1], a == "--lines" ? lines : timeout))
                return vutil::cli::UsageError(kName, a + " needs a number");
            ++i;
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            return vutil::cli::UsageError(kName, "unknown option '" + a + "'");
        } else if (url.empty()) {
            url = a;
        } else {
            return vutil::cli::UsageError(kName, "fetch takes one URL");
        }
    }
    if (url.empty()) return vutil::cli::UsageError(kName, "fetch needs a URL");
    std::unique_ptr<vutil::CInternetSession> session(CInternetUtils::CreateInternetSession());
    if (!session) {
        std::cerr << "vutil url: no Internet session could be created\n";
        return 1;
    }
    if (timeout > 0) {
        session->SetOption(vutil::INTERNET_OPTION_CONNECT_TIMEOUT, static_cast<vutil::DWORD>(timeout));
        session->SetOption(vutil::INTERNET_OPTION_RECEIVE_TIMEOUT, static_cast<vutil::DWORD>(timeout));
    }
    try {
        const vutil::DWORD flags =
            vutil::INTERNET_FLAG_RELOAD | vutil::INTERNET_FLAG_NO_CACHE_WRITE | vutil::INTERNET_FLAG_TRANSFER_ASCII;
        vutil::cli::StatusLine progress("fetching " + url);
        std::unique_ptr<vutil::CStdioFile> file(session->OpenURL(url.c_str(), 1, flags));
        progress.Clear();
        auto* http = static_cast<vutil::CHttpFile*>(file.get());
        vutil::DWORD status = 0;
        if (http->QueryInfoStatusCode(status)) std::cout << "status " << status << '\n';
        http->SetReadBufferSize(4096);
        CString line;
        for (unsigned long n = 0; n < lines && file->ReadString(line); ++n) std::cout << vutil::cli::Utf8(line) << '\n';
        file->Close();
    } catch (const vutil::CInternetException& e) {
        std::cerr << "vutil url: " << e.GetErrorMessage().GetString() << " (Internet error " << e.m_dwError << ")\n";
        return 1;
    }
    return 0;
}

int RunUrl(const std::vector<std::string>& args) {
    if (args.empty()) return vutil::cli::UsageError(kName, "expected check or fetch");
    if (args[0] == "--help" || args[0] == "-h") {
        PrintHelp();
        return 0;
    }
    if (args[0] == "check") return RunCheck(args);
    if (args[0] == "fetch") return RunFetch(args);
    return vutil::cli::UsageError(kName, "unknown action '" + args[0] + "' (expected check or fetch)");
}

vutil::cli::Register reg({kName, kUsage, "check and repair web addresses, or fetch a URL through the session", RunUrl});

}  // namespace
