#pragma once
// A file read as text lines over a stream of bytes. Subclasses supply the bytes
// (ReadRaw); this class keeps one block of look-ahead, so a line costs no more memory
// than the line itself however long the stream is.

#include <string>

#include "vutil/framework/cstring.h"
#include "vutil/framework/types.h"

namespace vutil {

class CStdioFile {
public:
    CStdioFile() = default;
    virtual ~CStdioFile() = default;
    CStdioFile(const CStdioFile&) = delete;
    CStdioFile& operator=(const CStdioFile&) = delete;

    // The next line without its "\n" (nor a "\r" before it). False at the end, when
    // nothing was left to read; `line` is then empty.
    virtual bool ReadString(CString& line);
    // Up to `count` bytes; 0 at the end.
    virtual UINT Read(void* buffer, UINT count);
    virtual void Close();

protected:
    // The next bytes of the stream, at most `count`; 0 at its end.
    virtual UINT ReadRaw(void* buffer, UINT count) = 0;
    // Bytes fetched at a time for ReadString.
    void SetBlockSize(UINT size) { m_nBlockSize = size > 0 ? size : 1; }
    void DropLookAhead() noexcept;

private:
    std::string m_lookAhead;  // fetched, not yet returned, from m_nPos on
    std::size_t m_nPos = 0;
    UINT m_nBlockSize = 4096;
    bool m_bAtEnd = false;
};

}  // namespace vutil
