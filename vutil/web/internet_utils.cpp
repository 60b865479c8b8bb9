// CInternetUtils: address validation and repair, addresses in free text, file URLs.

#include "vutil/web/internet_utils.h"

#include <string_view>

#include "vutil/files/dir_utils.h"
#include "vutil/framework/collections.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"
#include "vutil/web/top_level_domains_internal.h"

namespace vutil {
namespace {

bool IsBlank(char c) { return CStringUtils::IsSpace(static_cast<unsigned char>(c)); }

bool InDomainList(const CString& text) { return web_internal::IsTopLevelDomain(text.view()); }

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    if (suffix.size() > text.size()) return false;
    const std::size_t off = text.size() - suffix.size();
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (CStringUtils::ToLower(static_cast<unsigned char>(text[off + i])) !=
            CStringUtils::ToLower(static_cast<unsigned char>(suffix[i])))
            return false;
    }
    return true;
}

bool IsRunStop(char c, bool stopAtEquals) {
    return IsBlank(c) || c == '"' || c == '\'' || (stopAtEquals && c == '=');
}

}  // namespace

bool CInternetUtils::IsValidEmailAddress(const CString& address) {
    if (CStringUtils::IsEffectivelyEmpty(address)) return false;
    const int at = address.Find('@');
    if (at < 0 || address.Find('.', at + 1) < 0) return false;
    CString trimmed(address);
    CStringUtils::Trim(trimmed);
    for (char c : trimmed.view())
        if (IsBlank(c)) return false;
    return true;
}

void CInternetUtils::ParseHTTPFromServer(const CString& address, CString& scheme, CString& rest, bool& isNumeric) {
    isNumeric = false;
    static constexpr std::string_view kMarkers[] = {"://", ":/", "p:", "p//", "p/", "s:", "s//", "s/"};
    for (std::string_view marker : kMarkers) {
        const int at = address.Find(marker);
        if (at < 0) continue;
        const int end = at + static_cast<int>(marker.size());
        scheme = address.Left(end);
        rest = address.Mid(end);
        return;
    }
    // A dotted numeric address: four leading pieces that are numbers 1..255.
    int start = 0;
    int thirdDot = -1;
    for (int piece = 0; piece < 4; ++piece) {
        int dot = address.Find('.', start);
        CString text = dot < 0 ? address.Mid(start) : address.Mid(start, dot - start);
        if (piece < 3 && dot < 0) break;  // fewer than four pieces
        const int value = CNumberTextConv::GetNumberFromString(text);
        if (value < 1 || value > 255) break;
        if (piece == 3) {
            int end = thirdDot + 1;
            while (end < address.GetLength() && end - thirdDot <= 3 && CStringUtils::IsDigit(static_cast<unsigned char>(address[end])))
                ++end;
            isNumeric = true;
            scheme = address.Left(end);
            rest = address.Mid(end);
            return;
        }
        if (piece == 2) thirdDot = dot;
        start = dot + 1;
    }
    rest = address;
}

bool CInternetUtils::IsValidWebSiteAddress(CString& address) {
    if (CStringUtils::IsEffectivelyEmpty(address) || address.Find("..") >= 0) {
        address.Empty();
        return false;
    }
    CStringUtils::Trim(address);
    CString scheme, rest;
    bool isNumeric = false;
    ParseHTTPFromServer(address, scheme, rest, isNumeric);
    if (isNumeric) return true;
    if (rest.Find('.') < 0) return false;

    const int slash = rest.Find('/');
    const bool hasPath = slash >= 0;
    CString path = hasPath ? rest.Mid(slash) : CString();
    CString host = hasPath ? rest.Left(slash) : rest;
    CDirUtils::RemoveTrailingSlash(host);

    CStringArray parts;
    CStringUtils::SplitLine(host, ".", parts);
    const int count = static_cast<int>(parts.GetSize());
    if (count < 2) return false;

    if (count >= 3) {
        if (CStringUtils::MatchFirstChars(parts[0], "ww", false)) parts.SetAt(0, "www");
        CString last = parts[count - 1];
        last.MakeLower();
        last.Replace('\\', '/');
        const int lastSlash = last.Find('/');
        if (lastSlash < 0) {
            if (!InDomainList(last) || count > 4) return false;
        } else {
            const int cut = last.FindOneOf("./");
            if (!InDomainList(last.Left(cut))) return false;
        }
        CString joined;
        joined.Format("%s.%s.%s", parts[0], parts[1], parts[2]);
        if (count >= 4) joined += "." + parts[3];
        rest = joined + path;
    } else if (host.Right(7).Find('.') < 0) {
        // A dot missing before the domain: the first listed domain that ends the name.
        const CString second = parts[1];
        bool repaired = false;
        for (std::string_view domain : web_internal::TopLevelDomains()) {
            if (!EndsWithNoCase(second.view(), domain)) continue;
            host = host.Left(host.GetLength() - static_cast<int>(domain.size())) + "." + CString(domain);
            repaired = true;
            break;
        }
        if (!repaired) return false;
        rest = host + path;
    } else {
        int n = 0;
        while (n < host.GetLength() && (host[n] == 'w' || host[n] == 'W')) ++n;
        if (n == 0) {
            if (!InDomainList(host.Mid(host.Find('.') + 1))) return false;
        } else if (n >= 2) {
            if (n == 2) host.Insert(0, 'w');
            else if (n > 3) host.Delete(0, n - 3);
            host.Insert(3, '.');
            rest = host + path;
        }
    }

    CString newScheme = scheme.FindOneOf("sS") >= 0 ? "https://" : "http://";
    if (rest.GetLength() > 0 && rest[0] == '.') rest.Insert(0, "www");
    address = newScheme + rest;
    address.Replace('\\', '/');
    if (!hasPath) CDirUtils::EnsureTrailingForwardSlash(address);
    return true;
}

void CInternetUtils::ParseEmailAddresses(const CString& text, TextArray& found) {
    // Walks the "@"/"." pairs in the order FindOccurrencePair numbers them, in one pass.
    const std::string_view s = text.view();
    const std::size_t npos = std::string_view::npos;
    std::size_t p = s.find('@');
    while (p != npos) {
        const std::size_t q = s.find('.', p + 1);
        if (q == npos) break;
        const std::size_t inner = s.substr(0, q).rfind('@');
        if (inner != npos && inner > p) p = inner;
        std::size_t left = p;
        while (left > 0 && !IsRunStop(s[left], true)) --left;
        std::size_t right = q;
        while (right + 1 < s.size() && !IsRunStop(s[right], false)) ++right;
        CString run(s.substr(left, right - left + 1));
        CStringUtils::TrimPunctuation(run, "", "");
        found.Add(run);
        p = s.find('@', q + 1);
    }
}

void CInternetUtils::ParseWebSiteAddresses(const CString& text, TextArray& found) {
    CString lower(text);
    lower.MakeLower();
    const std::string_view s = text.view();
    const std::string_view l = lower.view();
    const std::size_t npos = std::string_view::npos;
    // Positions are kept between rounds, so a long text is searched once, not once per address.
    std::size_t offset = 0;
    std::size_t http = l.find("http:");
    std::size_t www = http == npos ? l.find("www.") : npos;
    while (offset < s.size()) {
        if (http != npos && http < offset) http = l.find("http:", offset);
        std::size_t pos = http;
        if (pos == npos) {
            if (www == npos || www < offset) www = l.find("www.", offset);
            pos = www;
        }
        if (pos == npos) return;
        std::size_t start = pos;
        while (start > offset && !IsRunStop(s[start], true)) --start;
        std::size_t end = start + 1;
        while (end + 1 < s.size() && !IsRunStop(s[end], false)) ++end;
        if (end >= s.size()) end = s.size() - 1;
        if (start < end) {
            CString run(s.substr(start, end - start + 1));
            CStringUtils::TrimPunctuation(run, "", "\\/");
            found.Add(run);
        }
        if (end + 1 >= s.size()) return;
        offset = end + 1;
    }
}

bool CInternetUtils::IsInternetFile(const CString& name) {
    if (name.GetLength() < 4) return false;
    static constexpr const char* kPrefixes[] = {"http:", "www.", "https:", "ftp:", "feed:http:", "gopher:"};
    for (const char* prefix : kPrefixes)
        if (CStringUtils::MatchFirstChars(name, prefix, false)) return true;
    return false;
}

CString CInternetUtils::ConvertFromLocalPathToURL(const CString& path) {
    if (CStringUtils::IsEffectivelyEmpty(path)) return CString();
    CString url(path);
    url.Replace('\\', '/');
    if (!CStringUtils::MatchFirstChars(url, "file:///", false)) url.Insert(0, "file:///");
    return url;
}

CString CInternetUtils::ConvertFromURLToLocalPath(const CString& url) {
    if (CStringUtils::IsEffectivelyEmpty(url)) return CString();
    const bool isFileUrl = CStringUtils::MatchFirstChars(url, "file:///", false);
    if (!isFileUrl && url.Find('/') < 0) return url;
    CString path = isFileUrl ? url.Mid(8) : url;
    path.Replace('/', '\\');
    return path;
}

}  // namespace vutil
