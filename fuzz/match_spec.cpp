// Wildcard specifications and the searches beside them, on arbitrary bytes. The input is
// "pattern NUL text"; without a NUL the first half is the pattern.

#include <cstdint>
#include <string_view>

#include "vutil/text/string_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    std::size_t cut = in.find('\0');
    std::string_view spec = cut == std::string_view::npos ? in.substr(0, size / 2) : in.substr(0, cut);
    std::string_view text = cut == std::string_view::npos ? in.substr(size / 2) : in.substr(cut + 1);
    const vutil::CString s(spec);
    const vutil::CString t(text);
    using U = vutil::CStringUtils;
    for (bool cs : {false, true}) {
        U::MatchSpec(t, s, cs);
        U::MatchSpecQuestionMark(t, s, cs);
        U::MatchFirstChars(t, s, cs);
        U::MatchLastChars(t, s, cs);
        U::FindOccurrences(t, s, cs);
        U::FindOccurrenceIndex(t, s, 2, cs);
    }
    int n = spec.empty() ? 1 : static_cast<signed char>(spec[0]);
    U::FindWholeWordMatch(t, s, n, n / 4);
    int open = 0, close = 0;
    U::FindOccurrencePair(t, s.Left(2), s.Mid(2), n, open, close);
    U::EllipsisSurroundingWord(t, n, static_cast<int>(spec.size()), 2);
    return 0;
}
