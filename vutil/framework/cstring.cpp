#include "vutil/framework/cstring.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "vutil/framework/char_tables.h"

namespace vutil {

namespace {

std::size_t Clip(int count, std::size_t limit) {
    if (count <= 0) return 0;
    return std::min(static_cast<std::size_t>(count), limit);
}

inline unsigned char Lower(char c) {
    return static_cast<unsigned char>(CharTables::m_lowercase[static_cast<unsigned char>(c)]);
}
inline unsigned char Upper(char c) {
    return static_cast<unsigned char>(CharTables::m_uppercase[static_cast<unsigned char>(c)]);
}
inline bool Space(char c) { return CharTables::m_isSpace[static_cast<unsigned char>(c)] != 0; }

bool InSet(const char* set, char c) { return c != '\0' && std::strchr(set, c) != nullptr; }

}  // namespace

char* CString::GetBuffer(int minLength) {
    if (minLength > GetLength()) {
        std::size_t old = m_str.size();
        m_str.resize(static_cast<std::size_t>(minLength));
        std::fill(m_str.begin() + static_cast<std::ptrdiff_t>(old), m_str.end(), '\0');
    }
    return m_str.data();
}

char* CString::GetBufferSetLength(int length) {
    m_str.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return m_str.data();
}

void CString::ReleaseBuffer(int newLength) {
    if (newLength < 0) {
        m_str.resize(std::strlen(m_str.c_str()));
    } else if (static_cast<std::size_t>(newLength) <= m_str.size()) {
        m_str.resize(static_cast<std::size_t>(newLength));
    }
}

CString CString::Left(int count) const { return CString(m_str.substr(0, Clip(count, m_str.size()))); }

CString CString::Right(int count) const {
    std::size_t n = Clip(count, m_str.size());
    return CString(m_str.substr(m_str.size() - n));
}

CString CString::Mid(int first) const {
    std::size_t start = Clip(first, m_str.size());
    return CString(m_str.substr(start));
}

CString CString::Mid(int first, int count) const {
    std::size_t start = Clip(first, m_str.size());
    return CString(m_str.substr(start, Clip(count, m_str.size() - start)));
}

CString CString::SpanIncluding(const char* charSet) const {
    std::size_t n = 0;
    while (n < m_str.size() && InSet(charSet, m_str[n])) ++n;
    return CString(m_str.substr(0, n));
}

CString CString::SpanExcluding(const char* charSet) const {
    std::size_t n = 0;
    while (n < m_str.size() && !InSet(charSet, m_str[n])) ++n;
    return CString(m_str.substr(0, n));
}

CString CString::Tokenize(const char* tokens, int& start) const {
    if (start < 0 || static_cast<std::size_t>(start) >= m_str.size()) {
        start = -1;
        return CString();
    }
    std::size_t i = static_cast<std::size_t>(start);
    while (i < m_str.size() && InSet(tokens, m_str[i])) ++i;
    if (i >= m_str.size()) {
        start = -1;
        return CString();
    }
    std::size_t j = i;
    while (j < m_str.size() && !InSet(tokens, m_str[j])) ++j;
    start = static_cast<int>(j < m_str.size() ? j + 1 : j);
    return CString(m_str.substr(i, j - i));
}

int CString::Find(char ch, int start) const noexcept {
    if (start < 0 || static_cast<std::size_t>(start) >= m_str.size()) return -1;
    std::size_t pos = m_str.find(ch, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const char* sub, int start) const noexcept { return Find(std::string_view(sub ? sub : ""), start); }

int CString::Find(std::string_view sub, int start) const noexcept {
    if (start < 0 || static_cast<std::size_t>(start) > m_str.size()) return -1;
    std::size_t pos = m_str.find(sub, static_cast<std::size_t>(start));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const noexcept {
    std::size_t pos = m_str.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const char* charSet) const noexcept {
    if (!charSet || !*charSet) return -1;
    std::size_t pos = m_str.find_first_of(charSet);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(char oldCh, char newCh) {
    int count = 0;
    for (char& c : m_str) {
        if (c == oldCh) {
            c = newCh;
            ++count;
        }
    }
    return count;
}

int CString::Replace(const CString& oldText, const CString& newText) {
    return Replace(oldText.view(), newText.view());
}

int CString::Replace(const char* oldText, const char* newText) {
    return Replace(std::string_view(oldText ? oldText : ""), std::string_view(newText ? newText : ""));
}

// CString arguments are taken whole, NUL bytes included, as Find takes them.
int CString::Replace(std::string_view from, std::string_view to) {
    if (from.empty()) return 0;
    std::size_t pos = m_str.find(from);
    if (pos == std::string::npos) return 0;
    // One pass into a new buffer keeps many replacements linear.
    std::string out;
    out.reserve(m_str.size());
    std::size_t last = 0;
    int count = 0;
    while (pos != std::string::npos) {
        out.append(m_str, last, pos - last);
        out.append(to);
        last = pos + from.size();
        ++count;
        pos = m_str.find(from, last);
    }
    out.append(m_str, last, std::string::npos);
    m_str.swap(out);
    return count;
}

int CString::Remove(char ch) {
    std::size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int index, char ch) {
    m_str.insert(Clip(index, m_str.size()), 1, ch);
    return GetLength();
}

int CString::Insert(int index, const char* text) {
    if (text) m_str.insert(Clip(index, m_str.size()), text);
    return GetLength();
}

int CString::Delete(int index, int count) {
    std::size_t start = Clip(index, m_str.size());
    m_str.erase(start, Clip(count, m_str.size() - start));
    return GetLength();
}

CString& CString::MakeLower() {
    for (char& c : m_str) c = static_cast<char>(Lower(c));
    return *this;
}

CString& CString::MakeUpper() {
    for (char& c : m_str) c = static_cast<char>(Upper(c));
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(char target) { return TrimRight(target).TrimLeft(target); }
CString& CString::Trim(const char* targets) { return TrimRight(targets).TrimLeft(targets); }

CString& CString::TrimLeft() {
    std::size_t i = 0;
    while (i < m_str.size() && Space(m_str[i])) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(char target) {
    std::size_t i = 0;
    while (i < m_str.size() && m_str[i] == target) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimLeft(const char* targets) {
    if (!targets) return *this;
    std::size_t i = 0;
    while (i < m_str.size() && InSet(targets, m_str[i])) ++i;
    m_str.erase(0, i);
    return *this;
}

CString& CString::TrimRight() {
    std::size_t n = m_str.size();
    while (n > 0 && Space(m_str[n - 1])) --n;
    m_str.resize(n);
    return *this;
}

CString& CString::TrimRight(char target) {
    std::size_t n = m_str.size();
    while (n > 0 && m_str[n - 1] == target) --n;
    m_str.resize(n);
    return *this;
}

CString& CString::TrimRight(const char* targets) {
    if (!targets) return *this;
    std::size_t n = m_str.size();
    while (n > 0 && InSet(targets, m_str[n - 1])) --n;
    m_str.resize(n);
    return *this;
}

int CString::Compare(const char* other) const noexcept { return Sign(view().compare(other ? other : "")); }

int CString::CompareNoCase(const char* other) const noexcept {
    return CompareNoCase(view(), std::string_view(other ? other : ""));
}

int CString::CompareNoCase(std::string_view a, std::string_view b) noexcept {
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = Lower(a[i]);
        unsigned char y = Lower(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

void CString::FormatV(const char* format, va_list args) {
    m_str.clear();
    AppendFormatV(format, args);
}

void CString::AppendFormatV(const char* format, va_list args) {
    if (!format) return;
    char small[256];
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0) return;
    if (static_cast<std::size_t>(n) < sizeof small) {
        m_str.append(small, static_cast<std::size_t>(n));
        return;
    }
    std::size_t old = m_str.size();
    m_str.resize(old + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(m_str.data() + old, static_cast<std::size_t>(n) + 1, format, args);
    m_str.resize(old + static_cast<std::size_t>(n));
}

void CString::AppendFormatImpl(const char* format, ...) {
    va_list args;
    va_start(args, format);
    AppendFormatV(format, args);
    va_end(args);
}

}  // namespace vutil
