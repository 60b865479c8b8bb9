// CHTMLUtils: anchors looked up in a page's lines.

#include "vutil/text/string_utils.h"
#include "vutil/web/html_utils.h"

namespace vutil {

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

}  // namespace vutil
