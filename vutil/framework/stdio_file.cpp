#include "vutil/framework/stdio_file.h"

#include <algorithm>
#include <cstring>

namespace vutil {

bool CStdioFile::ReadString(CString& line) {
    std::string& out = line.str();
    out.clear();
    bool gotAny = false;
    for (;;) {
        if (m_nPos < m_lookAhead.size()) {
            gotAny = true;
            const char* begin = m_lookAhead.data() + m_nPos;
            const std::size_t left = m_lookAhead.size() - m_nPos;
            const void* nl = std::memchr(begin, '\n', left);
            const std::size_t take = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - begin) : left;
            out.append(begin, take);
            m_nPos += nl ? take + 1 : take;
            if (nl) break;
        }
        if (m_bAtEnd) break;
        m_lookAhead.resize(m_nBlockSize);
        m_nPos = 0;
        UINT got = 0;
        try {
            got = ReadRaw(m_lookAhead.data(), m_nBlockSize);
        } catch (...) {
            m_lookAhead.clear();  // never hand out the unfilled block later
            throw;
        }
        m_lookAhead.resize(got);
        if (got == 0) m_bAtEnd = true;
    }
    if (!out.empty() && out.back() == '\r') out.pop_back();
    return gotAny;
}

UINT CStdioFile::Read(void* buffer, UINT count) {
    UINT done = 0;
    if (m_nPos < m_lookAhead.size()) {
        done = static_cast<UINT>(std::min<std::size_t>(count, m_lookAhead.size() - m_nPos));
        std::memcpy(buffer, m_lookAhead.data() + m_nPos, done);
        m_nPos += done;
    }
    while (done < count && !m_bAtEnd) {
        const UINT got = ReadRaw(static_cast<char*>(buffer) + done, count - done);
        if (got == 0) m_bAtEnd = true;
        done += got;
    }
    return done;
}

void CStdioFile::Close() { DropLookAhead(); }

void CStdioFile::DropLookAhead() noexcept {
    m_lookAhead.clear();
    m_lookAhead.shrink_to_fit();
    m_nPos = 0;
    m_bAtEnd = true;
}

}  // namespace vutil
