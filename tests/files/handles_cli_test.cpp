// SmartHANDLE and SmartFileMap release what they own; the file-operation commands'
// exit codes and messages.

#include <gtest/gtest.h>

#include "support/test_support.h"
#include "vutil/files/smart_handle.h"
#include "vutil/platform/file.h"
#include "vutil/platform/file_ops.h"

namespace vutil {
namespace {

TEST(SmartOwners, AssigningReleasesTheOldOne) {
    test::TempDir tmp;
    test::WriteFileBytes(tmp.File("a.bin"), "mapped bytes");
    const platform::FileHandle first = platform::OpenFile(tmp.File("a.bin"), platform::kFileRead);
    const platform::FileHandle second = platform::OpenFile(tmp.File("a.bin"), platform::kFileRead);
    {
        SmartHANDLE h(SmartHANDLE::FromFile(first));
        ASSERT_TRUE(h.IsValid());
        void* view = platform::MapFileView(first, 12, false);
        ASSERT_NE(view, nullptr);
        SmartFileMap map(view);
        EXPECT_EQ(std::string(static_cast<const char*>(static_cast<void*>(map)), 12), "mapped bytes");
        map = nullptr;
        EXPECT_FALSE(platform::UnmapFileView(view));  // already released
        h = SmartHANDLE::FromFile(second);
        char c;
        EXPECT_EQ(platform::ReadFile(first, &c, 1), -1);  // closed by the assignment
        EXPECT_EQ(platform::ReadFile(second, &c, 1), 1);
        SmartHANDLE invalid(reinterpret_cast<void*>(~std::intptr_t{0}));
        EXPECT_FALSE(invalid.IsValid());
    }
    char c;
    EXPECT_EQ(platform::ReadFile(second, &c, 1), -1);  // closed by the destructor
}

TEST(FileCommands, ExitCodesAndMessages) {
    test::TempDir tmp;
    test::WriteFileBytes(tmp.File("a.txt"), "abc");
    std::string back = tmp.File("a.txt");
    for (char& ch : back)
        if (ch == '/') ch = '\\';
    const struct {
        std::string args;
        int status;
        std::string output;  // standard output, or the end of the message on standard error
    } cases[] = {
        {"cp", 2, "expected <source> <target>\n"},
        {"cp '" + tmp.File("missing") + "' '" + tmp.File("b") + "'", 1, "Not a valid source path.\n"},
        {"cp '" + tmp.File("a.txt") + "' '" + tmp.File("sub/b.txt") + "'", 0, ""},
        {"mv '" + tmp.File("sub/b.txt") + "' '" + tmp.File("c.txt") + "'", 0, ""},
        {"rm --force x", 2, "unknown option --force\n"},
        {"rm '" + tmp.File("c.txt") + "'", 0, ""},
        {"lnk '" + tmp.File("a.txt") + "'", 0, back + "\n"},
        {"attr '" + tmp.File("a.txt") + "' +x", 2, "unknown argument +x\n"},
    };
    for (const auto& c : cases) {
        std::string out;
        const int status = test::RunCli(c.args, &out, " 2>&1");
        EXPECT_EQ(status, c.status) << c.args;
        EXPECT_TRUE(out.size() >= c.output.size() && out.compare(out.size() - c.output.size(), c.output.size(),
                                                                    c.output) == 0)
            << c.args << ": " << out;
    }
    EXPECT_EQ(test::ReadFileBytes(tmp.File("a.txt")), "abc");
}

}  // namespace
}  // namespace vutil
