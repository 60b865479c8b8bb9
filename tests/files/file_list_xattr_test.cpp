// File lists on a file system that keeps no user attributes: the first plain file's
// refusal spares the calls for the rest of its folder, but a link is still asked, since
// what it points to may live elsewhere.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/platform/path.h"
#ifndef _WIN32  // user attributes and the system-call table are the POSIX backend's
#include "vutil/platform/posix/sys_calls.h"
#endif

namespace vutil {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
int g_refused = 0;  // calls answered "not supported"
int g_links = 0;    // calls for the link

// Stands for a folder on a file system without user attributes whose one link points
// at a hidden file on a file system that has them.
ssize_t FakeGetXattr(const char* path, const char*, void* value, std::size_t size) {
    const std::string p(path);
    if (p.size() >= 6 && p.compare(p.size() - 6, 6, "/l.txt") == 0) {
        ++g_links;
        const char blob[] = "0x2";
        if (size < sizeof blob) return -1;
        std::memcpy(value, blob, sizeof blob);
        return sizeof blob;
    }
    if (p.find('.', p.rfind('/')) != std::string::npos) ++g_refused;  // files, not the folders themselves
    errno = ENOTSUP;
    return -1;
}

TEST(FileListXattr, RefusingFileSystemIsAskedOncePerFolder) {
    test::TempDir tmp;
    for (const char* name : {"a.txt", "b.txt", "c.txt", "d.htm", "sub/e.txt", "sub/f.txt"})
        test::WriteText(tmp.path() / name, "x");
    fs::create_symlink(tmp.path() / "a.txt", tmp.path() / "l.txt");
    std::string root = platform::FromHostPath(tmp.path().string());
    if (root.back() != '\\') root += '\\';

    platform::posix::ScopedSysCalls restore;
    platform::posix::Sys().getxattr = &FakeGetXattr;
    TextArray files, txt;
    txt.Add(CString("txt"));
    CFileUtils::GetFileList(CString(root), txt, true, files, false, false, false);
    CDirUtils::MakePathsRelative(CString(root), files);
    EXPECT_EQ(test::Items(files), (test::Strings{"a.txt", "b.txt", "c.txt", "sub\\e.txt", "sub\\f.txt"}));
    EXPECT_EQ(g_refused, 2);  // one per folder
    EXPECT_EQ(g_links, 1);    // the link is hidden by its target's attribute
}
#endif

}  // namespace
}  // namespace vutil
