// Shortcuts against the published shell link layout, version strings from a PE image
// built byte by byte, attributes, file times and recent documents.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/xattr.h>
#endif

#include <cstring>
#include <filesystem>
#include <regex>

#include "support/test_support.h"
#include "system_view.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/shell_link.h"
#include "vutil/platform/codepage.h"
#include "vutil/platform/path.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;

CString Lib(const fs::path& p) { return CString(platform::FromHostPath(p.string())); }

// Little-endian writer for fixtures.
struct Bytes {
    std::string b;
    Bytes& u8(unsigned v) { return b += static_cast<char>(v), *this; }
    Bytes& u16(unsigned v) { return u8(v & 0xFF).u8(v >> 8 & 0xFF); }
    Bytes& u32(std::uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Bytes& u64(std::uint64_t v) { return u32(static_cast<std::uint32_t>(v)).u32(static_cast<std::uint32_t>(v >> 32)); }
    Bytes& str(const std::string& s) { return b += s, *this; }
    Bytes& wide(const std::string& ascii) {
        for (char c : ascii) u16(static_cast<unsigned char>(c));
        return *this;
    }
    Bytes& pad4() {
        while (b.size() % 4) u8(0);
        return *this;
    }
    std::size_t size() const { return b.size(); }
};

const std::string kClsid = test::Bytes({0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x00, 0x46});

Bytes LinkHeader(std::uint32_t flags) {
    Bytes h;
    h.u32(0x4C).str(kClsid).u32(flags).u32(0x20).u64(0).u64(0).u64(0).u32(1234).u32(0).u32(1).u16(0).u16(0).u32(0).u32(0);
    return h;
}

TEST(ShellLink, WrittenBytesFollowTheLayout) {
    shell_link::LinkFields fields;
    fields.target = "C:\\d\\f.txt";
    fields.description = "f.txt";
    fields.attributes = 0x20;
    fields.creationTime = 0x01D7000000000001;
    fields.accessTime = 0x01D7000000000002;
    fields.writeTime = 0x01D7000000000003;
    fields.size = 0x100000005;  // only the low 32 bits are kept
    fields.showCommand = 7;
    Bytes want;
    want.u32(0x4C).str(kClsid).u32(0x2 | 0x4 | 0x80).u32(0x20);
    want.u64(fields.creationTime).u64(fields.accessTime).u64(fields.writeTime).u32(5).u32(0).u32(7).u16(0).u16(0).u32(0).u32(0);
    // Link info: 0x24-byte header, volume id (fixed drive, empty label), the ANSI path,
    // an empty suffix, then both again in UTF-16.
    const std::uint32_t local = 0x24 + 0x11, suffix = local + 11, wideLocal = suffix + 1, wideSuffix = wideLocal + 22;
    want.u32(wideSuffix + 2).u32(0x24).u32(1).u32(0x24).u32(local).u32(0).u32(suffix).u32(wideLocal).u32(wideSuffix);
    want.u32(0x11).u32(3).u32(0).u32(0x10).u8(0);
    want.str("C:\\d\\f.txt").u8(0).u8(0).wide("C:\\d\\f.txt").u16(0).u16(0);
    want.u16(5).wide("f.txt").u32(0);
    const std::string got = shell_link::BuildLink(fields);
    EXPECT_EQ(test::Hex(got), test::Hex(want.b));
    std::string target;
    ASSERT_TRUE(shell_link::ReadLinkTarget(got, target));
    EXPECT_EQ(target, fields.target);
}

// Links as Windows writes them: the fixture (an item id list first, link info without
// Unicode offsets, relative path and working directory, extra data blocks), a network
// link and an environment block.
TEST(ShellLink, ReadsLinksMadeOnWindows) {
    const std::string path = "C:\\Program Files\\App\\app.exe";
    const std::string local = test::ReadFileBytes(VUTIL_SOURCE_DIR "/fuzz/corpus/shell_link/windows_local.lnk");

    // A network link: the share name joined with the suffix.
    Bytes net = LinkHeader(0x2);
    const std::string share = "\\\\server\\share";
    const std::uint32_t netAt = 0x1C, netSize = 0x14 + static_cast<std::uint32_t>(share.size()) + 1;
    net.u32(netAt + netSize + 11).u32(0x1C).u32(2).u32(0).u32(0).u32(netAt).u32(netAt + netSize);
    net.u32(netSize).u32(0).u32(0x14).u32(0).u32(0).str(share).u8(0).str("docs\\a.txt").u8(0).u32(0);

    // An environment block holds the unexpanded target.
    Bytes env = LinkHeader(0x200);
    env.u32(0x314).u32(0xA0000001);
    std::string ansi = "%VUTIL_LNK_TEST%\\x.txt";
    ansi.resize(260, '\0');
    env.str(ansi).wide("%VUTIL_LNK_TEST%\\x.txt").str(std::string(520 - 44, '\0')).u32(0);

    struct Case {
        std::string bytes, target;
    } cases[] = {{local, path}, {net.b, "\\\\server\\share\\docs\\a.txt"}, {env.b, "%VUTIL_LNK_TEST%\\x.txt"}};
    test::TempDir tmp;
    test::ScopedEnv var("VUTIL_LNK_TEST", "/srv/files");
    for (const auto& c : cases) {
        std::string target;
        ASSERT_TRUE(shell_link::ReadLinkTarget(c.bytes, target));
        EXPECT_EQ(target, c.target);
    }
    test::WriteFileBytes(tmp.File("env.lnk"), env.b);
    EXPECT_EQ(CFileUtils::GetLinkTarget(Lib(tmp.path() / "env.lnk")), "/srv/files\\x.txt");
}

// liblnk's lnkinfo, an independent reader of the layout, on what we write and on the
// hand-built Windows fixture.
std::string LnkInfoField(const std::string& file, const std::string& field) {
    std::string out;
    test::RunCommand("lnkinfo '" + file + "' 2>/dev/null", &out);
    std::smatch m;
    return std::regex_search(out, m, std::regex("\\t" + field + "\\s*: ([^\\n]*)")) ? m[1].str() : "<none>";
}

TEST(ShellLink, LnkinfoReadsWhatWeWrite) {
    if (!test::HaveProgram("lnkinfo")) GTEST_SKIP() << "lnkinfo (liblnk-utils) is the oracle";
    test::TempDir tmp;
    const struct {
        std::string target, description;
    } cases[] = {{"C:\\d\\f.txt", "f.txt"}, {"D:\\Dokumente\\Caf\xE9 M\xFCller.txt", "Caf\xE9 M\xFCller.txt"}};
    for (const auto& c : cases) {
        shell_link::LinkFields fields;
        fields.target = c.target;
        fields.description = c.description;
        test::WriteFileBytes(tmp.File("x.lnk"), shell_link::BuildLink(fields));
        EXPECT_EQ(LnkInfoField(tmp.File("x.lnk"), "Local path"), platform::cp::Cp1252ToUtf8(c.target));
        EXPECT_EQ(LnkInfoField(tmp.File("x.lnk"), "Description"), platform::cp::Cp1252ToUtf8(c.description));
        EXPECT_EQ(LnkInfoField(tmp.File("x.lnk"), "Drive type"), "Fixed (3)");
    }
    const std::string fixture = std::string(VUTIL_SOURCE_DIR) + "/fuzz/corpus/shell_link/windows_local.lnk";
    EXPECT_EQ(LnkInfoField(fixture, "Local path"), "C:\\Program Files\\App\\app.exe");
    EXPECT_EQ(LnkInfoField(fixture, "Relative path"), "..\\App\\app.exe");
    EXPECT_EQ(LnkInfoField(fixture, "Working directory"), "C:\\Program Files\\App");
}

TEST(ShellLink, ShortcutFilesRoundTrip) {
    test::TempDir tmp;
    test::WriteFileBytes(tmp.File("notes.txt"), "n");
    const CString dir = Lib(tmp.path()) + "\\";
    ASSERT_TRUE(CFileUtils::CreateFileShortcut(dir, Lib(tmp.path() / "notes.txt"), "Notes", 3));
    EXPECT_EQ(CFileUtils::GetLinkTarget(dir + "Notes.lnk"), Lib(tmp.path() / "notes.txt"));
    EXPECT_EQ(CFileUtils::GetLinkTarget(dir + "notes.txt"), dir + "notes.txt");
    EXPECT_FALSE(CFileUtils::CreateFileShortcut(dir, dir + "missing.txt", "M", 1));
    EXPECT_FALSE(CFileUtils::CreateFileShortcut(dir, dir + "notes.txt", " ", 1));

    ASSERT_TRUE(CFileUtils::CreateURLShortcut(dir, "www.example.com/a", "Site"));
    ASSERT_TRUE(CFileUtils::CreateURLShortcut(dir, "ftp.example.com", "Files"));
    ASSERT_TRUE(CFileUtils::CreateURLShortcut(dir, "mailto:a@example.com", "Mail"));
    EXPECT_EQ(test::ReadFileBytes(tmp.File("Site.url")), "[InternetShortcut]\r\nURL=http://www.example.com/a\r\n");
    EXPECT_EQ(test::ReadFileBytes(tmp.File("Files.url")), "[InternetShortcut]\r\nURL=ftp://ftp.example.com\r\n");
    EXPECT_EQ(test::ReadFileBytes(tmp.File("Mail.url")), "[InternetShortcut]\r\nURL=mailto:a@example.com\r\n");
}

// VS_VERSIONINFO nodes: length, value length, type, key, padding, value, children.
std::string Node(const std::string& key, const std::string& value, unsigned valueLength, unsigned type,
                 const std::vector<std::string>& children = {}) {
    Bytes n;
    n.u16(0).u16(valueLength).u16(type).wide(key).u16(0).pad4().str(value);
    for (const auto& c : children) n.pad4().str(c);
    n.b[0] = static_cast<char>(n.size() & 0xFF);
    n.b[1] = static_cast<char>(n.size() >> 8);
    return n.b;
}
std::string Text(const std::string& key, const std::string& value) {
    Bytes v;
    v.wide(value).u16(0);
    return Node(key, v.b, static_cast<unsigned>(value.size() + 1), 1);
}

std::string PeWithVersion() {
    const std::string german = Node("040704b0", "", 0, 1, {Text("CompanyName", "Firma")});
    const std::string english = Node("040904b0", "", 0, 1,
                                     {Text("CompanyName", "Veltrane Test Co"), Text("FileVersion", "1.2.3.4"),
                                      Text("ProductName", "Sample \xE9" "dition")});
    const std::string info = Node("VS_VERSION_INFO", std::string(52, '\0'), 52, 0,
                                  {Node("StringFileInfo", "", 0, 1, {german, english})});
    Bytes rsrc;  // type 16 -> name 1 -> language 0x409 -> data
    rsrc.u32(0).u32(0).u16(0).u16(0).u16(0).u16(1).u32(16).u32(0x80000018);
    rsrc.u32(0).u32(0).u16(0).u16(0).u16(0).u16(1).u32(1).u32(0x80000030);
    rsrc.u32(0).u32(0).u16(0).u16(0).u16(0).u16(1).u32(0x409).u32(0x48);
    rsrc.u32(0x1000 + 0x58).u32(static_cast<std::uint32_t>(info.size())).u32(0).u32(0).str(info);
    Bytes pe;
    pe.str("MZ").str(std::string(0x3A, '\0')).u32(0x40);
    pe.str("PE").u16(0).u16(0x14C).u16(1).u32(0).u32(0).u32(0).u16(0xE0).u16(0x102);
    Bytes opt;
    opt.u16(0x10B).str(std::string(90, '\0')).u32(16);
    for (int i = 0; i < 16; ++i) opt.u32(i == 2 ? 0x1000 : 0).u32(i == 2 ? static_cast<std::uint32_t>(rsrc.size()) : 0);
    pe.str(opt.b);
    pe.str(".rsrc").u8(0).u8(0).u8(0).u32(static_cast<std::uint32_t>(rsrc.size())).u32(0x1000);
    pe.u32(static_cast<std::uint32_t>(rsrc.size())).u32(0x200).u32(0).u32(0).u16(0).u16(0).u32(0x40000040);
    pe.str(std::string(0x200 - pe.size(), '\0')).str(rsrc.b);
    return pe.b;
}

TEST(VersionResource, EnglishStringsFromAHandBuiltImage) {
    test::TempDir tmp;
    test::WriteFileBytes(tmp.File("app.exe"), PeWithVersion());
    CString product, company, version, comments = "stale";
    CFileUtils::GetFileInfo(Lib(tmp.path() / "app.exe"), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            &comments, &company, nullptr, &version, nullptr, nullptr, &product);
    EXPECT_EQ(company, "Veltrane Test Co");
    EXPECT_EQ(version, "1.2.3.4");
    EXPECT_EQ(product, "Sample \xE9" "dition");
    EXPECT_TRUE(comments.IsEmpty());
}

TEST(VersionResource, PefileReadsTheHandBuiltImageAlike) {
    // Debian's python3-pefile lives beside the system interpreter.
    if (test::RunCommand("/usr/bin/python3 -c 'import pefile' 2>/dev/null") != 0)
        GTEST_SKIP() << "python3-pefile is the oracle";
    test::TempDir tmp;
    test::WriteFileBytes(tmp.File("app.exe"), PeWithVersion());
    std::string out;
    ASSERT_EQ(test::RunCommand("/usr/bin/python3 -c \"import sys,pefile;p=pefile.PE(sys.argv[1]);"
                               "[print(t.LangID.decode(),k.decode(),v.decode(),sep='|') "
                               "for f in p.FileInfo[0] if f.Key==b'StringFileInfo' for t in f.StringTable "
                               "for k,v in t.entries.items()]\" '" + tmp.File("app.exe") + "'",
                               &out),
              0);
    EXPECT_EQ(out,
              "040704b0|CompanyName|Firma\n"
              "040904b0|CompanyName|Veltrane Test Co\n040904b0|FileVersion|1.2.3.4\n"
              "040904b0|ProductName|Sample \xC3\xA9" "dition\n");  // UTF-8 from Python
}

// Each change lands where the system keeps the bit (on POSIX the mode and the Samba
// attribute), and what the library reads back is what the system holds.
TEST(Attributes, RoundTripThroughTheSystemsBits) {
    test::TempDir tmp;
    const std::string host = tmp.File("a.txt");
    test::WriteFileBytes(host, "abc");
    const CString path = Lib(host);
#ifndef _WIN32
    if (::setxattr(host.c_str(), "user.probe", "1", 1, 0) != 0) GTEST_SKIP() << "no user attributes here";
#endif
    auto flags = [&] {
        bool s, h, r, a;
        CFileUtils::GetFileInfo(path, nullptr, nullptr, &s, &h, &r, &a, nullptr, nullptr, nullptr, nullptr, nullptr,
                                nullptr, nullptr);
        return std::string(r ? "R" : "-") + (h ? "H" : "-") + (s ? "S" : "-") + (a ? "A" : "-");
    };
    const struct {
        const char* step;
        void (*act)(const CString&);
        const char* flags;  // Windows sets the archive bit itself: only R and H compared there
    } steps[] = {
        {"read-only on", [](const CString& p) { CFileUtils::SetReadOnly(p, true); }, "R---"},
        {"hidden on", [](const CString& p) { CFileUtils::SetHidden(p, true); }, "RH--"},
        {"archive on", [](const CString& p) { CFileUtils::SetArchived(p, true); }, "RH-A"},
        {"read-only off", [](const CString& p) { CFileUtils::SetReadOnly(p, false); }, "-H-A"},
        {"hidden off", [](const CString& p) { CFileUtils::SetHidden(p, false); }, "---A"},
        {"hidden again", [](const CString& p) { CFileUtils::SetHidden(p, true); }, "-H-A"},
        // Making a read-only file writable clears every kept bit, as "normal" does.
        {"writable", [](const CString& p) {
             CFileUtils::SetReadOnly(p, true);
             CFileUtils::EnsureFileIsWritable(p);
         }, "----"},
    };
    for (const auto& st : steps) {
        st.act(path);
        const std::string now = flags();
        EXPECT_EQ((fs::status(host).permissions() & fs::perms::owner_write) == fs::perms::none, st.flags[0] == 'R')
            << st.step;
#ifdef _WIN32
        EXPECT_EQ(now.substr(0, 2), std::string(st.flags, 2)) << st.step;
        EXPECT_EQ(now, test::SystemAttributeFlags(host)) << st.step;
#else
        EXPECT_EQ(now, st.flags) << st.step;
        if (std::string(st.step) == "hidden again") {
            char raw[32] = {};
            const ssize_t n = ::getxattr(host.c_str(), "user.DOSATTRIB", raw, sizeof raw);
            EXPECT_EQ(std::string(raw, n > 0 ? static_cast<std::size_t>(n) : 0), std::string("0x22", 5));
        }
#endif
    }
}

TEST(FileAge, SetsTheTimesFromLocalTime) {
    test::TempDir tmp;
    test::ScopedZone zone("UTC");
    const std::string host = tmp.File("t.txt");
    test::WriteFileBytes(host, "t");
    EXPECT_TRUE(CFileUtils::SetFileAge(Lib(host), DateTime(2021, 6, 15, 13, 45, 30)));
#ifdef _WIN32
    // The system's zone decides; its own conversion of the local time is the expectation.
    std::uint64_t write = 0, access = 0;
    ASSERT_TRUE(test::SystemFileTimes(host, write, access));
    const std::uint64_t expected = test::SystemLocalToUtc(2021, 6, 15, 13, 45, 30);
    EXPECT_EQ(write, expected);
    EXPECT_EQ(access, expected);
#else
    struct stat st {};
    ASSERT_EQ(::stat(host.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtime, 1623764730);  // calendar.timegm((2021, 6, 15, 13, 45, 30))
    EXPECT_EQ(st.st_atime, 1623764730);
#endif
    std::uint64_t size = 9;
    DateTime modified;
    CFileUtils::GetFileInfo(Lib(host), &size, &modified, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(size, 1u);
    EXPECT_TRUE(modified == DateTime(2021, 6, 15, 13, 45, 30));
    DateTime bad(2021, 6, 15, 13, 45, 30);
    bad.SetInvalidTime();
    EXPECT_FALSE(CFileUtils::SetFileAge(Lib(host), bad));
}

#ifndef _WIN32  // the desktop's recently-used.xbel is the POSIX list
TEST(RecentFiles, OneBookmarkPerFileReadByAnXmlParser) {
    test::TempDir tmp;
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 needed as the XML oracle";
    ::setenv("XDG_DATA_HOME", tmp.path().c_str(), 1);
    test::WriteFileBytes(tmp.File("a & b.txt"), "a");
    test::WriteFileBytes(tmp.File("c.txt"), "c");
    CFileUtils::AddToRecentFileList(Lib(tmp.path() / "a & b.txt"));
    CFileUtils::AddToRecentFileList(Lib(tmp.path() / "c.txt"));
    CFileUtils::AddToRecentFileList(Lib(tmp.path() / "a & b.txt"));
    CFileUtils::AddToRecentFileList(Lib(tmp.path() / "missing.txt"));
    ::unsetenv("XDG_DATA_HOME");
    std::string out;
    ASSERT_EQ(test::RunCommand("python3 -c \"import sys,xml.etree.ElementTree as E;"
                               "r=E.parse(sys.argv[1]).getroot();"
                               "print('\\n'.join(b.get('href').rsplit('/',1)[1] for b in r.iter('bookmark')))\" '" +
                                   tmp.File("recently-used.xbel") + "'",
                               &out),
              0);
    EXPECT_EQ(out, "c.txt\na%20%26%20b.txt\n");
}
#else
// The shell keeps a shortcut per recent document in the user's Recent folder; our own
// reader of shortcuts finds the file in it.
TEST(RecentFiles, TheShellKeepsAShortcutToTheFile) {
    test::TempDir tmp;
    const std::string name = "recent " + tmp.path().filename().string() + ".txt";
    test::WriteFileBytes(tmp.File(name), "r");
    CFileUtils::AddToRecentFileList(Lib(tmp.path() / name));
    const CString recent = CDirUtils::GetSpecialFolder(0x0008);  // CSIDL_RECENT
    ASSERT_FALSE(recent.IsEmpty());
    const CString link = recent + CString(name) + ".lnk";
    ASSERT_TRUE(fs::exists(fs::path(link.str()))) << link.str();
    EXPECT_EQ(CFileUtils::GetLinkTarget(link).CompareNoCase(Lib(tmp.path() / name)), 0)
        << CFileUtils::GetLinkTarget(link).str();
    if (::testing::Test::HasFailure()) std::printf("%s\n", test::Hex(test::ReadFileBytes(link.str())).c_str());
    fs::remove(fs::path(link.str()));
}
#endif

}  // namespace
}  // namespace vutil
