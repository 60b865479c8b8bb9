#include "vutil/system/browser_utils.h"

#include "vutil/core/app_logger.h"
#include "vutil/core/text_array.h"
#include "vutil/platform/desktop.h"
#include "vutil/system/registry_utils.h"
#include "vutil/text/number_text_conv.h"

namespace vutil {

namespace {

constexpr const char* kClients = "SOFTWARE\\Clients\\StartMenuInternet\\";

CString StoreDefault() {
    CString name = CRegistryUtils::GetKeyValue(HKEY_CURRENT_USER, "Software\\Clients\\StartMenuInternet", "");
    if (name.IsEmpty()) name = CRegistryUtils::GetKeyValue(HKEY_LOCAL_MACHINE, "Software\\Clients\\StartMenuInternet", "");
    return name;
}

// Any registered browser at all, in either root.
bool StoreHasBrowsers() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        TextArray names;
        CRegistryUtils::GetSubKeys(root, kClients, names, false);
        if (!names.IsEmpty()) return true;
    }
    return false;
}

CString LocalMachineValue(const CString& key) { return CRegistryUtils::GetKeyValue(HKEY_LOCAL_MACHINE, key, ""); }

void MarkKeywords(const CString& name, bool& ie, bool& firefox, bool& opera, bool& chrome) {
    CString lower = name;
    lower.MakeLower();
    if (lower.Find("iexplore") >= 0) ie = true;
    if (lower.Find("firefox") >= 0) firefox = true;
    if (lower.Find("opera") >= 0) opera = true;
    if (lower.Find("chrome") >= 0) chrome = true;
}

}  // namespace

CString CBrowserUtils::GetDefaultBrowser() {
    CString name = StoreDefault();
    if (name.IsEmpty() && !StoreHasBrowsers())
        if (auto app = platform::DefaultBrowser()) name = CString(app->id);
    return name;
}

CString CBrowserUtils::GetDefaultBrowserName() {
    const CString browser = GetDefaultBrowser();
    if (browser.IsEmpty()) return CString();
    if (StoreDefault().IsEmpty()) {
        auto app = platform::DefaultBrowser();
        return app ? CString(app->name) : CString();
    }
    return LocalMachineValue(CString(kClients) + browser);
}

CString CBrowserUtils::GetDefaultBrowserPath() {
    const CString browser = GetDefaultBrowser();
    if (browser.IsEmpty()) return CString();
    if (StoreDefault().IsEmpty()) {
        auto app = platform::DefaultBrowser();
        return app ? CString(app->command) : CString();
    }
    CString key;
    key.Format("SOFTWARE\\Clients\\StartMenuInternet\\%s\\shell\\open\\command", browser.GetString());
    return LocalMachineValue(key);
}

CString CBrowserUtils::GetDefaultBrowserIcon(int& iconIndex) {
    iconIndex = 0;
    const CString browser = GetDefaultBrowser();
    if (browser.IsEmpty()) return CString();
    if (StoreDefault().IsEmpty()) {
        auto app = platform::DefaultBrowser();
        return app ? CString(app->icon) : CString();
    }
    CString key;
    key.Format("SOFTWARE\\Clients\\StartMenuInternet\\%s\\DefaultIcon", browser.GetString());
    CString value = LocalMachineValue(key);
    const int comma = value.ReverseFind(',');
    if (comma < 0) return value;
    iconIndex = CNumberTextConv::GetNumberFromString(value.Mid(comma + 1));
    return value.Left(comma);
}

void CBrowserUtils::GetInstalledBrowsers(bool& ie, bool& firefox, bool& opera, bool& chrome) {
    struct Root {
        HKEY key;
        const char* site;
    };
    static const Root kRoots[] = {{HKEY_CURRENT_USER, "{5B1E3C52-8A7D-4F0E-9C61-2D4A7B9E0F13} current user:"},
                                  {HKEY_LOCAL_MACHINE, "{C8D2F6A1-3E45-4B7C-A09D-6F1E2B8C4D57} local machine:"}};
    bool any = false;
    for (const Root& root : kRoots) {
        TextArray names;
        CRegistryUtils::GetSubKeys(root.key, kClients, names, false);
        for (const CString& name : names) {
            any = true;
            if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(CString(root.site) + " " + name);
            MarkKeywords(name, ie, firefox, opera, chrome);
        }
    }
    if (any) return;
    if (auto app = platform::DefaultBrowser()) {
        if (CAppLogger* log = CAppLogger::GetInstance())
            log->AddLine(CString("{0E7A4C19-6B2D-4F83-A5E1-9D3C7F20B864} desktop: ") + app->id.c_str());
        MarkKeywords(CString(app->id) + " " + CString(app->name), ie, firefox, opera, chrome);
    }
}

}  // namespace vutil
