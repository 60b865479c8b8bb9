#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/framework/archive.h"
#include "vutil/framework/exceptions.h"
#include "vutil/framework/file.h"

using namespace vutil;
using namespace vutil::test;

namespace {

CString LoadString(const std::string& bytes) {
    CString s;
    vutil::test::LoadBytes(bytes, [&](CArchive& ar) { ar >> s; });
    return s;
}

}  // namespace

struct LengthCase {
    int length;
    const char* prefixHex;
};

class StringPrefixTest : public testing::TestWithParam<LengthCase> {};

TEST_P(StringPrefixTest, PrefixAndRoundTrip) {
    const LengthCase& c = GetParam();
    CString s('x', c.length);
    std::string bytes = StoreBytes([&](CArchive& ar) { ar << s; });
    std::string prefixHex = c.prefixHex;
    std::size_t prefixLen = (prefixHex.size() + 1) / 3;
    ASSERT_EQ(bytes.size(), prefixLen + static_cast<std::size_t>(c.length));
    EXPECT_EQ(Hex(bytes.substr(0, prefixLen)), prefixHex);
    EXPECT_EQ(LoadString(bytes), s);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StringPrefixTest,
                         testing::Values(LengthCase{0, "00"}, LengthCase{254, "FE"}, LengthCase{255, "FF FF 00"},
                                         LengthCase{65533, "FF FD FF"}, LengthCase{65534, "FF FF FF FE FF 00 00"},
                                         LengthCase{70000, "FF FF FF 70 11 01 00"}));

TEST(ArchiveTest, NumbersAreLittleEndian) {
    std::string bytes = StoreBytes([](CArchive& ar) {
        ar << static_cast<BYTE>(0xAB) << static_cast<WORD>(0x1234) << 1 << -2 << 0xDEADBEEFu << 1.0;
    });
    EXPECT_EQ(Hex(bytes), "AB 34 12 01 00 00 00 FE FF FF FF EF BE AD DE 00 00 00 00 00 00 F0 3F");

    CMemFile file(reinterpret_cast<BYTE*>(bytes.data()), static_cast<UINT>(bytes.size()));
    CArchive ar(&file, CArchive::load);
    BYTE b;
    WORD w;
    int i1, i2;
    unsigned int u;
    double d;
    ar >> b >> w >> i1 >> i2 >> u >> d;
    EXPECT_EQ(b, 0xAB);
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(i1, 1);
    EXPECT_EQ(i2, -2);
    EXPECT_EQ(u, 0xDEADBEEFu);
    EXPECT_EQ(d, 1.0);
    EXPECT_THROW(ar >> b, CArchiveException);
}

TEST(ArchiveTest, LoadsWideStrings) {
    // Marker FF FE FF, then length 3 in units: "A", euro sign, a character outside the code page.
    std::string bytes = Bytes({0xFF, 0xFE, 0xFF, 0x03, 0x41, 0x00, 0xAC, 0x20, 0x3A, 0x04});
    EXPECT_EQ(LoadString(bytes), "A\x80?");
    // A long wide string: the length after the marker uses the 16-bit form.
    std::string longWide = Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0x2C, 0x01});
    for (int i = 0; i < 300; ++i) longWide += Bytes({'w', 0});
    EXPECT_EQ(LoadString(longWide), CString('w', 300));
}

// Hostile lengths and the memory they may cost are the persistence suite's.
TEST(ArchiveTest, ShortReadsAreEndOfFile) {
    struct Case {
        std::string bytes;
    } cases[] = {{""}, {Bytes({0x05, 'a', 'b'})}, {Bytes({0xFF, 0x2C})}, {Bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0})}};
    for (const auto& c : cases) {
        try {
            LoadString(c.bytes);
            ADD_FAILURE() << "no exception for " << Hex(c.bytes);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    }
}

TEST(ArchiveTest, ModeMismatchThrows) {
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    int v = 0;
    EXPECT_THROW(ar >> v, CArchiveException);
    std::string bytes = "1234";
    CMemFile in(reinterpret_cast<BYTE*>(bytes.data()), 4);
    CArchive load(&in, CArchive::load);
    EXPECT_THROW(load << 1, CArchiveException);
}

TEST(ArchiveTest, ManySmallValuesCrossBufferBoundaries) {
    // A tiny buffer forces refills in the middle of values.
    std::string bytes = StoreBytes(
        [](CArchive& ar) {
            for (int i = 0; i < 1000; ++i) ar << i << CString('s', i % 300) << static_cast<double>(i) / 3;
        },
        128);
    LoadBytes(
        bytes,
        [](CArchive& ar) {
            for (int i = 0; i < 1000; ++i) {
                int v;
                CString s;
                double d;
                ar >> v >> s >> d;
                ASSERT_EQ(v, i);
                ASSERT_EQ(s.GetLength(), i % 300);
                ASSERT_EQ(d, static_cast<double>(i) / 3);
            }
        },
        128);
}

TEST(ArchiveTest, RewindStepsBackOverAMarkerAcrossARefill) {
    // With a 128-byte buffer the marker at offset 127 straddles the first refill.
    std::string bytes(127, '\x01');
    bytes += Bytes({0x34, 0x12, 0x78, 0x56});
    LoadBytes(
        bytes,
        [](CArchive& base) {
            auto& ar = static_cast<CRewindArchive&>(base);
            std::vector<BYTE> skip(127);
            ar.ReadExact(skip.data(), skip.size());
            WORD first = 0, again = 0, next = 0;
            ar >> first;
            ar.DoRewindWORD();
            ar >> again >> next;
            EXPECT_EQ(first, 0x1234);
            EXPECT_EQ(again, 0x1234);
            EXPECT_EQ(next, 0x5678);
        },
        128);
}

TEST(FileTest, FileRoundTripThroughArchive) {
    vutil::test::TempDir dir;
    std::string path = dir.File("data.bin");
    {
        CFile f(path.c_str(), CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&f, CArchive::store);
        ar << CString("hello") << 42;
        ar.Close();
        f.Close();
    }
    EXPECT_EQ(Hex(vutil::test::ReadFileBytes(path)), "05 68 65 6C 6C 6F 2A 00 00 00");
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeRead));
    EXPECT_EQ(f.GetLength(), 10u);
    CArchive ar(&f, CArchive::load);
    CString s;
    int v;
    ar >> s >> v;
    EXPECT_EQ(s, "hello");
    EXPECT_EQ(v, 42);
    EXPECT_EQ(f.GetFilePath(), CString(path.c_str()));
    EXPECT_EQ(f.GetFileName(), "data.bin");
}

// The codes per kind of failure are the platform suite's; here they reach the exception.
TEST(FileTest, OpenFailuresCarryWindowsCodes) {
    vutil::test::TempDir dir;
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(dir.File("missing.bin").c_str(), CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e.m_lOsError, 2);
    EXPECT_FALSE(f.Open(dir.File("nodir/x.bin").c_str(), CFile::modeCreate | CFile::modeWrite, &e));
    EXPECT_EQ(e.m_cause, CFileException::badPath);
    EXPECT_EQ(e.m_lOsError, 3);
    EXPECT_THROW(CFile(dir.File("missing.bin").c_str(), CFile::modeRead), CFileException);
}

TEST(FileTest, NoTruncateKeepsContent) {
    vutil::test::TempDir dir;
    std::string path = dir.File("keep.txt");
    vutil::test::WriteFileBytes(path, "abcdef");
    CFile f(path.c_str(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    EXPECT_EQ(f.GetLength(), 6u);
    f.SeekToEnd();
    f.Write("gh", 2);
    f.SeekToBegin();
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 8u);
    EXPECT_STREQ(buf, "abcdefgh");
}

TEST(MemFileTest, GrowsSeeksAndDetaches) {
    CMemFile m(16);
    m.Write("hello", 5);
    m.Seek(8, CFile::begin);
    m.Write("!", 1);
    EXPECT_EQ(m.GetLength(), 9u);
    m.SeekToBegin();
    char buf[9];
    EXPECT_EQ(m.Read(buf, 9), 9u);
    EXPECT_EQ(std::string(buf, 9), std::string("hello\0\0\0!", 9));
    EXPECT_THROW(m.Seek(-1, CFile::begin), CFileException);
    BYTE* p = m.Detach();
    EXPECT_EQ(std::memcmp(p, "hello", 5), 0);
    std::free(p);
    EXPECT_EQ(m.GetLength(), 0u);

    BYTE fixed[4] = {1, 2, 3, 4};
    CMemFile over(fixed, 4);
    EXPECT_EQ(over.GetLength(), 4u);
    over.Seek(4, CFile::begin);
    EXPECT_THROW(over.Write("x", 1), std::bad_alloc);  // caller's bytes cannot grow
}
