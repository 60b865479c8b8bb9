// Copy, move and delete: the messages, and that no byte is lost when something fails.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <functional>

#include "support/registry_sandbox.h"
#include "support/test_support.h"
#include "system_view.h"
#include "vutil/core/app_logger.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/clock.h"
#include "vutil/platform/path.h"
#ifndef _WIN32
#include "vutil/platform/posix/sys_calls.h"
#endif

namespace vutil {
namespace {

namespace fs = std::filesystem;
#ifndef _WIN32
using platform::posix::ScopedSysCalls;
using platform::posix::Sys;
#endif

// The library form of a host path: backslashes throughout.
CString Lib(const fs::path& p) { return CString(platform::FromHostPath(p.string())); }

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FileOps : public ::testing::Test {
protected:
    fs::path P(const std::string& rel) const { return tmp.path() / rel; }
    void Write(const std::string& rel, const std::string& bytes) const { test::WriteText(P(rel), bytes); }
    std::string Read(const std::string& rel) const { return test::ReadFileBytes(P(rel).string()); }
    test::TempDir tmp;
};

TEST_F(FileOps, CopyMessages) {
    Write("a.txt", "abc");
    fs::create_directories(P("d"));
    struct Case {
        std::string source, target, before, after;
        bool ok;
    } cases[] = {
        {"missing.txt", "b.txt", "", "Not a valid source path.", false},
        {"d", "b.txt", "", "Not a valid source file.", false},
        {"missing.txt", "b.txt", "Earlier.", "Earlier. Not a valid source path.", false},
        {"a.txt", "b.txt", "", "", true},
    };
    for (const auto& c : cases) {
        CString errors(c.before);
        EXPECT_EQ(CFileUtils::CopyFileA(Lib(P(c.source)), Lib(P(c.target)), errors), c.ok) << c.source;
        EXPECT_EQ(errors, c.after.c_str()) << c.source;
    }
    EXPECT_EQ(Read("b.txt"), "abc");
}

TEST_F(FileOps, CopyOntoItselfInOtherCaseTouchesNothing) {
    CString errors;
    // Neither file exists: only the text was compared.
    EXPECT_TRUE(CFileUtils::CopyFileA(Lib(P("x.TXT")), Lib(P("X.txt")), errors));
    EXPECT_TRUE(errors.IsEmpty());
    EXPECT_TRUE(Names(tmp.path()).size() <= 1u);  // the settings file at most
}

TEST_F(FileOps, CopyCreatesEveryLevelAndKeepsModeAndTime) {
    Write("a.bin", std::string(3 << 20, '\x5a'));
#ifdef _WIN32
    const fs::perms mode = fs::perms(0444);  // read-only is the one the system keeps
#else
    const fs::perms mode = fs::perms(0640);
#endif
    fs::permissions(P("a.bin"), mode);
    fs::last_write_time(P("a.bin"), fs::file_time_type::clock::now() - std::chrono::hours(50));
    CString errors;
    ASSERT_TRUE(CFileUtils::CopyFileA(Lib(P("a.bin")), Lib(P("x/y/z/b.bin")), errors)) << errors.GetString();
    EXPECT_EQ(Read("x/y/z/b.bin"), Read("a.bin"));
    EXPECT_EQ(fs::status(P("x/y/z/b.bin")).permissions(), fs::status(P("a.bin")).permissions());
    EXPECT_EQ(fs::last_write_time(P("x/y/z/b.bin")), fs::last_write_time(P("a.bin")));
    for (const char* f : {"a.bin", "x/y/z/b.bin"}) fs::permissions(P(f), fs::perms::owner_write, fs::perm_options::add);
}

#ifndef _WIN32  // a FIFO in the file system is a POSIX kind of file
TEST_F(FileOps, SpecialFilesAreNotCopiedNorOpenedForVersions) {
    ASSERT_EQ(::mkfifo(P("pipe").c_str(), 0600), 0);  // no writer: a blocking open would hang
    CString errors, product;
    EXPECT_FALSE(CFileUtils::CopyFileA(Lib(P("pipe")), Lib(P("b.txt")), errors));
    EXPECT_FALSE(errors.IsEmpty());
    EXPECT_FALSE(fs::exists(P("b.txt")));
    CFileUtils::GetFileInfo(Lib(P("pipe")), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, &product);
    EXPECT_TRUE(product.IsEmpty());
}
#endif

TEST_F(FileOps, MoveRenamesInPlaceAndRefusesItself) {
    Write("a.txt", "abc");
    CString errors;
    EXPECT_FALSE(CFileUtils::MoveFileA(Lib(P("a.txt")), Lib(P("a.txt")), errors));
    EXPECT_TRUE(errors.IsEmpty());
    EXPECT_TRUE(CFileUtils::MoveFileA(Lib(P("a.txt")), Lib(P("A.TXT")), errors));
    // The entry carries the new name (where names ignore case, the old one still finds it).
    const auto names = Names(tmp.path());
    const bool caseKept = test::UnderWine();  // Wine keeps a name whose case alone changes
    if (!caseKept) {
        EXPECT_NE(std::find(names.begin(), names.end(), "A.TXT"), names.end());
        EXPECT_EQ(std::find(names.begin(), names.end(), "a.txt"), names.end());
    }
    EXPECT_EQ(Read("A.TXT"), "abc");
    EXPECT_TRUE(CFileUtils::MoveFileA(Lib(P("A.TXT")), Lib(P("sub/b.txt")), errors));
    EXPECT_EQ(Read("sub/b.txt"), "abc");
    EXPECT_FALSE(fs::exists(P("A.TXT")));
}

TEST_F(FileOps, DeleteRefusesDirectoriesAndLogsTheSite) {
    fs::create_directories(P("d"));
    CAppLogger* log = CAppLogger::CreateForTesting();
    const std::size_t before = log->Lines().size();
    CString errors;
    EXPECT_FALSE(CFileUtils::DeleteFileA(Lib(P("d")), errors, false, false));
    EXPECT_FALSE(CFileUtils::DeleteFileA(Lib(P("missing")), errors, false, false));
    ASSERT_EQ(log->Lines().size(), before + 2);
    EXPECT_EQ(log->Lines().back().site, "{AC88BA89-3BFE-4238-A954-21ADC5A5B61A}");
    CAppLogger::DeleteInstance();
    EXPECT_TRUE(fs::is_directory(P("d")));

    Write("ro.txt", "x");
    fs::permissions(P("ro.txt"), fs::perms(0444));
    EXPECT_TRUE(CFileUtils::DeleteFileA(Lib(P("ro.txt")), errors, false, false));
    EXPECT_FALSE(fs::exists(P("ro.txt")));
}

#ifdef _WIN32
// A target another program holds open cannot be replaced: the copy fails whole, the old
// target keeps its bytes and no temporary file is left beside it.
TEST_F(FileOps, TargetHeldOpenElsewhereStaysWhole) {
    Write("src.bin", std::string(1 << 20, 's'));
    Write("out/target.bin", "the old target");
    const auto before = Names(P("out"));
    const std::uintptr_t held = test::HoldFileOpen(P("out/target.bin").string());
    ASSERT_NE(held, 0u);
    CString errors;
    EXPECT_FALSE(CFileUtils::CopyFileA(Lib(P("src.bin")), Lib(P("out/target.bin")), errors));
    test::CloseHeldFile(held);
    EXPECT_FALSE(errors.IsEmpty());
    EXPECT_EQ(Read("out/target.bin"), "the old target");
    EXPECT_EQ(Names(P("out")), before);
}
#endif

#ifndef _WIN32  // faults are injected through the POSIX backend's system-call table
// Faults while a copy is under way: the old target and the source keep every byte and
// no temporary file is left behind.
struct Fault {
    const char* name;
    std::function<void(const fs::path& source)> inject;
    const char* message;  // part of the text appended to errors
};

class CopyFault : public FileOps, public ::testing::WithParamInterface<Fault> {};

TEST_P(CopyFault, LeavesSourceAndTargetWhole) {
    const std::string source(2 << 20, 's'), old = "the old target";
    Write("src.bin", source);
    Write("out/target.bin", old);
    const auto before = Names(P("out"));
    CString errors;
    {
        ScopedSysCalls restore;
        GetParam().inject(P("src.bin"));
        EXPECT_FALSE(CFileUtils::CopyFileA(Lib(P("src.bin")), Lib(P("out/target.bin")), errors));
    }
    EXPECT_NE(std::string(errors.GetString()).find(GetParam().message), std::string::npos) << errors.GetString();
    EXPECT_EQ(Read("out/target.bin"), old);
    EXPECT_EQ(Names(P("out")), before);
    if (fs::exists(P("src.bin"))) {
        EXPECT_EQ(Read("src.bin"), source);
    }
}

int g_calls = 0;

INSTANTIATE_TEST_SUITE_P(
    Faults, CopyFault,
    ::testing::Values(
        Fault{"disk_full_halfway",
              [](const fs::path&) {
                  g_calls = 0;
                  Sys().write = [](int fd, const void* b, std::size_t n) -> ssize_t {
                      if (++g_calls > 1) {
                          errno = ENOSPC;
                          return -1;
                      }
                      return ::write(fd, b, n / 2);
                  };
              },
              "No space"},
        Fault{"source_gone_midway",
              [](const fs::path& source) {
                  static fs::path s_source;
                  s_source = source;
                  g_calls = 0;
                  Sys().read = [](int fd, void* b, std::size_t n) -> ssize_t {
                      if (++g_calls == 1) return ::read(fd, b, n / 4);
                      fs::remove(s_source);
                      errno = EIO;
                      return -1;
                  };
              },
              "put/output error"},
        Fault{"target_folder_unwritable",
              [](const fs::path&) {
                  Sys().open = [](const char* path, int flags, mode_t mode) -> int {
                      if (flags & O_CREAT) {
                          errno = EACCES;
                          return -1;
                      }
                      return ::open(path, flags, mode);
                  };
              },
              "denied"},
        Fault{"flush_fails",
              [](const fs::path&) { Sys().fsync = [](int) -> int { return errno = EIO, -1; }; }, "put/output error"},
        Fault{"rename_fails",
              [](const fs::path&) {
                  Sys().rename = [](const char*, const char*) -> int { return errno = EXDEV, -1; };
              },
              "device"}),
    [](const auto& info) { return std::string(info.param.name); });

// A second file system: /dev/shm is a tmpfs on most Linux machines.
class OtherVolume : public FileOps {
protected:
    void SetUp() override {
        struct stat a {}, b {};
        if (::stat("/dev/shm", &b) != 0 || ::stat(tmp.path().c_str(), &a) != 0 || a.st_dev == b.st_dev ||
            ::access("/dev/shm", W_OK) != 0)
            GTEST_SKIP() << "no second writable file system";
        shm = fs::path("/dev/shm") / ("vutil-test-" + std::to_string(::getpid()));
        fs::create_directories(shm);
    }
    void TearDown() override {
        if (!shm.empty()) fs::remove_all(shm);
    }
    fs::path shm;
};

TEST_F(OtherVolume, MoveIsCopyThenDelete) {
    test::WriteFileBytes((shm / "m.txt").string(), "moved bytes");
    CString errors;
    {
        // A full disk on the way: the source stays.
        ScopedSysCalls restore;
        Sys().write = [](int, const void*, std::size_t) -> ssize_t { return errno = ENOSPC, -1; };
        EXPECT_FALSE(CFileUtils::MoveFileA(Lib(shm / "m.txt"), Lib(P("m.txt")), errors));
    }
    EXPECT_EQ(test::ReadFileBytes((shm / "m.txt").string()), "moved bytes");
    EXPECT_FALSE(fs::exists(P("m.txt")));
    errors.Empty();
    ASSERT_TRUE(CFileUtils::MoveFileA(Lib(shm / "m.txt"), Lib(P("m.txt")), errors)) << errors.GetString();
    EXPECT_EQ(Read("m.txt"), "moved bytes");
    EXPECT_FALSE(fs::exists(shm / "m.txt"));
}

// The freedesktop.org Trash: files/ plus info/<name>.trashinfo.
class Trash : public OtherVolume {
protected:
    void SetUp() override {
        ::setenv("XDG_DATA_HOME", P("data").c_str(), 1);
        ::setenv("TZ", "UTC", 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("TZ");
        OtherVolume::TearDown();
    }
    platform::ScopedClockPin pin{1623764730};  // 2021-06-15 13:45:30 UTC
};

TEST_F(Trash, HomeTrashEntriesNameThePathAndTheTime) {
    Write("dir/a b%.txt", "one");
    CString errors;
    ASSERT_TRUE(CFileUtils::DeleteFileA(Lib(P("dir/a b%.txt")), errors, true, false)) << errors.GetString();
    Write("dir/a b%.txt", "two");
    ASSERT_TRUE(CFileUtils::DeleteFileA(Lib(P("dir/a b%.txt")), errors, true, false)) << errors.GetString();
    EXPECT_FALSE(fs::exists(P("dir/a b%.txt")));
    const fs::path trash = P("data/Trash");
    EXPECT_EQ(test::ReadFileBytes((trash / "files/a b%.txt").string()), "one");
    EXPECT_EQ(test::ReadFileBytes((trash / "files/a b%.2.txt").string()), "two");
    const std::string real = fs::canonical(P("dir")).string();  // a name that needs no escapes
    EXPECT_EQ(test::ReadFileBytes((trash / "info/a b%.txt.trashinfo").string()),
              "[Trash Info]\nPath=" + real + "/a%20b%25.txt\nDeletionDate=2021-06-15T13:45:30\n");
}

TEST_F(Trash, OtherVolumeUsesItsOwnTrash) {
    OtherVolume::SetUp();
    if (shm.empty()) GTEST_SKIP();
    const fs::path top = "/dev/shm";
    const fs::path volumeTrash = top / (".Trash-" + std::to_string(::getuid()));
    const bool existed = fs::exists(volumeTrash);
    const std::string name = "vutil-" + std::to_string(::getpid()) + ".txt";
    test::WriteFileBytes((shm / name).string(), "volume");
    CString errors;
    ASSERT_TRUE(CFileUtils::DeleteFileA(Lib(shm / name), errors, true, false)) << errors.GetString();
    EXPECT_EQ(test::ReadFileBytes((volumeTrash / "files" / name).string()), "volume");
    EXPECT_EQ(test::ReadFileBytes((volumeTrash / "info" / (name + ".trashinfo")).string()),
              "[Trash Info]\nPath=" + shm.filename().string() + "/" + name +
                  "\nDeletionDate=2021-06-15T13:45:30\n");
    fs::remove(volumeTrash / "files" / name);
    fs::remove(volumeTrash / "info" / (name + ".trashinfo"));
    if (!existed) fs::remove_all(volumeTrash);
}

#endif

}  // namespace
}  // namespace vutil
