// The settings store against hostile files, other users, faults and killed or hung
// writers: every case ends in an error code or a correct write, never a hang, an
// abort or a clobbered file. Only the parser's cases concern the Windows build: the
// rest are the POSIX store's file, its lock, its permissions and its temporary files.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "support/settings_values.h"
#include "support/test_support.h"
#include "vutil/platform/error.h"
#ifndef _WIN32
#include "vutil/platform/posix/sys_calls.h"
#endif
#include "vutil/platform/settings.h"

namespace vutil {
namespace {

using namespace platform;

#ifndef _WIN32
using posix::ScopedSysCalls;
using posix::Sys;
using test::TempDir;
namespace fs = std::filesystem;

LONG Set(const std::string& value) { return test::SetSettingsValue(HKEY_CURRENT_USER, "Software\\H", "v", kRegSz, value); }

std::string Get() {
    HKEY h = nullptr;
    if (LONG rc = SettingsOpenKey(HKEY_CURRENT_USER, "Software\\H", kKeyRead, &h)) return "error " + std::to_string(rc);
    char buf[64] = {};
    DWORD size = sizeof buf;
    LONG rc = SettingsQueryValue(h, "v", nullptr, reinterpret_cast<BYTE*>(buf), &size);
    SettingsCloseKey(h);
    return rc == 0 ? std::string(buf) : "error " + std::to_string(rc);
}

std::vector<std::string> FolderEntries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class SettingsHardening : public ::testing::Test {
protected:
    TempDir dir;
};

// Faults in the middle of a write: the file, the cache and the folder stay as they were.
// A failed rename is the settings_api fuzz target's.
struct Fault {
    const char* label;
    void (*inject)(posix::SysCalls&);
};

class WriteFault : public SettingsHardening, public ::testing::WithParamInterface<Fault> {};

TEST_P(WriteFault, LeavesFileCacheAndFolderAsTheyWere) {
    ASSERT_EQ(Set("kept"), 0);
    const std::string before = test::ReadFileBytes(SettingsLocation());
    const auto entries = FolderEntries(dir);
    {
        ScopedSysCalls restore;
        GetParam().inject(Sys());
        EXPECT_NE(Set("lost"), 0);
    }
    EXPECT_EQ(test::ReadFileBytes(SettingsLocation()), before);
    EXPECT_EQ(FolderEntries(dir), entries);
    EXPECT_EQ(Get(), "kept");
    EXPECT_EQ(Set("new"), 0);
    EXPECT_EQ(Get(), "new");
}

INSTANTIATE_TEST_SUITE_P(
    Faults, WriteFault,
    ::testing::Values(
        Fault{"disk_full_halfway",
              [](posix::SysCalls& s) {
                  s.write = [](int, const void*, std::size_t n) -> ssize_t {
                      if (n > 16) return 16;  // a short write first, then no room
                      errno = ENOSPC;
                      return -1;
                  };
              }},
        Fault{"fsync_fails", [](posix::SysCalls& s) { s.fsync = [](int) { errno = EIO; return -1; }; }},
        Fault{"out_of_memory", [](posix::SysCalls& s) { s.write = [](int, const void*, std::size_t) -> ssize_t { throw std::bad_alloc(); }; }}),
    [](const auto& info) { return std::string(info.param.label); });

// Another user who can write the folder must not be able to redirect our writes.
TEST_F(SettingsHardening, PlantedLinksAreNeitherFollowedNorWrittenThrough) {
    const std::string victim = dir.File("victim");
    test::WriteFileBytes(victim, "precious");
    // The temporary name of old was predictable; a link there must not matter.
    ASSERT_EQ(::symlink(victim.c_str(), (SettingsLocation() + ".tmp." + std::to_string(::getpid())).c_str()), 0);
    static std::vector<std::string> names;  // of the temporary files opened, and their flags
    static std::vector<int> tempFlags;
    {
        ScopedSysCalls restore;
        Sys().open = [](const char* path, int f, mode_t mode) {
            if (std::string(path).find(".tmp.") != std::string::npos) {
                names.push_back(path);
                tempFlags.push_back(f);
            }
            return ::open(path, f, mode);
        };
        ASSERT_EQ(Set("one"), 0);
        ASSERT_EQ(Set("two"), 0);
        ASSERT_GE(names.size(), 2u);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(std::unique(names.begin(), names.end()), names.end());
        for (const auto& n : names) EXPECT_EQ(n.find(std::to_string(::getpid())), std::string::npos) << n;
    }
    for (int f : tempFlags) EXPECT_EQ(f & (O_CREAT | O_EXCL | O_NOFOLLOW), O_CREAT | O_EXCL | O_NOFOLLOW);
    EXPECT_EQ(test::ReadFileBytes(victim), "precious");

    // A lock file that is a link: refused, and the link's target is never created.
    fs::remove(SettingsLocation() + ".lock");
    const std::string absent = dir.File("created-by-link");
    ASSERT_EQ(::symlink(absent.c_str(), (SettingsLocation() + ".lock").c_str()), 0);
    EXPECT_EQ(Set("three"), static_cast<LONG>(kErrorAccessDenied));
    EXPECT_FALSE(fs::exists(absent));
    EXPECT_EQ(Get(), "two");
}

struct FolderMode {
    mode_t mode;
    LONG expected;
};

class StoreFolder : public SettingsHardening, public ::testing::WithParamInterface<FolderMode> {};

TEST_P(StoreFolder, WritableByOthersOnlyWhenSticky) {
    const std::string folder = dir.File("shared");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(folder.c_str(), GetParam().mode), 0);
    setenv("VUTIL_REGISTRY", (folder + "/registry.reg").c_str(), 1);
    EXPECT_EQ(Set("x"), GetParam().expected);
    EXPECT_EQ(fs::exists(folder + "/registry.reg"), GetParam().expected == 0);
}

INSTANTIATE_TEST_SUITE_P(Modes, StoreFolder,
                         ::testing::Values(FolderMode{0777, static_cast<LONG>(kErrorAccessDenied)},
                                           FolderMode{0773, static_cast<LONG>(kErrorAccessDenied)},
                                           FolderMode{01777, 0}, FolderMode{0775, 0}, FolderMode{0700, 0}));

// A sparse file far beyond memory is refused by its size before anything is read.
TEST_F(SettingsHardening, HugeStoreIsDamagedNotFatal) {
    {
        int fd = ::open(SettingsLocation().c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t{200} << 30), 0);
        ::close(fd);
    }
    HKEY h = nullptr;
    EXPECT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "Software", kKeyRead, &h), static_cast<LONG>(kErrorRegistryCorrupt));
    EXPECT_EQ(Set("x"), static_cast<LONG>(kErrorRegistryCorrupt));
    EXPECT_EQ(fs::file_size(SettingsLocation()), std::uintmax_t{200} << 30);
    // A two-digit year reads the store; the date still parses with the default limit.
    std::string out;
    EXPECT_EQ(test::RunCommand("VUTIL_REGISTRY=" + SettingsLocation() + " " + VUTIL_CLI_PATH + " date parse 1/2/24", &out), 0);
    EXPECT_NE(out.find("2024"), std::string::npos) << out;
}
#endif

// Doubling a hostile file at most roughly doubles the time to read it. Caches make
// even linear work grow a little faster than the size, so the bound allows what a
// benign file of the same lines shows, and never less than 3x.
double Seconds(const std::string& bytes) {
    auto start = std::chrono::steady_clock::now();
    SettingsParseForTesting(bytes, nullptr);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several alternating runs, so that a busy machine slows both sizes alike.
double Doubling(std::string (*make)(int)) {
    const std::string once = make(1000), twice = make(2000);
    double a = 1e9, b = 1e9;
    for (int run = 0; run < 15; ++run) {
        a = std::min(a, Seconds(once));
        b = std::min(b, Seconds(twice));
    }
    return b / a;
}

const std::string kHead = "Windows Registry Editor Version 5.00\r\n[HKEY_CURRENT_USER\\K]\r\n";

std::string KeyLine(int i, bool remove) {
    return std::string(remove ? "[-" : "[") + "HKEY_CURRENT_USER\\K\\" + std::to_string(1000000 + i) + "]\r\n";
}

std::string ValuesThenRemovals(int n) {
    std::string s = kHead;
    for (int i = 0; i < n; ++i) s += "\"v" + std::to_string(i) + "\"=\"x\"\r\n";
    for (int i = 0; i < n; ++i) s += "\"v" + std::to_string(i) + "\"=-\r\n";
    return s;
}

std::string KeysInReverse(int n) {
    std::string s = kHead;
    for (int i = 2 * n; i > 0; --i) s += KeyLine(i, false);
    return s;
}

std::string KeysThenRemovals(int n) {
    std::string s = kHead;
    for (int i = n; i > 0; --i) s += KeyLine(i, false);
    for (int i = n; i > 0; --i) s += KeyLine(i, true);
    return s;
}

std::string KeysInOrder(int n) {
    std::string s = kHead;
    for (int i = 1; i <= 2 * n; ++i) s += KeyLine(i, false);
    return s;
}

TEST(SettingsParser, IsLinearInHostileShapes) {
    // A quadratic parse fails every round; a busy machine may spoil one.
    std::vector<double> ratios;
    double bound = 0;
    for (int round = 0; round < 3; ++round) {
        bound = std::max(3.0, 1.5 * Doubling(&KeysInOrder));
        ratios = {Doubling(&ValuesThenRemovals), Doubling(&KeysInReverse), Doubling(&KeysThenRemovals)};
        if (*std::max_element(ratios.begin(), ratios.end()) < bound) break;
    }
    for (double r : ratios) EXPECT_LT(r, bound);
}

#ifndef _WIN32
class NotAFile : public SettingsHardening, public ::testing::WithParamInterface<int> {};

// A FIFO would block the open forever; a folder cannot be a store.
TEST_P(NotAFile, IsRefusedAtOnce) {
    ASSERT_EQ(GetParam() == S_IFIFO ? ::mkfifo(SettingsLocation().c_str(), 0600) : ::mkdir(SettingsLocation().c_str(), 0700), 0);
    HKEY h = nullptr;
    EXPECT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "Software", kKeyRead, &h), static_cast<LONG>(kErrorRegistryIoFailed));
    EXPECT_EQ(Set("x"), static_cast<LONG>(kErrorRegistryIoFailed));
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotAFile, ::testing::Values(S_IFIFO, S_IFDIR));

TEST_F(SettingsHardening, WritesAreDurableAndCleanUpAfterKilledWriters) {
    for (const char* stale : {"registry.reg.tmp.4242", "registry.reg.tmp.0123456789abcdef"})
        test::WriteFileBytes(dir.File(stale), "half a file");
    test::WriteFileBytes(dir.File("other.tmp.1"), "not ours");
    static bool folderSynced;
    folderSynced = false;
    {
        ScopedSysCalls restore;
        Sys().fsync = [](int fd) {
            struct stat st {};
            if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) folderSynced = true;
            return ::fsync(fd);
        };
        ASSERT_EQ(Set("durable"), 0);
    }
    EXPECT_TRUE(folderSynced);
    EXPECT_EQ(FolderEntries(dir), (std::vector<std::string>{"other.tmp.1", "registry.reg", "registry.reg.lock"}));
}

TEST_F(SettingsHardening, ReadOnlyStoreIsNotReplaced) {
    ASSERT_EQ(Set("kept"), 0);
    ASSERT_EQ(::chmod(SettingsLocation().c_str(), 0444), 0);
    const std::string before = test::ReadFileBytes(SettingsLocation());
    EXPECT_EQ(Set("lost"), static_cast<LONG>(kErrorAccessDenied));
    EXPECT_EQ(test::ReadFileBytes(SettingsLocation()), before);
    EXPECT_EQ(Get(), "kept");
}

TEST_F(SettingsHardening, LinkedStoreIsWrittenThroughToItsTarget) {
    ASSERT_EQ(::mkdir(dir.File("real").c_str(), 0700), 0);
    ASSERT_EQ(::symlink("real/store.reg", SettingsLocation().c_str()), 0);  // relative, as users make them
    ASSERT_EQ(Set("first"), 0);
    ASSERT_EQ(Set("second"), 0);
    struct stat st {};
    ASSERT_EQ(::lstat(SettingsLocation().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(test::ReadFileBytes(dir.File("real/store.reg")).find("\"v\"=\"second\""), std::string::npos);
    EXPECT_EQ(Get(), "second");
}

// A writer that hangs holding the lock costs the others a bounded wait, then 170.
TEST_F(SettingsHardening, LockWaitIsBoundedAndAnswersBusy) {
    ASSERT_EQ(Set("kept"), 0);
    int held = ::open((SettingsLocation() + ".lock").c_str(), O_RDWR);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    static unsigned waitedMs;
    waitedMs = 0;
    {
        ScopedSysCalls restore;
        Sys().sleepMs = [](unsigned ms) { waitedMs += ms; };
        EXPECT_EQ(Set("blocked"), static_cast<LONG>(kErrorBusy));
    }
    EXPECT_GE(waitedMs, 10000u);
    EXPECT_LT(waitedMs, 10200u);
    ::close(held);
    EXPECT_EQ(Get(), "kept");
    EXPECT_EQ(Set("free"), 0);
}
#endif

}  // namespace
}  // namespace vutil
