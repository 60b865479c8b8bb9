// Files by handle: the codes a failed open leaves, and sizes that keep the position.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/test_support.h"
#include "vutil/platform/error.h"
#include "vutil/platform/file.h"

namespace vutil {
namespace {

using namespace platform;

TEST(FileHandles, FailedOpensLeaveTheSystemsCode) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("folder"));
    test::WriteFileBytes(dir.File("there.txt"), "abc");
    struct Case {
        std::string path;
        unsigned flags;
        DWORD code;
    };
    for (const Case& c : {Case{dir.File("missing.txt"), kFileRead, kErrorFileNotFound},
                          Case{dir.File("no/such.txt"), kFileRead, kErrorPathNotFound},
                          Case{dir.File("no/such.txt"), kFileWrite | kFileCreate, kErrorPathNotFound},
                          Case{dir.File("folder"), kFileRead, kErrorAccessDenied},
                          Case{dir.File("there.txt"), kFileWrite | kFileCreate | kFileExclusive, kErrorFileExists}}) {
        SetLastErrorCode(0);
        EXPECT_EQ(OpenFile(c.path, c.flags), kInvalidFile) << c.path;
        EXPECT_EQ(GetLastErrorCode(), c.code) << c.path;
        // Asking for the text keeps the code for the next caller.
        EXPECT_FALSE(GetErrorMessage(c.code).empty());
        EXPECT_EQ(GetLastErrorCode(), c.code);
    }
    EXPECT_EQ(test::ReadFileBytes(dir.File("there.txt")), "abc");  // the exclusive create left it alone
}

TEST(FileHandles, CreateTruncateSizeAndRename) {
    test::TempDir dir;
    const std::string path = dir.File("f.bin"), other = dir.File("g.bin");
    test::WriteFileBytes(path, "0123456789");
    FileHandle h = OpenFile(path, kFileRead | kFileWrite | kFileCreate);  // opens the existing file as it is
    ASSERT_NE(h, kInvalidFile);
    EXPECT_EQ(GetFileSize(h), 10);
    EXPECT_EQ(SeekFile(h, 4, SeekOrigin::kBegin), 4);
    ASSERT_TRUE(SetFileSize(h, 2));
    EXPECT_EQ(SeekFile(h, 0, SeekOrigin::kCurrent), 4);  // the position stays past the new end
    EXPECT_EQ(WriteFile(h, "xy", 2), 2);                   // and the gap reads as zeros
    EXPECT_EQ(SeekFile(h, -1, SeekOrigin::kBegin), -1);
    ASSERT_TRUE(CloseFile(h));
    EXPECT_EQ(test::ReadFileBytes(path), std::string("01\0\0xy", 6));

    test::WriteFileBytes(other, "old");
    h = OpenFile(other, kFileWrite | kFileCreate | kFileTruncate);
    ASSERT_NE(h, kInvalidFile);
    EXPECT_EQ(GetFileSize(h), 0);
    ASSERT_TRUE(CloseFile(h));
    ASSERT_TRUE(RenameReplacing(path, other));
    EXPECT_EQ(test::ReadFileBytes(other), std::string("01\0\0xy", 6));
    EXPECT_FALSE(std::filesystem::exists(path));
    char buf[8];
    h = OpenFile(other, kFileRead);
    ASSERT_NE(h, kInvalidFile);
    EXPECT_EQ(ReadFile(h, buf, sizeof buf), 6);
    EXPECT_EQ(ReadFile(h, buf, sizeof buf), 0);  // the end
    CloseFile(h);
}

}  // namespace
}  // namespace vutil
