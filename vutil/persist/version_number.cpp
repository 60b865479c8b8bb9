#include "vutil/persist/version_number.h"

#include <tuple>

#include "vutil/framework/archive.h"
#include "vutil/text/number_text_conv.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {
constexpr WORD kVersionNumberVersion = 1;
}

void CVersionNumber::SetVersion(const CString& text) {
    m_nMajor = m_nMinor = m_nSub = 0;
    if (CStringUtils::IsEffectivelyEmpty(text)) return;
    CStringArray parts;
    if (text.Find('.') >= 0) CStringUtils::SplitLine(text, ".", parts);
    else if (text.Find(',') >= 0) CStringUtils::SplitLine(text, ",", parts);
    else parts.Add(text);
    int* fields[3] = {&m_nMajor, &m_nMinor, &m_nSub};
    for (int i = 0; i < parts.GetSize() && i < 3; ++i) {
        CString part = parts[i];
        CStringUtils::Trim(part);
        *fields[i] = CNumberTextConv::GetNumberFromString(part);
    }
}

CString CVersionNumber::GetString() const {
    CString s;
    s.Format("%d.%d.%d", m_nMajor, m_nMinor, m_nSub);
    return s;
}

bool CVersionNumber::operator==(const CVersionNumber& other) const noexcept {
    return m_nMajor == other.m_nMajor && m_nMinor == other.m_nMinor && m_nSub == other.m_nSub;
}

bool CVersionNumber::operator<(const CVersionNumber& other) const noexcept {
    return std::tie(m_nMajor, m_nMinor, m_nSub) < std::tie(other.m_nMajor, other.m_nMinor, other.m_nSub);
}

void CVersionNumber::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar << kVersionNumberVersion << m_nMajor << m_nMinor << m_nSub;
        return;
    }
    WORD version = 0;
    ar >> version >> m_nMajor >> m_nMinor >> m_nSub;
}

}  // namespace vutil
