#pragma once
// CString: the byte string every interface of the library speaks.
//
// A value type over std::string. Text is Windows-1252 (or any single-byte code page);
// any byte may be held, including NUL. Case mapping and case-insensitive comparison go
// through the library's character tables, so bytes 0x80-0xFF have no case.

#include <cstdarg>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace vutil {

class CString;

namespace detail {
// Arguments of Format pass through C varargs; a CString goes as its character pointer.
inline const char* FormatArg(const CString& s);
template <typename T>
auto FormatArg(const T& v) {
    if constexpr (std::is_array_v<T>) {
        return static_cast<const std::remove_extent_t<T>*>(v);
    } else {
        static_assert(std::is_trivially_copyable_v<T>, "Format takes scalars, pointers and CString");
        return v;
    }
}
}  // namespace detail

class CString {
public:
    CString() = default;
    CString(const char* psz) : m_str(psz ? psz : "") {}  // NOLINT: implicit by design
    CString(const char* pch, int length) : m_str(pch && length > 0 ? pch : "", pch && length > 0 ? static_cast<std::size_t>(length) : 0) {}
    CString(const std::string& s) : m_str(s) {}  // NOLINT
    CString(std::string&& s) noexcept : m_str(std::move(s)) {}  // NOLINT
    explicit CString(std::string_view s) : m_str(s) {}
    explicit CString(char ch, int repeat = 1) : m_str(repeat > 0 ? static_cast<std::size_t>(repeat) : 0, ch) {}

    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const char* psz) {
        m_str.assign(psz ? psz : "");
        return *this;
    }
    CString& operator=(char ch) {
        m_str.assign(1, ch);
        return *this;
    }
    CString& operator=(const std::string& s) {
        m_str = s;
        return *this;
    }

    // Size and element access. Out-of-range indices read as NUL and are ignored on write.
    int GetLength() const noexcept { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const noexcept { return m_str.empty(); }
    void Empty() noexcept { m_str.clear(); }
    char GetAt(int i) const noexcept { return InRange(i) ? m_str[static_cast<std::size_t>(i)] : '\0'; }
    void SetAt(int i, char ch) noexcept {
        if (InRange(i)) m_str[static_cast<std::size_t>(i)] = ch;
    }
    char operator[](int i) const noexcept { return GetAt(i); }
    const char* GetString() const noexcept { return m_str.c_str(); }
    operator const char*() const noexcept { return m_str.c_str(); }  // NOLINT: framework idiom

    // Direct access for code that wants the standard string.
    const std::string& str() const noexcept { return m_str; }
    std::string& str() noexcept { return m_str; }
    std::string_view view() const noexcept { return m_str; }

    // Raw buffer access: GetBuffer(n) makes room for n bytes; ReleaseBuffer(-1) cuts at
    // the first NUL, ReleaseBuffer(n) keeps n bytes.
    char* GetBuffer(int minLength = 0);
    char* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);
    void Preallocate(int length) {
        if (length > 0) m_str.reserve(static_cast<std::size_t>(length));
    }

    // Extraction. Counts below zero act as zero, counts past the end are clipped.
    CString Left(int count) const;
    CString Right(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString SpanIncluding(const char* charSet) const;
    CString SpanExcluding(const char* charSet) const;
    CString Tokenize(const char* tokens, int& start) const;

    // Searching: index or -1.
    int Find(char ch, int start = 0) const noexcept;
    int Find(const char* sub, int start = 0) const noexcept;
    int Find(const CString& sub, int start = 0) const noexcept { return Find(sub.view(), start); }
    int Find(std::string_view sub, int start = 0) const noexcept;
    int ReverseFind(char ch) const noexcept;
    int FindOneOf(const char* charSet) const noexcept;

    // Editing. Each returns what its framework namesake returns.
    int Replace(char oldCh, char newCh);
    int Replace(const char* oldText, const char* newText);
    int Replace(const CString& oldText, const CString& newText);
    int Replace(std::string_view oldText, std::string_view newText);
    int Remove(char ch);
    int Insert(int index, char ch);
    int Insert(int index, const char* text);
    int Delete(int index, int count = 1);
    CString& MakeLower();
    CString& MakeUpper();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(char target);
    CString& Trim(const char* targets);
    CString& TrimLeft();
    CString& TrimLeft(char target);
    CString& TrimLeft(const char* targets);
    CString& TrimRight();
    CString& TrimRight(char target);
    CString& TrimRight(const char* targets);
    void Truncate(int length) {
        if (length >= 0 && length < GetLength()) m_str.resize(static_cast<std::size_t>(length));
    }
    void Append(const char* pch, int length) {
        if (pch && length > 0) m_str.append(pch, static_cast<std::size_t>(length));
    }
    void AppendChar(char ch) { m_str.push_back(ch); }

    // Comparison: negative, zero or positive. Bytes compare unsigned.
    int Compare(const char* other) const noexcept;
    int Compare(const CString& other) const noexcept { return Sign(m_str.compare(other.m_str)); }
    int CompareNoCase(const char* other) const noexcept;
    int CompareNoCase(const CString& other) const noexcept { return CompareNoCase(view(), other.view()); }
    static int CompareNoCase(std::string_view a, std::string_view b) noexcept;

    // printf-style formatting; CString arguments may be passed directly for %s.
    template <typename... Args>
    void Format(const char* format, const Args&... args) {
        m_str.clear();
        AppendFormatImpl(format, detail::FormatArg(args)...);
    }
    template <typename... Args>
    void AppendFormat(const char* format, const Args&... args) {
        AppendFormatImpl(format, detail::FormatArg(args)...);
    }
    void FormatV(const char* format, va_list args);
    void AppendFormatV(const char* format, va_list args);

    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(const char* psz) {
        if (psz) m_str += psz;
        return *this;
    }
    CString& operator+=(char ch) {
        m_str += ch;
        return *this;
    }
    CString& operator+=(std::string_view s) {
        m_str += s;
        return *this;
    }

    friend CString operator+(const CString& a, const CString& b) {
        std::string r;
        r.reserve(a.m_str.size() + b.m_str.size());
        r += a.m_str;
        r += b.m_str;
        return CString(std::move(r));
    }
    friend CString operator+(CString&& a, const CString& b) {
        a.m_str += b.m_str;
        return std::move(a);
    }
    friend CString operator+(const CString& a, const char* b) { return a + CString(b); }
    friend CString operator+(CString&& a, const char* b) {
        a += b;
        return std::move(a);
    }
    friend CString operator+(const char* a, const CString& b) { return CString(a) + b; }
    friend CString operator+(const CString& a, char b) {
        CString r(a);
        r.m_str += b;
        return r;
    }
    friend CString operator+(CString&& a, char b) {
        a.m_str += b;
        return std::move(a);
    }
    friend CString operator+(char a, const CString& b) { return CString(a) + b; }

    friend bool operator==(const CString& a, const CString& b) noexcept { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, const char* b) noexcept { return a.Compare(b) == 0; }
    friend bool operator<(const CString& a, const CString& b) noexcept { return a.m_str < b.m_str; }
    friend bool operator<(const CString& a, const char* b) noexcept { return a.Compare(b) < 0; }
    friend bool operator<(const char* a, const CString& b) noexcept { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) noexcept { return b < a; }
    friend bool operator<=(const CString& a, const CString& b) noexcept { return !(b < a); }
    friend bool operator>=(const CString& a, const CString& b) noexcept { return !(a < b); }

private:
    bool InRange(int i) const noexcept { return i >= 0 && static_cast<std::size_t>(i) < m_str.size(); }
    static int Sign(int v) noexcept { return (v > 0) - (v < 0); }
    void AppendFormatImpl(const char* format, ...);

    std::string m_str;
};

namespace detail {
inline const char* FormatArg(const CString& s) { return s.GetString(); }
}  // namespace detail

}  // namespace vutil

template <>
struct std::hash<vutil::CString> {
    std::size_t operator()(const vutil::CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
