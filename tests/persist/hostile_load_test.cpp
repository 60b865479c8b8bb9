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
#include <cstdlib>
#include <list>
#include <new>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <thread>
#endif

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
// Every other form goes through the two above, so that no block crosses allocators.
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete[](void* p) noexcept { operator delete(p); }
void operator delete[](void* p, std::size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { operator delete(p); }

namespace vutil {
namespace {

using namespace test;

// Loads bytes into a fresh T; returns the cause it ended with (-1 for none) and the
// highest number of bytes held at once meanwhile, above what was held before.
template <typename T>
int Load(const std::string& bytes, std::size_t* peak = nullptr) {
    const std::size_t base = g_live.load();
    g_peak.store(base);
    int cause = -1;
    try {
        T value{};
        LoadBytes(bytes, [&](CArchive& ar) {
            if constexpr (std::is_same_v<T, CString>) ar >> value;
            else SerializeData::Serialize(ar, value);
        });
    } catch (const CArchiveException& e) {
        cause = e.m_cause;
    }
    if (peak) *peak = g_peak.load() - base;
    return cause;
}

using Loader = int (*)(const std::string&, std::size_t*);
constexpr std::size_t kPayload = 2 * 1024 * 1024;
const std::string kLongString = Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0x20, 0}) + std::string(kPayload, 'z');
const std::string kZeros(kPayload, '\0');

class HostileCount : public testing::TestWithParam<std::pair<Loader, const std::string*>> {};

// A count of 0xFFFFFFFF before about 2 MiB of real data: memory follows the bytes
// that arrive, at most a small multiple of the input (the loader's copy is one).
TEST_P(HostileCount, MemoryStaysNearTheInputSize) {
    const std::string bytes = Bytes({0xFF, 0xFF, 0xFF, 0xFF}) + *GetParam().second;
    std::size_t peak = 0;
    EXPECT_EQ(GetParam().first(bytes, &peak), CArchiveException::endOfFile);
    EXPECT_LE(peak, 4 * bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Containers, HostileCount,
                         testing::Values(std::pair{Loader(Load<std::vector<CString>>), &kLongString},
                                         std::pair{Loader(Load<std::vector<std::string>>), &kLongString},
                                         std::pair{Loader(Load<std::list<CString>>), &kLongString},
                                         std::pair{Loader(Load<std::vector<double>>), &kZeros},
                                         std::pair{Loader(Load<std::vector<int>>), &kZeros},
                                         std::pair{Loader(Load<std::vector<bool>>), &kZeros}));

class StringLength : public testing::TestWithParam<std::pair<std::string, int>> {};

// A length beyond INT_MAX is refused as such, before anything is read for it; exactly
// INT_MAX is still a length and merely runs out of data.
TEST_P(StringLength, BeyondIntMaxIsAnArchiveError) {
    const std::string bytes = GetParam().first + std::string(64, 'a');
    EXPECT_EQ(Load<CString>(bytes), GetParam().second);
    EXPECT_EQ(Load<std::string>(bytes), GetParam().second);
    EXPECT_EQ(Load<std::vector<CString>>(Bytes({1, 0, 0, 0}) + bytes), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Prefixes, StringLength,
    testing::Values(std::pair{Bytes({0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}), int(CArchiveException::genericException)},
                    std::pair{Bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF, 0xFF}), int(CArchiveException::genericException)},
                    std::pair{Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 0, 0, 0}),
                              int(CArchiveException::genericException)},
                    std::pair{Bytes({0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0x80}),  // wide
                              int(CArchiveException::genericException)},
                    std::pair{Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), int(CArchiveException::endOfFile)}));

// Many short strings and one long record: through a pipe they arrive in pieces, and
// the loader cannot seek.
struct PipeDocument {
    std::vector<CString> strings;
    TextArray record;

    PipeDocument() {
        for (int i = 0; i < 3000; ++i) strings.push_back(CString(std::string(static_cast<std::size_t>(i % 300), 'a')));
        record.Add(CString(std::string(70000, 'x')));
    }
    std::string Stored() {
        return StoreBytes([&](CArchive& ar) {
            SerializeData::Serialize(ar, strings);
            record.Serialize(ar);
        });
    }
    void ExpectLoadedFrom(const std::string& pipe) const {
        CFile file(pipe.c_str(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        std::vector<CString> loadedStrings;
        TextArray loadedRecord;
        SerializeData::Serialize(ar, loadedStrings);
        loadedRecord.Serialize(ar);
        EXPECT_EQ(loadedStrings, strings);
        EXPECT_EQ(loadedRecord, record);
    }
};

#ifndef _WIN32
TEST(PipeLoading, ContainersAndRecordsLoadFromAFifo) {
    if (!test::HaveProgram("mkfifo")) GTEST_SKIP() << "no mkfifo";
    test::TempDir dir;
    PipeDocument doc;
    const std::string source = dir.File("doc.bin"), fifo = dir.File("doc.fifo");
    test::WriteFileBytes(source, doc.Stored());
    ASSERT_EQ(test::RunCommand("mkfifo '" + fifo + "'"), 0);
    // The writer waits for a reader; its output is detached from ours so that
    // starting it returns at once.
    ASSERT_EQ(test::RunCommand("sh -c \"cat '" + source + "' > '" + fifo + "'\" >/dev/null 2>&1 &"), 0);
    doc.ExpectLoadedFrom(fifo);
}
#else
// A named pipe hands its data over in pieces of the writer's size.
TEST(PipeLoading, ContainersAndRecordsLoadFromANamedPipe) {
    PipeDocument doc;
    const std::string bytes = doc.Stored();
    const std::string name = "\\\\.\\pipe\\vutil-load-" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0,
                                     nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    std::thread writer([&] {
        ConnectNamedPipe(server, nullptr);
        for (std::size_t at = 0; at < bytes.size(); at += 1000) {
            ::DWORD put = 0;
            WriteFile(server, bytes.data() + at, static_cast<::DWORD>(std::min<std::size_t>(1000, bytes.size() - at)), &put,
                      nullptr);
        }
        FlushFileBuffers(server);
        CloseHandle(server);
    });
    doc.ExpectLoadedFrom(name);
    writer.join();
}
#endif

}  // namespace
}  // namespace vutil
