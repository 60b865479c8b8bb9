#include "vutil/persist/persist_text.h"

#include <climits>

#include "vutil/text/string_utils.h"

namespace vutil::persist_text {

CString NumberText(int n, int width) {
    char buf[16];
    char* end = buf + sizeof buf;
    char* p = end;
    // Work in unsigned so INT_MIN has a magnitude.
    unsigned int u = n < 0 ? 0u - static_cast<unsigned int>(n) : static_cast<unsigned int>(n);
    do {
        *--p = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u);
    if (n < 0) *--p = '-';
    CString digits(p, static_cast<int>(end - p));
    if (digits.GetLength() >= width) return digits;
    return CString('0', width - digits.GetLength()) + digits;
}

int NumberFromText(const CString& text) {
    const char* p = text.GetString();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    long long value = 0;
    for (; *p; ++p) {
        if (*p == ',') continue;
        if (*p < '0' || *p > '9') break;
        if (value <= static_cast<long long>(INT_MAX) + 1) value = value * 10 + (*p - '0');
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

CString BytesToDecimalText(const CByteArray& bytes, const CString& separator) {
    CString out;
    out.Preallocate(bytes.GetSize() * (3 + separator.GetLength()));
    for (int i = 0; i < bytes.GetSize(); ++i) {
        if (i) out += separator;
        out += NumberText(bytes.GetData()[i]);
    }
    return out;
}

void DecimalTextToBytes(const CString& text, const CString& separator, CByteArray& bytes) {
    bytes.RemoveAll();
    CStringArray pieces;
    CStringUtils::SplitLine(text, separator, pieces);
    bytes.SetSize(pieces.GetSize());
    for (int i = 0; i < pieces.GetSize(); ++i) bytes[i] = static_cast<BYTE>(NumberFromText(pieces[i]) & 0xFF);
}

}  // namespace vutil::persist_text
