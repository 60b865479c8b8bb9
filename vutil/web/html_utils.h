#pragma once
// CHTMLUtils: links, anchors and text of HTML pages, HTML character entities, paths
// as links. All members are static.

#include <cstdint>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CInternetUtils;
class CInternetSession;

class CHTMLUtils {
public:
    // ---- Link extraction ----
    // Reads the page at `path` and appends every link it finds, in page order.
    static void ParseLinks(const CString& path, TextArray& links, bool includeUnverified);
    // The links of the tags of one line of text.
    static void ParseLink(const CString& text, TextArray& links, bool includeUnverified);
    static void GetSupportedHTMLFiles(TextArray& extensions, bool pagesOnly);

    // ---- Anchors and tag texts ----
    static int GetAnchorIndex(const CString& link);
    static void GetAnchors(const TextArray& lines, TextArray& anchors, bool& hadDuplicates);
    static void ParseTextBetweenHTMLTags(const TextArray& lines, const CString& openTag, const CString& closeTag,
                                         TextArray& texts);
    static CString GetHTMLBasePath(const CString& path);

    // ---- HTML text and paths as links ----
    static void ReplaceHTMLReservedChars(CString& text, bool remove, bool blank);
    static CString ConvertAbsToRelPathAsLink(const CString& target, const CString& fromFile);
    static CString ConvertRelPathAsLinkToAbs(const CString& link, const CString& fromFile);
    static CString GetServerPath(const CString& localPath, const CString& localRoot, const CString& serverRoot);

    // ---- Extraction on text already read ----
    // ParseLinks without the file read: `lines` are the page's lines, `extension` its
    // file extension (decides style sheet, server script or feed).
    static void ParseLinksFromLines(const TextArray& lines, const CString& extension, TextArray& links,
                                    bool includeUnverified);
    // The same walk, telling for each link the line (1-based), the tag name (or the
    // function or feed element) and the attribute it came from.
    struct FoundLink {
        CString link;
        CString tag;
        CString attribute;
        int line = 0;
    };
    static void ParseLinksWithSources(const TextArray& lines, const CString& extension, bool includeUnverified,
                                      std::vector<FoundLink>& found);
    // GetHTMLBasePath on lines already read.
    static CString GetHTMLBasePathFromLines(const TextArray& lines);

    // ---- Link validation and messages ----
    // Result codes of a validation: an HTTP status, or one of these (stored by hosts
    // with each link, so the values never change).
    static constexpr std::uint32_t HTTP_LINK_NOTYETVALIDATED = 0;
    static constexpr std::uint32_t HTTP_LINK_VALID = 200;
    static constexpr std::uint32_t HTTP_LINK_GENERICERROR = 10000;
    static constexpr std::uint32_t HTTP_LINK_BLANKURL = 10001;
    static constexpr std::uint32_t HTTP_LINK_WORKOFFLINE = 10002;
    static constexpr std::uint32_t HTTP_LINK_UNABLETOOPENURL = 10003;
    static constexpr std::uint32_t HTTP_LINK_TIMEDOUT = 10004;
    static constexpr std::uint32_t HTTP_LINK_SERVERCONNLOST = 10005;
    static constexpr std::uint32_t HTTP_LINK_INVALIDURL = 10006;
    static constexpr std::uint32_t HTTP_LINK_INVALIDPROTOCOL = 10007;
    static constexpr std::uint32_t HTTP_LINK_QUERYFAILED = 10008;
    static constexpr std::uint32_t HTTP_LINK_LOCAL_NOTEXIST = 10009;
    static constexpr std::uint32_t HTTP_LINK_LOCAL_BADCASE = 10010;
    static constexpr std::uint32_t HTTP_LINK_LOCAL_BADSYNTAX = 10011;
    static constexpr std::uint32_t HTTP_LINK_LOCAL_BADCHAR = 10012;
    static constexpr std::uint32_t HTTP_LINK_LOCAL_SELFREF = 10013;
    static constexpr std::uint32_t HTTP_LINK_NOINTERNETCONN = 10014;
    static constexpr std::uint32_t HTTP_LINK_HARDWIRED_LOCAL = 10015;
    static constexpr std::uint32_t HTTP_LINK_ANCHORREF_NOFILE = 10016;
    static constexpr std::uint32_t HTTP_LINK_ANCHORREF_NOANCHOR = 10017;
    static constexpr std::uint32_t HTTP_LINK_ANCHORREF_BADCASE = 10018;
    static constexpr std::uint32_t HTTP_LINK_ANCHORREF_DUPLICATE = 10019;
    static constexpr std::uint32_t HTTP_LINK_SECURE_CHANNEL = 10020;
    static constexpr std::uint32_t HTTP_LINK_CANCELED = 10021;
    static constexpr std::uint32_t HTTP_LINK_HEADERNOTFOUND = 10022;
    static constexpr std::uint32_t HTTP_LINK_REDIRECT_FAILED = 10023;
    static constexpr std::uint32_t HTTP_LINK_APP_ERROR = 10024;

    // Fetches `url` over the caller's session (status, then the anchor in the body).
    static std::uint32_t ValidateLinkExternal(CInternetSession* session, const CString& url);
    // Looks for the named anchor `anchor` in `lines`; `found` gets the name as written.
    static std::uint32_t ValidateAnchor(const CString& anchor, TextArray& lines, CString& found);
    // Short title (longText false) or explanation of a result code.
    static CString GetValidationDescription(std::uint32_t code, bool longText);
    // Posts form data; true when the server answers 200.
    static bool DoHTTPPost(const CString& url, const CString& postData, CString& errorMessage);

protected:
    // ---- Link validation helpers ----
    // A message made ready to follow another: leading space, no line end, final ".".
    static CString CleanUpMsg(CString message);

    // ---- Link extraction helpers ----
    static bool IsOnlyBlanks(const CString& text, int from, int to);
    static void ParseHTMLTags(const CString& text, TextArray& tags);
    static CString ParseURLFromTagAttribute(CString tag, const CString& attribute, bool isLinkTag,
                                            bool includeUnverified, TextArray& extraLinks);
    static void ParseFunctionLinks(CString text, TextArray& links, const CString& function, const CString& prefix);
    static void ParseSpecialTagLinks(CString text, TextArray& links, const CString& openTag,
                                     const CString& closeTag);
    static bool ParseLinkValidExt(const CString& extension);

    // Address checks use the same extension test as link extraction.
    friend class CInternetUtils;
};

}  // namespace vutil
