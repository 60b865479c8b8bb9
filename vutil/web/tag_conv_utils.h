#pragma once
// CTagConvUtils: template tags ("{IMAGE_FILE}" and the like) replaced by values,
// optional blocks kept or removed, marked regions cut out of a page. All static.

#include <map>

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil {

class DateTime;

class CTagConvUtils {
public:
    static const CString TAG_BACKLINK;        // "{BACKLINK_TO}"
    static const CString TAG_FORWARDLINK;     // "{FORWARDLINK_TO}"
    static const CString TAG_IMAGE_FILENAME;  // "{IMAGE_FILENAME}"
    static const CString TAG_IMAGE_FILE;      // "{IMAGE_FILE}"
    static const CString TAG_IMAGE_WIDTH;     // "{IMAGE_WIDTH}"
    static const CString TAG_IMAGE_HEIGHT;    // "{IMAGE_HEIGHT}"

    static bool HaveAnyTag(const CString& text);
    static void RemoveAllTags(CString& text, bool useNbsp, const CStringList& tags);
    static void RemoveAllTags(CString& text, bool useNbsp, const std::map<CString, CString>& tags);

    static void ReplaceTag(CString& text, const CString& tag, const CString& value);
    static void ReplaceTag(CString& text, const CString& tag, int n, bool group);
    static void ReplaceTag(CString& text, const CString& tag, double v, int digits, bool currency, bool group);
    static void ReplaceTag(CString& text, const CString& tag, const DateTime& when, bool textual);
    static void ReplaceTagEmptyIfZero(CString& text, const CString& tag, int n, bool group);
    static void ReplaceTagIfEmpty(CString& text, const CString& tag, const CString& value, const CString& fallback);
    static void ReplaceTagYesNo(CString& text, const CString& tag, bool yes);
    static void ReplaceTitleTag(CString& text, const CString& tag, const CString& title);

    static void ReplaceURLBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                const CString& tag, const CString& url);
    static bool ReplaceImageBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                  const CString& imageFile, int width, int height);
    static void ParseHTMLBetweenTags(CStringList& lines, const CString& startTag, const CString& endTag,
                                     CStringList& cut, int& index);

    static void FindHTMLSelectorSurroundingTag(const CString& text, const CString& selector, int& start, int& end);
    static void RemoveHTMLSurroundTag(CString& text, const CString& selector);

protected:
    static void ReplaceHREFEmptyString(CString& text, const CString& tag);
};

}  // namespace vutil
