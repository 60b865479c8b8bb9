#pragma once
// CHTMLUtils: links, anchors and text of HTML pages, HTML character entities, paths
// as links. All members are static.

#include <cstdint>
#include <vector>

#include "vutil/core/text_array.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class CInternetUtils;

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

protected:
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
