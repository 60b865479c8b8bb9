// Loading archives that lie: counts far beyond the data, lengths no string can have,
// and files that cannot seek.

// The counting allocator below hands out blocks with a size header; GCC cannot see
// that its new and delete belong together.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Warray-bounds"
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <climits>
#include <cstdlib>
#include <list>
#include <map>
#include <new>
#include <vector>

#include "support/archive_bytes.h"
#include "support/test_support.h"
#include "vutil/core/text_array.h"
#include "vutil/framework/exceptions.h"
#include "vutil/persist/serialize_data.h"

// Every allocation of this binary carries its size in front, so live and peak bytes
// can be followed without asking the C library.
namespace {
std::atomic<std::size_t> g_live{0};
std::atomic<std::size_t> g_peak{0};
constexpr std::size_t kHeader = alignof(std::max_align_t);
}  // namespace

void* operator new(std::size_t size) {
    auto* p = static_cast<unsigned char*>(std::malloc(size + kHeader));
    if (!p) throw std::bad_alloc();
    *reinterpret_cast<std::size_t*>(p) = size;
    const std::size_t live = g_live.fetch_add(size, std::memory_order_relaxed) + size;
    std::size_t peak = g_peak.load(std::memory_order_relaxed);
    while (live > peak && !g_peak.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
    return p + kHeader;
}
void operator delete(void* p) noexcept {
    if (!p) return;
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    g_live.fetch_sub(*reinterpret_cast<std::size_t*>(block), std::memory_order_relaxed);
    std::free(block);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace vutil {
namespace {

using test::Bytes;
using test::LoadBytes;
using test::StoreBytes;

// Highest number of bytes held at once while f runs, above what was held before.
template <typename F>
std::size_t PeakDuring(F&& f) {
    const std::size_t base = g_live.load();
    g_peak.store(base);
    f();
    return g_peak.load() - base;
}

constexpr std::size_t kPayload = 2 * 1024 * 1024;

// A count of 0xFFFFFFFF, then real data of about kPayload bytes, then the end.
std::string HugeCountThen(const std::string& data) { return Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + data; }
std::string OneLongString() {
    return Bytes({0xFF, 0xFF, 0xFF}) + std::string{0, 0, 0x20, 0} + std::string(kPayload, 'z');
}

template <typename Container>
std::size_t PeakLoading(const std::string& bytes) {
    return PeakDuring([&] {
        Container c;
        try {
            LoadBytes(bytes, [&](CArchive& ar) { SerializeData::Serialize(ar, c); });
            ADD_FAILURE() << "no end of file";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile);
        }
    });
}

struct HostileCount {
    const char* name;
    std::size_t (*peak)(const std::string&);
    std::string (*data)();
};

class HostileCountMemory : public testing::TestWithParam<HostileCount> {};

// Memory follows the bytes that arrive, not the count that was promised: at most a
// small multiple of the input (which the loader's private copy already counts once).
TEST_P(HostileCountMemory, StaysNearTheInputSize) {
    const std::string bytes = HugeCountThen(GetParam().data());
    const std::size_t peak = GetParam().peak(bytes);
    EXPECT_LE(peak, 4 * bytes.size()) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Containers, HostileCountMemory,
    testing::Values(HostileCount{"vector<CString>", PeakLoading<std::vector<CString>>, OneLongString},
                    HostileCount{"vector<std::string>", PeakLoading<std::vector<std::string>>, OneLongString},
                    HostileCount{"list<CString>", PeakLoading<std::list<CString>>, OneLongString},
                    HostileCount{"vector<double>", PeakLoading<std::vector<double>>,
                                 [] { return std::string(kPayload, '\0'); }},
                    HostileCount{"vector<int>", PeakLoading<std::vector<int>>,
                                 [] { return std::string(kPayload, '\0'); }},
                    HostileCount{"vector<bool>", PeakLoading<std::vector<bool>>,
                                 [] { return std::string(kPayload, '\0'); }}),
    [](const auto& info) {
        std::string n = info.param.name;
        for (char& c : n) {
            if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
        }
        return n;
    });

// ---- Lengths beyond INT_MAX ----

struct LongPrefix {
    const char* name;
    std::string prefix;
    int cause;
};

class StringLength : public testing::TestWithParam<LongPrefix> {};

// The length is refused as such, before anything is read for it; exactly INT_MAX is
// still a length and merely runs out of data.
TEST_P(StringLength, BeyondIntMaxIsAnArchiveError) {
    const std::string bytes = GetParam().prefix + std::string(64, 'a');
    auto expectCause = [&](auto&& load) {
        try {
            LoadBytes(bytes, load);
            ADD_FAILURE() << "no exception";
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, GetParam().cause);
        }
    };
    expectCause([](CArchive& ar) {
        CString s;
        ar >> s;
    });
    expectCause([](CArchive& ar) {
        std::string s;
        SerializeData::Serialize(ar, s);
    });
    const std::string counted = Bytes({1, 0, 0, 0}) + bytes;
    try {
        std::vector<CString> v;
        LoadBytes(counted, [&](CArchive& ar) { SerializeData::Serialize(ar, v); });
        ADD_FAILURE() << "no exception";
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, GetParam().cause);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, StringLength,
    testing::Values(LongPrefix{"IntMaxPlusOne", Bytes({0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
                               CArchiveException::genericException},
                    LongPrefix{"Largest32Bit", Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}),
                               CArchiveException::genericException},
                    LongPrefix{"SixtyFourBit", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0}),
                               CArchiveException::genericException},
                    LongPrefix{"WideIntMaxPlusOne", Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}),
                               CArchiveException::genericException},
                    LongPrefix{"IntMax", Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}),
                               CArchiveException::endOfFile}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- A file that cannot seek ----

TEST(PipeLoading, ContainersAndRecordsLoadFromAFifo) {
    if (!test::HaveProgram("mkfifo")) GTEST_SKIP() << "no mkfifo";
    test::TempDir dir;
    std::vector<CString> strings;
    for (int i = 0; i < 3000; ++i) strings.push_back(CString(std::string(static_cast<std::size_t>(i % 300), 'a' + i % 26)));
    TextArray record;
    record.Add("first");
    record.Add(CString(std::string(70000, 'x')));
    std::map<int, CString> map{{1, "one"}, {2, "two"}};
    const std::string bytes = StoreBytes([&](CArchive& ar) {
        SerializeData::Serialize(ar, strings);
        record.Serialize(ar);
        SerializeData::Serialize(ar, map);
    });
    const std::string source = dir.File("doc.bin"), fifo = dir.File("doc.fifo");
    test::WriteFileBytes(source, bytes);
    ASSERT_EQ(test::RunCommand("mkfifo '" + fifo + "'"), 0);
    // The writer blocks until the fifo is opened for reading; its output is detached
    // from ours so that starting it returns at once.
    ASSERT_EQ(test::RunCommand("sh -c \"cat '" + source + "' > '" + fifo + "'\" >/dev/null 2>&1 &"), 0);

    CFile file(fifo.c_str(), CFile::modeRead | CFile::typeBinary);
    CArchive ar(&file, CArchive::load);
    std::vector<CString> loadedStrings;
    TextArray loadedRecord;
    std::map<int, CString> loadedMap;
    SerializeData::Serialize(ar, loadedStrings);
    loadedRecord.Serialize(ar);
    SerializeData::Serialize(ar, loadedMap);
    EXPECT_EQ(loadedStrings, strings);
    ASSERT_EQ(loadedRecord.GetCount(), 2u);
    EXPECT_EQ(loadedRecord.GetAt(1), record.GetAt(1));
    EXPECT_EQ(loadedMap, map);
}

}  // namespace
}  // namespace vutil
