#pragma once
// CStringUtils: character classification tables and string functions.

#include "vutil/framework/char_tables.h"
#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"
#include "vutil/framework/shell_types.h"

namespace vutil {

class TextArray;

class CStringUtils {
public:
    // ---- Character classification tables ----
    // Filled once at library load (DoPreLoad) from the C runtime in the locale then in
    // force; zero until then. Indexed by byte value 0-255.
    // They are the framework's CharTables, named here as the class has always named them.
    static constexpr int (&m_tableLowercase)[256] = CharTables::m_lowercase;
    static constexpr int (&m_tableUppercase)[256] = CharTables::m_uppercase;
    static constexpr int (&m_tableIsSpace)[256] = CharTables::m_isSpace;
    static constexpr int (&m_tableIsDigit)[256] = CharTables::m_isDigit;
    static constexpr int (&m_tableIsAlpha)[256] = CharTables::m_isAlpha;

    static void DoPreLoad();

    // Arguments outside 0-255 (a signed char from 0x80 up arrives negative) give 0 / false.
    static int ToLower(int c) noexcept { return InTable(c) ? m_tableLowercase[c] : 0; }
    static int ToUpper(int c) noexcept { return InTable(c) ? m_tableUppercase[c] : 0; }
    static bool IsLower(int c) noexcept { return InTable(c) && m_tableLowercase[c] == c; }
    static bool IsUpper(int c) noexcept { return InTable(c) && m_tableUppercase[c] == c; }
    static bool IsSpace(int c) noexcept { return InTable(c) && m_tableIsSpace[c] != 0; }
    static bool IsDigit(int c) noexcept { return InTable(c) && m_tableIsDigit[c] != 0; }
    static bool IsAlpha(int c) noexcept { return InTable(c) && m_tableIsAlpha[c] != 0; }
    static bool IsPunct(int c) noexcept;
    static bool IsSlash(char c) noexcept { return c == '\\' || c == '/'; }

    // ---- Shared constant strings ----
    static const CString m_csEmpty;
    static const CString m_csEllipsis;  // "..."
    static const CString m_csSpace;     // " "
    // The bytes that end a word (Windows-1252), and the same followed by the braces.
    static const CString m_csWordSeparators;
    static const CString m_csWordSeparatorsBraces;

    // ---- Blank handling ----
    static bool IsEffectivelyEmpty(const CString& text);
    static void Trim(CString& text);
    static void PadString(CString& text, int width, const CString& pad, bool atFront);

    // ---- Searching ----
    static int FindLast(const CString& text, const CString& sub);
    static int FindOccurrenceIndex(const CString& text, const CString& sub, int n, bool caseSensitive);
    static int FindWholeWordMatch(const CString& text, const CString& word, int n, int start);
    static void FindOccurrencePair(const CString& text, const CString& open, const CString& close, int n,
                                   int& openPos, int& closePos);
    static int FindOccurrences(const CString& text, const CString& sub, bool caseSensitive);
    static POSITION FindInList(const CString& text, const CStringList& list, bool caseSensitive);

    // ---- Lists ----
    static void LineUp(CStringList& lines, const CString& sub, int n, bool caseSensitive);
    static bool RemoveDuplicates(CStringList& list, bool caseSensitive);
    static void SplitLine(const CString& text, const CString& delimiter, CStringArray& pieces);
    static void ConvertArrayToList(const CStringArray* from, CStringList* to);
    static void ConvertListToArray(const CStringList* from, CStringArray* to);

    // ---- Punctuation and case ----
    static void RemovePunctuation(CString& text);
    static void TrimPunctuation(CString& text, const CString& keepLeading, const CString& keepTrailing);
    static void PreserveCase(const CString& model, CString& target);
    static bool MatchFirstChars(const CString& text, const CString& prefix, bool caseSensitive);
    static bool MatchLastChars(const CString& text, const CString& suffix, bool caseSensitive);

    // ---- Wildcards ----
    static bool MatchSpec(const CString& text, const CString& spec, bool caseSensitive);
    static bool MatchSpecQuestionMark(const CString& text, const CString& spec, bool caseSensitive);

    // ---- Shaping ----
    static CString EllipsisSurroundingWord(const CString& text, int pos, int length, int words);
    static void ReplaceTextBlock(CStringList& lines, const CString& startMarker, const CString& endMarker,
                                 const CString& replacement, bool blankOut);
    static bool IsInTextBlock(const CString& text, const CString& startMarker, const CString& endMarker,
                              bool inBlock);
    static CString GetCommonText(const CStringList& list, bool caseSensitive);
    static void ProcessXMLTag(CString& name);
    static void ProcessXMLValue(CString& value);

    // ---- Conversions ----
    // Windows-1252 to a new NUL-terminated wide string; the caller delete[]s it.
    static wchar_t* ConvertToWCHAR(CString& text);
    static CString STRRETToCString(const STRRET& str, ITEMIDLIST* pidl);

    // ---- Text statistics ----
    static int GetSyllableCount(const CString& text);
    static int GetWordCount(CString text, bool bracesSeparate);
    static int GetSentenceCount(const CString& text);
    static void GetWords(const CString& text, TextArray& words, bool bracesSeparate);
    static void CalcReadingLevel(const CStringList& lines, double& readingEase, int& gradeLevel,
                                 unsigned int& syllables, unsigned int& wordCount, unsigned int& sentences);

protected:
    static CString DetermineCommonChars(const CString& a, const CString& b, bool caseSensitive);

private:
    static bool InTable(int c) noexcept { return c >= 0 && c <= 255; }
};

}  // namespace vutil
