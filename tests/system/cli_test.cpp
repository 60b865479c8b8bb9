// vutil drives and vutil bin, run as a program over a temporary drive and trash.

#include <gtest/gtest.h>

#include <filesystem>

#include "drive_env.h"
#include "support/test_support.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;

using test::RunCli;

#ifndef _WIN32
class BinCli : public ::testing::Test {
protected:
    BinCli() : base(fs::canonical(tmp.path())), drives("C=" + (base / "c").string()),
               dataHome("XDG_DATA_HOME", (base / "data").string()) {
        fs::create_directories(base / "c");
    }
    test::TempDir tmp;
    fs::path base;
    test::ScopedDrives drives;
    test::ScopedEnv dataHome;
};

TEST_F(BinCli, ListRestoreAndEmpty) {
    const fs::path trash = base / "data/Trash";
    test::WriteText(trash / "files/note.txt", "note");
    test::WriteText(trash / "info/note.txt.trashinfo", "[Trash Info]\nPath=" + (base / "c/docs/note.txt").string() + "\n");
    test::WriteText(trash / "files/old.txt", "old");
    test::WriteText(trash / "info/old.txt.trashinfo", "[Trash Info]\nPath=" + (base / "c/old.txt").string() + "\n");
    std::string out;
    ASSERT_EQ(RunCli("bin list", &out), 0);
    const std::string stored = "\\" + (base.relative_path() / "data/Trash/files/note.txt").string();
    std::string storedLib = stored;
    for (char& c : storedLib)
        if (c == '/') c = '\\';
    EXPECT_NE(out.find("C:\\docs\\note.txt\t" + storedLib + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("C:\\old.txt\t"), std::string::npos) << out;

    EXPECT_EQ(RunCli("bin restore '" + storedLib + "'"), 0);
    EXPECT_EQ(test::ReadFileBytes((base / "c/docs/note.txt").string()), "note");
    EXPECT_EQ(RunCli("bin restore '" + storedLib + "'"), 1);

    EXPECT_EQ(RunCli("bin empty"), 0);
    EXPECT_FALSE(fs::exists(trash / "files/old.txt"));
    ASSERT_EQ(RunCli("bin list", &out), 0);
    EXPECT_EQ(out.find(base.string()), std::string::npos) << out;
}

#endif

TEST(BinCliUsage, BadUsageExitsTwo) {
    for (const char* args : {"bin", "bin list extra", "bin restore", "bin restore a b", "bin empty now", "bin frob",
                             "drives --what"})
        EXPECT_EQ(RunCli(args), 2) << args;
}

}  // namespace
}  // namespace vutil
