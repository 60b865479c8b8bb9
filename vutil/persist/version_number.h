#pragma once
// CVersionNumber: a major.minor.sub version, ordered field by field.

#include "vutil/framework/cstring.h"

namespace vutil {

class CArchive;

class CVersionNumber {
public:
    CVersionNumber() = default;  // 1.0.0
    CVersionNumber(int major, int minor, int sub) : m_nMajor(major), m_nMinor(minor), m_nSub(sub) {}
    CVersionNumber(const CString& text) { SetVersion(text); }  // NOLINT: converts like its peers
    CVersionNumber(const CVersionNumber&) = default;
    CVersionNumber& operator=(const CVersionNumber&) = default;

    int GetMajor() const noexcept { return m_nMajor; }
    int GetMinor() const noexcept { return m_nMinor; }
    int GetSub() const noexcept { return m_nSub; }
    void SetMajor(int n) noexcept { m_nMajor = n; }
    void SetMinor(int n) noexcept { m_nMinor = n; }
    void SetSub(int n) noexcept { m_nSub = n; }

    // "2.5" is 2.5.0, "3,1,4" is 3.1.4; missing parts are 0, extra parts ignored.
    void SetVersion(const CString& text);
    CString GetString() const;

    bool operator==(const CVersionNumber& other) const noexcept;
    bool operator<(const CVersionNumber& other) const noexcept;
    bool operator>(const CVersionNumber& other) const noexcept { return other < *this; }

    void Serialize(CArchive& ar);

private:
    int m_nMajor = 1;
    int m_nMinor = 0;
    int m_nSub = 0;
};

}  // namespace vutil
