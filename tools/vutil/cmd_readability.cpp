// vutil readability: word, sentence and syllable counts and the reading scores of a file.

#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"
#include "vutil/text/string_utils.h"

namespace {

// Reads the file's lines as bytes, dropping a UTF-8 byte-order mark and line ends.
// Stand-in until the encoded text-file reader exists; switch to it then. Returns 0 or
// the system's error code.
long ReadLines(const std::string& path, vutil::CStringList& lines) {
    vutil::CFile file;
    vutil::CFileException error;
    if (!file.Open(path.c_str(), vutil::CFile::modeRead | vutil::CFile::shareDenyNone, &error)) return error.m_lOsError;
    std::string bytes;
    char buf[65536];
    try {
        for (vutil::UINT n; (n = file.Read(buf, sizeof buf)) > 0;) bytes.append(buf, n);
    } catch (const vutil::CFileException& e) {
        return e.m_lOsError;
    }
    std::size_t from = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (from < bytes.size()) {
        std::size_t end = bytes.find('\n', from);
        if (end == std::string::npos) end = bytes.size();
        std::size_t cut = end > from && bytes[end - 1] == '\r' ? end - 1 : end;
        lines.AddTail(vutil::CString(bytes.substr(from, cut - from)));
        from = end + 1;
    }
    return 0;
}

int RunReadability(const std::vector<std::string>& args) {
    if (args.size() != 1) return vutil::cli::UsageError("readability", "need exactly one file");
    vutil::CStringList lines;
    if (long code = ReadLines(args[0], lines))
        return vutil::cli::SystemError("readability", "cannot read '" + args[0] + "'", static_cast<unsigned long>(code));
    double ease = 0;
    int grade = 0;
    unsigned int syllables = 0, words = 0, sentences = 0;
    vutil::CStringUtils::CalcReadingLevel(lines, ease, grade, syllables, words, sentences);
    char easeText[32];
    std::snprintf(easeText, sizeof easeText, "%.2f", ease);
    std::cout << "words: " << words << "\nsentences: " << sentences << "\nsyllables: " << syllables
              << "\nreading ease: " << easeText << "\ngrade level: " << grade << '\n';
    return 0;
}

vutil::cli::Register reg({"readability", "<file>",
                          "count words, sentences and syllables of a text file and score its reading level",
                          RunReadability});

}  // namespace
