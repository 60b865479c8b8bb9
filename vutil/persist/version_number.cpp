#include "vutil/persist/version_number.h"

#include <tuple>
#include <vector>

#include "vutil/framework/archive.h"
#include "vutil/persist/persist_text.h"

namespace vutil {

namespace {
constexpr WORD kVersionNumberVersion = 1;
}

void CVersionNumber::SetVersion(const CString& text) {
    m_nMajor = m_nMinor = m_nSub = 0;
    if (persist_text::IsBlankText(text)) return;
    std::vector<CString> parts;
    if (text.Find('.') >= 0) persist_text::SplitText(text, ".", parts);
    else if (text.Find(',') >= 0) persist_text::SplitText(text, ",", parts);
    else parts.push_back(text);
    int* fields[3] = {&m_nMajor, &m_nMinor, &m_nSub};
    for (std::size_t i = 0; i < parts.size() && i < 3; ++i) {
        *fields[i] = persist_text::NumberFromText(persist_text::TrimBlanks(parts[i]));
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
