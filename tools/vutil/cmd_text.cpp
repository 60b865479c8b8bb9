// vutil text: converts text files between ANSI, UTF-8, UTF-16LE and UTF-16BE, and tells
// a file's encoding and line count, line by line through TextFile.

#include <cstdio>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/files/text_file.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"
#include "vutil/platform/terminal.h"

namespace {

using vutil::TextFile;

const char* const kName = "text";

struct EncodingName {
    const char* option;
    const char* display;
    int code;
};

const EncodingName kEncodings[] = {
    {"none", "none (empty file)", TextFile::TF_ENCODING_NONE},
    {"ansi", "ANSI (Windows-1252)", TextFile::TF_ENCODING_ANSI},
    {"utf16le", "UTF-16LE", TextFile::TF_ENCODING_UTF16LE},
    {"utf16be", "UTF-16BE", TextFile::TF_ENCODING_UTF16BE},
    {"utf8", "UTF-8", TextFile::TF_ENCODING_UTF8},
};

int Failure(const std::string& what, const std::string& path) {
    std::string reason = vutil::platform::GetErrorMessage(vutil::platform::GetLastErrorCode());
    std::cerr << "vutil text: " << what << " '" << path << "'" << (reason.empty() ? "" : ": " + reason) << '\n';
    return 1;
}

// Counts lines on a terminal, over one line of standard error.
class Progress {
public:
    explicit Progress(const char* verb)
        : m_verb(verb), m_on(vutil::platform::StreamIsTerminal(vutil::platform::StdStream::Error)) {}
    void Line(unsigned long long lines) {
        if (m_on && (lines & 0xFFFF) == 0) std::fprintf(stderr, "\r%s: %llu lines", m_verb, lines);
    }
    ~Progress() {
        if (m_on) std::fprintf(stderr, "\r\033[K");
    }

private:
    const char* m_verb;
    bool m_on;
};

int Convert(const std::vector<std::string>& args) {
    std::vector<std::string> paths;
    int encoding = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--to") {
            if (++i == args.size()) return vutil::cli::UsageError(kName, "--to needs utf8, utf16le, utf16be or ansi");
            for (const auto& e : kEncodings)
                if (args[i] == e.option && e.code != TextFile::TF_ENCODING_NONE) encoding = e.code;
            if (encoding < 0) return vutil::cli::UsageError(kName, "unknown encoding '" + args[i] + "'");
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return vutil::cli::UsageError(kName, "unknown option '" + args[i] + "'");
        } else {
            paths.push_back(args[i]);
        }
    }
    if (paths.size() != 2) return vutil::cli::UsageError(kName, "convert needs an input and an output file");
    if (encoding < 0) return vutil::cli::UsageError(kName, "convert needs --to utf8|utf16le|utf16be|ansi");

    TextFile in;
    in.SetBufferSize(1 << 16);
    if (in.Open(paths[0].c_str(), TextFile::TF_MODE_READ, 0) < 0) return Failure("cannot read", paths[0]);
    // Written beside the target and renamed over it once complete.
    const std::string temp = paths[1] + ".vutil-part";
    TextFile out;
    out.SetBufferSize(1 << 16);
    if (out.Open(temp.c_str(), TextFile::TF_MODE_WRITE, encoding) < 0) return Failure("cannot write", paths[1]);
    Progress progress("converting");
    unsigned long long lines = 0;
    bool written = true;
    char* line = nullptr;
    while (written && in.ReadLine(&line) == 0) {
        written = out.WriteString(line) == 0 && out.WriteString("\n") == 0;
        progress.Line(++lines);
    }
    written = out.Close() == 0 && written;
    if (!written || !vutil::platform::RenameReplacing(temp, paths[1])) {
        int code = Failure("cannot write", paths[1]);
        std::remove(temp.c_str());
        return code;
    }
    return 0;
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return vutil::cli::UsageError(kName, "info needs one file");
    TextFile in;
    in.SetBufferSize(1 << 16);
    if (in.Open(args[0].c_str(), TextFile::TF_MODE_READ, 0) < 0) return Failure("cannot read", args[0]);
    Progress progress("counting");
    unsigned long long lines = 0, replaced = 0;
    char* line = nullptr;
    vutil::BOOL usedDefault = 0;
    while (in.ReadLine(&line, &usedDefault) == 0) {
        if (usedDefault) ++replaced;
        progress.Line(++lines);
    }
    const char* display = "?";
    for (const auto& e : kEncodings)
        if (e.code == in.GetEncoding()) display = e.display;
    std::cout << "encoding: " << display << "\nlines: " << lines << '\n';
    if (replaced) std::cout << "lines with characters outside Windows-1252: " << replaced << '\n';
    return 0;
}

int RunText(const std::vector<std::string>& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::cout << "usage: vutil text convert <in> <out> --to utf8|utf16le|utf16be|ansi\n"
                     "       vutil text info <file>\n"
                     "The input's encoding is taken from its byte-order mark (none: ANSI). Lines are\n"
                     "written with CR LF, after the byte-order mark of the output's encoding; a character\n"
                     "outside Windows-1252 becomes '?'.\n";
        return 0;
    }
    if (args.empty()) return vutil::cli::UsageError(kName, "expected convert or info");
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "convert") return Convert(rest);
    if (args[0] == "info") return Info(rest);
    return vutil::cli::UsageError(kName, "unknown subcommand '" + args[0] + "'");
}

vutil::cli::Register reg({"text", "convert <in> <out> --to utf8|utf16le|utf16be|ansi | info <file>",
                          "convert a text file's encoding, or show its encoding and line count", RunText});

}  // namespace
