// CHTMLUtils: remote links validated over an Internet session, anchors looked up in a
// page's lines, form data posted to a server.

#include <memory>
#include <vector>

#include "vutil/core/app_logger.h"
#include "vutil/framework/internet_session.h"
#include "vutil/system/system_utils.h"
#include "vutil/text/string_utils.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/internet_utils.h"

namespace vutil {

// Always from the server, never into the cache.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_TRANSFER_ASCII;
static_assert(kOpenFlags == 0x84000001);

namespace {

// Internet error numbers the validation tells apart.
enum : std::uint32_t {
    kErrFileNotFound = 2,
    kErrInvalidHandle = 6,
    kErrTimeout = 12002,
    kErrExtendedError = 12003,
    kErrUnrecognizedScheme = 12006,
    kErrNameNotResolved = 12007,
    kErrOperationCancelled = 12017,
    kErrCannotConnect = 12029,
    kErrConnectionAborted = 12030,
    kErrConnectionReset = 12031,
    kErrCertDateInvalid = 12037,
    kErrCertCnInvalid = 12038,
    kErrInvalidCa = 12045,
    kErrHeaderNotFound = 12150,
    kErrInvalidServerResponse = 12152,
    kErrRedirectFailed = 12156,
    kErrSecureChannel = 12157,
};

void Log(const CString& line) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(line);
}

// The exception's text, at most `limit` characters.
CString ErrorText(const CInternetException& e, unsigned int limit) {
    std::vector<char> buffer(limit + 1, '\0');
    e.GetErrorMessage(buffer.data(), limit + 1);
    return CString(buffer.data());
}

std::uint32_t MapInternetError(const CInternetException& e, const CString& address) {
    const std::uint32_t error = e.m_dwError;
    switch (error) {
    case kErrFileNotFound: return CHTMLUtils::HTTP_LINK_WORKOFFLINE;
    case kErrInvalidHandle: return CHTMLUtils::HTTP_LINK_APP_ERROR;
    case kErrTimeout: return CHTMLUtils::HTTP_LINK_TIMEDOUT;
    case kErrExtendedError:
    case kErrInvalidServerResponse: return CHTMLUtils::HTTP_LINK_INVALIDURL;
    case kErrUnrecognizedScheme: return CHTMLUtils::HTTP_LINK_INVALIDPROTOCOL;
    case kErrOperationCancelled: return CHTMLUtils::HTTP_LINK_CANCELED;
    case kErrCannotConnect:
    case kErrConnectionAborted:
    case kErrConnectionReset: return CHTMLUtils::HTTP_LINK_SERVERCONNLOST;
    // A certificate the system does not trust still proves the page is there.
    case kErrCertDateInvalid:
    case kErrCertCnInvalid:
    case kErrInvalidCa: return CHTMLUtils::HTTP_LINK_VALID;
    case kErrHeaderNotFound: return CHTMLUtils::HTTP_LINK_HEADERNOTFOUND;
    case kErrRedirectFailed: return CHTMLUtils::HTTP_LINK_REDIRECT_FAILED;
    case kErrSecureChannel: return CHTMLUtils::HTTP_LINK_SECURE_CHANNEL;
    default: break;
    }
    CString text = ErrorText(e, 255);
    CString line;
    if (error == kErrNameNotResolved) {
        if (text.Find("The server name or address could not be resolved") >= 0) return CHTMLUtils::HTTP_LINK_INVALIDURL;
        line.Format("{9BF1CC9E-510E-4c00-8CBC-F56D7325C0F2} %s: (%d) %s", address, static_cast<int>(error), text);
    } else {
        line.Format("{57F4DCF8-2EF1-4d18-86A4-96124562A9A7} - %s: (%d) %s", address, static_cast<int>(error), text);
    }
    Log(line);
    return CHTMLUtils::HTTP_LINK_GENERICERROR;
}

bool IsBareHttp(const CString& url) {
    for (const char* bare : {"http", "http:", "http:/", "http://", "http://www", "http://www."})
        if (url.CompareNoCase(bare) == 0) return true;
    return false;
}

}  // namespace

std::uint32_t CHTMLUtils::ValidateLinkExternal(CInternetSession* session, const CString& url) {
    if (url.IsEmpty()) return HTTP_LINK_BLANKURL;
    if (!session) return HTTP_LINK_NOINTERNETCONN;
    bool known = false;
    for (const char* scheme : {"file:", "ftp:", "gopher:", "http:", "https:"})
        known = known || CStringUtils::MatchFirstChars(url, scheme, false);
    if (!known) return HTTP_LINK_INVALIDPROTOCOL;
    if (IsBareHttp(url)) return HTTP_LINK_INVALIDURL;

    CString address = url;
    CString anchor;
    const int hash = GetAnchorIndex(url);
    if (hash >= 0) {
        anchor = url.Mid(hash + 1);
        address = url.Left(hash);
    }
    ReplaceHTMLReservedChars(anchor, false, false);
    ReplaceHTMLReservedChars(address, false, false);

    std::uint32_t result = HTTP_LINK_GENERICERROR;
    std::unique_ptr<CStdioFile> file;
    try {
        file.reset(session->OpenURL(address, 1, kOpenFlags, nullptr, 0));
        if (!file) return HTTP_LINK_UNABLETOOPENURL;
        auto* http = dynamic_cast<CHttpFile*>(file.get());
        DWORD status = 0;
        bool asked = false;
        try {
            asked = http && http->QueryInfoStatusCode(status);
            if (!asked) Log(CString("{76B360F0-FB55-47f6-90AC-FEA6F2F5780E}") + CSystemUtils::GetLastError(0));
        } catch (const CException&) {
            asked = false;
        }
        result = asked ? static_cast<std::uint32_t>(status) : HTTP_LINK_QUERYFAILED;
        if (asked && status == HTTP_LINK_VALID && !anchor.IsEmpty()) {
            // Each line is checked alone, so a duplicate shows only within one line.
            try {
                if (http) http->SetReadBufferSize(4096);
                TextArray lines;
                lines.Add(CString());
                CString line, found;
                while (file->ReadString(line)) {
                    lines.Replace(0, line);
                    result = ValidateAnchor(anchor, lines, found);
                    if (result == HTTP_LINK_VALID || result == HTTP_LINK_ANCHORREF_BADCASE ||
                        result == HTTP_LINK_ANCHORREF_DUPLICATE)
                        break;
                }
            } catch (const CException&) {
                // What was read so far decides.
            }
        }
        file->Close();
    } catch (const CInternetException& e) {
        result = MapInternetError(e, address);
    }
    return result;
}

std::uint32_t CHTMLUtils::ValidateAnchor(const CString& anchor, TextArray& lines, CString& found) {
    found.Empty();
    CString lowerAnchor = anchor;
    lowerAnchor.MakeLower();
    int matches = 0;
    TextArray tags, one, names;
    for (const CString& line : lines) {
        if (CStringUtils::IsEffectivelyEmpty(line)) continue;
        CString lower = line;
        lower.MakeLower();
        if (lower.Find(lowerAnchor) < 0) continue;
        // Names are read tag by tag through GetAnchors, so both agree on what an anchor
        // is; one tag at a time keeps repeated names apart.
        tags.DeleteAll();
        ParseHTMLTags(line, tags);
        for (const CString& tag : tags) {
            one.DeleteAll();
            names.DeleteAll();
            one.Add(tag);
            bool duplicates = false;
            GetAnchors(one, names, duplicates);
            for (const CString& name : names) {
                if (name.CompareNoCase(anchor) != 0) continue;
                ++matches;
                found = name;
            }
        }
    }
    if (matches == 0) return HTTP_LINK_ANCHORREF_NOANCHOR;
    if (matches > 1) return HTTP_LINK_ANCHORREF_DUPLICATE;
    return found == anchor ? HTTP_LINK_VALID : HTTP_LINK_ANCHORREF_BADCASE;
}


bool CHTMLUtils::DoHTTPPost(const CString& url, const CString& postData, CString& errorMessage) {
    if (url.IsEmpty() || postData.IsEmpty()) return false;
    CString server, object;
    const int scheme = url.Find("://");
    if (scheme >= 0) server = url.Mid(scheme + 3);
    const int slash = server.Find('/');
    if (slash >= 0) {
        object = server.Mid(slash + 1);
        server = server.Left(slash);
    }
    std::unique_ptr<CInternetSession> session(CInternetUtils::CreateInternetSession());
    if (!session) return false;
    std::unique_ptr<CHttpConnection> connection;
    std::unique_ptr<CHttpFile> request;
    bool ok = false;
    try {
        connection.reset(session->GetHttpConnection(server, 0, nullptr, nullptr));
        if (!connection) {
            session->Close();
            return false;
        }
        request.reset(connection->OpenRequest(HTTP_VERB_POST, object, nullptr, 1, nullptr, nullptr,
                                              INTERNET_FLAG_EXISTING_CONNECT));
        if (!request) {
            connection->Close();
            session->Close();
            return false;
        }
        static const char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded";
        DWORD status = 0;
        ok = request->SendRequest(kFormHeader, sizeof kFormHeader - 1, postData.GetString(),
                                  static_cast<DWORD>(postData.GetLength())) &&
             request->QueryInfoStatusCode(status) && status == 200;
    } catch (const CInternetException& e) {
        std::vector<char> text(1024, '\0');
        e.GetErrorMessage(text.data(), static_cast<UINT>(text.size()));
        errorMessage = CString(text.data());
        ok = false;
    }
    // Request, connection, session: the order they were made in, reversed.
    if (request) request->Close();
    request.reset();
    if (connection) connection->Close();
    connection.reset();
    session->Close();
    return ok;
}

}  // namespace vutil
