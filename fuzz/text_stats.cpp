// Word lists, counts and reading level of arbitrary bytes taken as lines of text.

#include <cstdint>
#include <string_view>

#include "vutil/core/text_array.h"
#include "vutil/text/string_utils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    using U = vutil::CStringUtils;
    vutil::CStringList lines;
    vutil::TextArray words;
    for (std::size_t from = 0; from <= in.size();) {
        std::size_t end = in.find('\n', from);
        if (end == std::string_view::npos) end = in.size();
        vutil::CString line(in.substr(from, end - from));
        U::GetWords(line, words, (line.GetLength() & 1) != 0);
        U::GetWordCount(line, (line.GetLength() & 2) != 0);
        lines.AddTail(line);
        from = end + 1;
    }
    double ease = 0;
    int grade = 0;
    unsigned int syllables = 0, wordCount = 0, sentences = 0;
    U::CalcReadingLevel(lines, ease, grade, syllables, wordCount, sentences);
    return 0;
}
