// TextFile readers and writers: fixed byte layouts, every block size, iconv as the
// oracle for the conversions, and files that change while they are read.

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "vutil/files/text_file.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

// Counting every allocation of the binary; GCC cannot see that new and delete pair up.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    g_allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace vutil {
namespace {

using test::Bytes;

struct ReadResult {
    int open = 0;
    int encoding = -1;
    std::vector<std::string> lines;
};

ReadResult ReadAll(const std::string& path, int flags = 0, int bufferSize = 0) {
    ReadResult r;
    TextFile file;
    file.SetBufferSize(bufferSize);
    r.open = file.Open(path.c_str(), TextFile::TF_MODE_READ, flags);
    r.encoding = file.GetEncoding();
    char* line = nullptr;
    while (r.open == 0 && file.ReadLine(&line) == 0) r.lines.emplace_back(line);
    return r;
}

struct ReadCase {
    const char* name;
    std::string bytes;
    int encoding;
    std::vector<std::string> lines;
};

class TextFileRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(TextFileRead, LinesAndEncodingAtEveryBlockSize) {
    const ReadCase& c = GetParam();
    test::TempDir dir;
    test::WriteFileBytes(dir.File("in.txt"), c.bytes);
    for (int block : {0, -1, 1, 3, 4, 5, 7}) {
        ReadResult r = ReadAll(dir.File("in.txt"), 0, block);
        EXPECT_EQ(r.open, 0);
        EXPECT_EQ(r.encoding, c.encoding) << "block " << block;
        EXPECT_EQ(r.lines, c.lines) << "block " << block;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, TextFileRead,
    ::testing::Values(
        ReadCase{"CrLfAnsi", Bytes({0x41, 0x0D, 0x0A, 0x42}), 1, {"A", "B"}},
        ReadCase{"LoneCrStays", Bytes({0x41, 0x0D, 0x42, 0x0A}), 1, {"A\rB"}},
        ReadCase{"CrAtEndStays", "A\r", 1, {"A\r"}},
        ReadCase{"Empty", "", 0, {}},
        ReadCase{"EmptyLines", "\n\r\n\n", 1, {"", "", ""}},
        ReadCase{"BrokenMarkIsAnsi", Bytes({0xFF, 0x41}), 1, {"\xFF" "A"}},
        ReadCase{"HalfUtf8Mark", Bytes({0xEF, 0xBB, 0x0A}), 1, {"\xEF\xBB"}},
        ReadCase{"LoneMarkUtf8", Bytes({0xEF, 0xBB, 0xBF}), 4, {}},
        ReadCase{"OddLengthDropsLastByte", Bytes({0xFF, 0xFE, 0x41, 0x00, 0x0A, 0x00, 0x42, 0x00, 0x43}), 2,
                 {"A", "B"}},
        ReadCase{"LfInsideUnitIsNoLineEnd", Bytes({0xFF, 0xFE, 0x0A, 0x0A, 0x41, 0x00}), 2, {"?A"}},
        ReadCase{"LoneSurrogates", Bytes({0xFF, 0xFE, 0x00, 0xD8, 0x41, 0x00, 0x00, 0xDC}), 2, {"?A?"}},
        ReadCase{"PairIsOneCharacter", Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE, 0x41, 0x00}), 2, {"?A"}},
        ReadCase{"Utf8FourBytes", Bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80, 0x41}), 4, {"?A"}},
        ReadCase{"Utf8CutShort", Bytes({0xEF, 0xBB, 0xBF, 0x61, 0xC3, 0x0A, 0x62}), 4, {"a?", "b"}},
        ReadCase{"Utf8LeadF8", Bytes({0xEF, 0xBB, 0xBF, 0xF8, 0x41}), 4, {"?A"}},
        ReadCase{"Utf8OverlongAccepted", Bytes({0xEF, 0xBB, 0xBF, 0xC0, 0xAF}), 4, {"/"}},
        ReadCase{"Utf8EncodedSurrogate", Bytes({0xEF, 0xBB, 0xBF, 0xED, 0xA0, 0x80, 0x41}), 4, {"?A"}},
        ReadCase{"ControlZIsText", Bytes({0x41, 0x1A, 0x42, 0x0A, 0x1A}), 1, {"A\x1A" "B", "\x1A"}},
        ReadCase{"NulEndsTheLineText", Bytes({0x41, 0x00, 0x42, 0x0A, 0x43}), 1, {"A", "C"}}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(TextFileRead, NamedEncodingAndTheMarkFlag) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("le"), Bytes({0xFF, 0xFE, 0x41, 0x00}));
    test::WriteFileBytes(dir.File("plain"), Bytes({0x41, 0x00, 0x42, 0x00}));
    EXPECT_EQ(ReadAll(dir.File("le"), 2).lines, std::vector<std::string>{"A"});
    // Told not to look for the mark, the reader takes it as a character.
    EXPECT_EQ(ReadAll(dir.File("le"), 2 | TextFile::TF_FLAG_NO_BOM_CHECK).lines, std::vector<std::string>{"?A"});
    // A named encoding without its mark reads from the first byte.
    EXPECT_EQ(ReadAll(dir.File("plain"), 2).lines, std::vector<std::string>{"AB"});
    EXPECT_EQ(ReadAll(dir.File("le"), 1).lines, std::vector<std::string>{"\xFF\xFE" "A"});
    EXPECT_EQ(ReadAll(dir.File("missing"), 0).open, -2);
}

// Windows-1252 text with every defined byte except the line ends and NUL.
std::vector<std::string> SampleLines() {
    std::vector<std::string> lines;
    std::string all;
    for (int b = 1; b < 256; ++b)
        if (b != '\n' && b != '\r' && b != 0x81 && b != 0x8D && b != 0x8F && b != 0x90 && b != 0x9D)
            all += static_cast<char>(b);
    for (std::size_t n = 0; n < 40; ++n) lines.push_back(all.substr(n * 7 % all.size(), n * 13 % 300));
    lines.push_back("");
    lines.push_back(all);
    return lines;
}

struct Conversion {
    int encoding;
    const char* iconvName;
    std::string mark;
};

const Conversion kConversions[] = {
    {2, "UTF-16LE", "\xFF\xFE"},
    {3, "UTF-16BE", "\xFE\xFF"},
    {4, "UTF-8", "\xEF\xBB\xBF"},
};

std::string WriteAll(const std::string& path, int flags, const std::vector<std::string>& texts, int block = 0) {
    TextFile file;
    file.SetBufferSize(block);
    EXPECT_EQ(file.Open(path.c_str(), TextFile::TF_MODE_WRITE, flags), 0);
    for (const auto& t : texts) EXPECT_EQ(file.WriteString(t.c_str()), 0);
    EXPECT_EQ(file.Close(), 0);
    return test::ReadFileBytes(path);
}

// Each conversion both ways: what iconv writes reads back as the sample, and what the
// writers write iconv reads back as the sample with CR LF line ends.
TEST(TextFileIconv, BothWays) {
    if (!test::HaveProgram("iconv")) GTEST_SKIP() << "iconv missing";
    test::TempDir dir;
    std::string crlf, lf;
    for (const auto& line : SampleLines()) crlf += line + "\r\n", lf += line + "\n";
    test::WriteFileBytes(dir.File("ansi"), crlf);
    for (const Conversion& c : kConversions) {
        std::string converted;
        ASSERT_EQ(test::RunCommand(std::string("iconv -f WINDOWS-1252 -t ") + c.iconvName + " " + dir.File("ansi"),
                                   &converted),
                  0);
        test::WriteFileBytes(dir.File("conv"), c.mark + converted);
        for (int block : {0, 2, 3, 100}) {
            ReadResult r = ReadAll(dir.File("conv"), 0, block);
            EXPECT_EQ(r.encoding, c.encoding);
            EXPECT_EQ(r.lines, SampleLines()) << c.iconvName << " block " << block;
        }
        std::string written = WriteAll(dir.File("out"), c.encoding, {lf}, 5);
        ASSERT_EQ(written.compare(0, c.mark.size(), c.mark), 0) << c.iconvName;
        test::WriteFileBytes(dir.File("body"), written.substr(c.mark.size()));
        std::string back;
        // The UTF-8 writer takes each byte as its own code point, as ISO 8859-1 does.
        const char* to = c.encoding == 4 ? "ISO-8859-1" : "WINDOWS-1252";
        ASSERT_EQ(test::RunCommand(std::string("iconv -f ") + c.iconvName + " -t " + to + " " + dir.File("body"), &back),
                  0);
        EXPECT_EQ(back, crlf) << c.iconvName;
    }
}

TEST(TextFileWrite, LineFeedsAndMarks) {
    test::TempDir dir;
    const std::string out = dir.File("out");
    EXPECT_EQ(WriteAll(out, 0, {"a\nb"}), "a\r\nb");
    EXPECT_EQ(WriteAll(out, 1, {"a\r\n", "\n"}), "a\r\r\n\r\n");
    EXPECT_EQ(WriteAll(out, 1 | TextFile::TF_FLAG_NO_LF_EXPANSION, {"a\nb\n"}), "a\nb\n");
    // The mark goes out with the first write, even an empty one; nothing written is nothing.
    EXPECT_EQ(WriteAll(out, 4, {""}), Bytes({0xEF, 0xBB, 0xBF}));
    EXPECT_EQ(WriteAll(out, 4, {}), "");
    TextFile file;
    EXPECT_EQ(file.Open(out.c_str(), TextFile::TF_MODE_WRITE, 5), -2);  // no writer for it
}

TEST(TextFileWrite, CharactersThroughEachWriter) {
    test::TempDir dir;
    const std::string out = dir.File("out");
    // UTF-8 takes the code point, the others its low byte (0xAC: U+00AC in Windows-1252).
    const std::pair<int, std::string> expected[] = {
        {1, Bytes({0x41, 0xAC})},
        {2, Bytes({0x41, 0, 0xAC, 0})},
        {3, Bytes({0, 0x41, 0, 0xAC})},
        {4, Bytes({0x41, 0xE2, 0x82, 0xAC})},
    };
    for (const auto& [encoding, bytes] : expected) {
        TextFile file;
        ASSERT_EQ(file.Open(out.c_str(), TextFile::TF_MODE_WRITE, encoding), 0);
        EXPECT_EQ(file.GetWriter()->WriteChar('A', 0, nullptr, nullptr), 0);
        EXPECT_EQ(file.GetWriter()->WriteChar(0x20AC, 0, nullptr, nullptr), 0);
        EXPECT_EQ(file.Close(), 0);
        EXPECT_EQ(test::ReadFileBytes(out), bytes) << encoding;
    }
}

TEST(TextFileRead, CharactersSkipCarriageReturns) {
    test::TempDir dir;
    test::WriteFileBytes(dir.File("be"), Bytes({0xFE, 0xFF, 0x00, 0x41, 0x00, 0x0D, 0x20, 0xAC, 0x00}));
    TextFile file;
    ASSERT_EQ(file.Open(dir.File("be").c_str(), TextFile::TF_MODE_READ, 0), 0);
    TextFileReader* reader = file.GetReader();
    EXPECT_EQ(reader->ReadChar(), 0x41);
    EXPECT_EQ(reader->ReadChar(), 0x20AC);
    EXPECT_EQ(reader->ReadChar(), -1);
}

// ASCII text in the conversion's encoding, mark first.
std::string Encode(const std::string& text, const Conversion& c) {
    std::string bytes = c.mark;
    for (char ch : text) bytes += c.encoding == 4 ? std::string{ch} : c.encoding == 2 ? std::string{ch, '\0'} : std::string{'\0', ch};
    return bytes;
}

TEST(TextFileRead, FileThatShrinksWhileRead) {
    test::TempDir dir;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\n";
    for (const Conversion& c : kConversions) {
        const std::string bytes = Encode(text, c);
        const std::string path = dir.File("shrink");
        test::WriteFileBytes(path, bytes);
        TextFile file;
        file.SetBufferSize(64);
        ASSERT_EQ(file.Open(path.c_str(), TextFile::TF_MODE_READ, 0), 0);
        char* line = nullptr;
        ASSERT_EQ(file.ReadLine(&line), 0);
        EXPECT_STREQ(line, "line 0");
        std::filesystem::resize_file(path, 301);  // odd, and inside a line
        std::vector<std::string> lines{line};
        while (file.ReadLine(&line) == 0) lines.emplace_back(line);
        // What was buffered is read, then the file ends where it now ends: every line
        // is the written one, the last maybe cut short.
        EXPECT_GT(lines.size(), 1u);
        EXPECT_LT(lines.size(), 60u);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string want = "line " + std::to_string(i);
            if (i + 1 < lines.size()) EXPECT_EQ(lines[i], want) << c.iconvName;
            else EXPECT_EQ(want.compare(0, lines[i].size(), lines[i]), 0) << c.iconvName << " " << lines[i];
        }
    }
}

TEST(TextFileRead, NoAllocationPerLine) {
    test::TempDir dir;
    std::string text;
    for (int i = 0; i < 5000; ++i) text += std::string(static_cast<std::size_t>(i % 97), 'a' + i % 26) + "\r\n";
    for (const Conversion& c : kConversions) {
        const std::string bytes = Encode(text, c);
        test::WriteFileBytes(dir.File("many"), bytes);
        TextFile file;
        ASSERT_EQ(file.Open(dir.File("many").c_str(), TextFile::TF_MODE_READ, 0), 0);
        char* line = nullptr;
        // The buffers grow to the longest line first.
        for (int i = 0; i < 200; ++i) ASSERT_EQ(file.ReadLine(&line), 0);
        long before = g_allocations.load();
        int count = 200;
        while (file.ReadLine(&line) == 0) ++count;
        EXPECT_EQ(g_allocations.load() - before, 0) << c.iconvName;
        EXPECT_EQ(count, 5000);
    }
}

}  // namespace
}  // namespace vutil
