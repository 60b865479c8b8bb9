// The line reader of Internet files over arbitrary bytes delivered in arbitrary pieces:
// the lines, with their ends put back, must give the bytes again.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "vutil/framework/stdio_file.h"

namespace {

class PiecewiseFile : public vutil::CStdioFile {
public:
    PiecewiseFile(std::string_view bytes, unsigned piece, unsigned block) : m_bytes(bytes), m_piece(piece) {
        SetBlockSize(block);
    }

protected:
    vutil::UINT ReadRaw(void* buffer, vutil::UINT count) override {
        const std::size_t n = std::min<std::size_t>({count, m_piece, m_bytes.size()});
        std::memcpy(buffer, m_bytes.data(), n);
        m_bytes.remove_prefix(n);
        return static_cast<vutil::UINT>(n);
    }

private:
    std::string_view m_bytes;
    unsigned m_piece;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const unsigned piece = data[0] % 17 + 1;
    const unsigned block = data[1] % 31 + 1;
    const std::string_view in(reinterpret_cast<const char*>(data) + 2, size - 2);
    PiecewiseFile file(in, piece, block);
    std::string joined;
    vutil::CString line;
    while (file.ReadString(line)) joined.append(line.GetString(), line.GetLength()).push_back('\n');
    // Lines are the pieces between "\n"s, each without one final "\r"; an end of the
    // bytes right after a "\n" starts no further line.
    std::string expected;
    std::size_t from = 0;
    while (from < in.size()) {
        std::size_t end = in.find('\n', from);
        if (end == std::string_view::npos) end = in.size();
        std::string_view text = in.substr(from, end - from);
        if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
        expected.append(text).push_back('\n');
        from = end + 1;
    }
    if (joined != expected) std::abort();
    return 0;
}
