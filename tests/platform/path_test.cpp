// Windows path syntax to host paths through the drive table.

#include <gtest/gtest.h>

#include <cstdlib>

#include "support/test_support.h"
#include "vutil/platform/path.h"

namespace vutil {
namespace {

using namespace platform;

#ifndef _WIN32
class Paths : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("VUTIL_DRIVES", "D=/mnt/data;e=/media/usb/;bad;Q=", 1);
        platform::ReloadDriveTable();
    }
    void TearDown() override {
        unsetenv("VUTIL_DRIVES");
        platform::ReloadDriveTable();
    }
};

TEST_F(Paths, DrivesMapThroughTheTable) {
    EXPECT_EQ(ToHostPath("C:\\Users\\a b\\file.txt"), "/Users/a b/file.txt");
    EXPECT_EQ(ToHostPath("c:/mixed\\seps/x"), "/mixed/seps/x");
    EXPECT_EQ(ToHostPath("D:\\reports\\"), "/mnt/data/reports/");
    EXPECT_EQ(ToHostPath("E:\\x"), "/media/usb/x");
    EXPECT_EQ(ToHostPath("Q:\\x"), std::nullopt);  // empty root: unknown
    EXPECT_EQ(ToHostPath("Z:\\x"), std::nullopt);
    EXPECT_EQ(ToHostPath("\\tmp\\x"), "/tmp/x");   // host absolute
    EXPECT_EQ(ToHostPath("rel\\dir/f"), "rel/dir/f");
}

TEST_F(Paths, HostPathsComeBackInLibraryForm) {
    EXPECT_EQ(FromHostPath("/home/a/b.txt"), "C:\\home\\a\\b.txt");
    EXPECT_EQ(FromHostPath("/mnt/data/r/x"), "D:\\r\\x");  // the longest root wins
    EXPECT_EQ(FromHostPath("/mnt/database"), "C:\\mnt\\database");
    EXPECT_EQ(FromHostPath("/"), "C:\\");
    for (const char* p : {"C:\\a\\b", "D:\\x\\y.txt", "E:\\deep\\er"}) EXPECT_EQ(FromHostPath(*ToHostPath(p)), p);
}

#else
// The system knows its drives: a library path reaches it as written, with one
// separator, whatever VUTIL_DRIVES says.
TEST(NativePaths, SeparatorsBecomeBackslashesAndNothingElseChanges) {
    test::ScopedEnv drives("VUTIL_DRIVES", "C=/elsewhere;D=/mnt/data");
    platform::ReloadDriveTable();
    struct Case {
        const char* library;
        const char* host;
    };
    for (const Case& c : {Case{"C:\\Users\\a b\\file.txt", "C:\\Users\\a b\\file.txt"},
                          Case{"c:/mixed\\seps/x", "c:\\mixed\\seps\\x"}, Case{"D:\\reports/", "D:\\reports\\"},
                          Case{"Z:\\x", "Z:\\x"}, Case{"//server/share/f", "\\\\server\\share\\f"},
                          Case{"\\tmp/x", "\\tmp\\x"}, Case{"rel\\dir/f", "rel\\dir\\f"}, Case{"", ""}}) {
        EXPECT_EQ(ToHostPath(c.library), c.host) << c.library;
        EXPECT_EQ(FromHostPath(c.host), c.host);
        EXPECT_EQ(FromHostPath(c.library), c.host);
    }
}
#endif

}  // namespace
}  // namespace vutil
