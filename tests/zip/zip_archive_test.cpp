// The zip container and the CFileUtils/CDirUtils zip members, checked against Python's
// zipfile, Info-ZIP unzip and 7z as independent readers and writers.

#include <gtest/gtest.h>

#include <filesystem>
#include <chrono>
#include <fstream>

#include "support/test_support.h"
#include "vutil/dates/date_time.h"
#include "vutil/files/dir_utils.h"
#include "vutil/files/file_utils.h"
#include "vutil/files/zip_archive.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;
using Z = CZipArchive;

// Runs a Python script with arguments; returns its standard output ("" on failure).
std::string Py(const test::TempDir& tmp, const std::string& script, const std::string& args = "") {
    test::WriteFileBytes(tmp.File("script.py"), "import sys, os, zipfile, time, io\n" + script);
    std::string out;
    const int rc = test::RunCommand("python3 '" + tmp.File("script.py") + "' " + args, &out);
    return rc == 0 ? out : "python failed: " + out;
}

std::string Q(const std::string& s) { return "'" + s + "'"; }

class ZipArchive : public ::testing::Test {
protected:
    test::TempDir tmp;
};

// The external attributes of a plain file added by name: on Windows a new file carries
// the archive bit, and a stored file keeps it.
#ifdef _WIN32
const char* const kFileAttr = "0x81800020";
const char* const kReadOnlyAttr = "0x81000021";
#else
const char* const kFileAttr = "0x81800000";
const char* const kReadOnlyAttr = "0x81000001";
#endif

TEST_F(ZipArchive, HeadersMethodsAndNamesAsWrittenOnASeekableFile) {
    for (const char* f : {"photo.JPG", "backup.ZIP", "dir/sub/file.txt"}) test::WriteText(tmp.File(f), "abcabcabc\n");
    Z zip;
    ASSERT_EQ(zip.Create(CString(tmp.File("a.zip"))), Z::ZR_OK);
    EXPECT_EQ(zip.Add("photo.JPG", tmp.File("photo.JPG").c_str(), 0, Z::ZIP_FILENAME), Z::ZR_OK);
    EXPECT_EQ(zip.Add("backup.ZIP", tmp.File("backup.ZIP").c_str(), 0, Z::ZIP_FILENAME), Z::ZR_OK);
    EXPECT_EQ(zip.Add("dir\\sub\\file.txt", tmp.File("dir/sub/file.txt").c_str(), 0, Z::ZIP_FILENAME), Z::ZR_OK);
    EXPECT_EQ(zip.Add("docs", nullptr, 0, Z::ZIP_FOLDER), Z::ZR_OK);
    EXPECT_EQ(zip.Add("caf\xe9.txt", "", 0, Z::ZIP_MEMORY), Z::ZR_OK);
    EXPECT_EQ(zip.Add("x", "", 0, 5), Z::ZR_ARGS);
    ASSERT_EQ(zip.Close(), Z::ZR_OK);
    EXPECT_EQ(zip.Add("late", "x", 1, Z::ZIP_MEMORY), Z::ZR_ENDED);
    EXPECT_FALSE(fs::exists(tmp.path() / "a.zip.tmp"));
    // Every local header's flags and extra length, then the central view.
    const std::string out = Py(tmp, R"(
z = zipfile.ZipFile(sys.argv[1]); raw = open(sys.argv[1], 'rb').read()
assert z.testzip() is None
for i in z.infolist():
    lh = raw[i.header_offset:i.header_offset + 30]
    print(i.filename, i.compress_type, i.flag_bits, int.from_bytes(lh[6:8], 'little'),
          int.from_bytes(lh[28:30], 'little'), hex(i.create_system), i.create_version, i.extract_version,
          hex(i.external_attr), i.file_size, i.extra[:5].hex())
)", Q(tmp.File("a.zip")));
    EXPECT_EQ(out,
              "photo.JPG 8 0 0 17 0xb 23 20 " + std::string(kFileAttr) + " 10 5554050007\n"
              "backup.ZIP 0 0 0 17 0xb 23 20 " + kFileAttr + " 10 5554050007\n"
              "dir/sub/file.txt 8 0 0 17 0xb 23 20 " + kFileAttr + " 10 5554050007\n"
              "docs/ 0 0 0 17 0xb 23 20 0x41800010 0 5554050007\n"
              "caf\xc3\xa9.txt 8 2048 2048 17 0xb 23 20 0x81800000 0 5554050007\n");
    for (const std::string cmd : {"unzip -tq ", "7z t "})
        EXPECT_EQ(test::RunCommand(cmd + Q(tmp.File("a.zip")) + " >/dev/null"), 0) << cmd;
}

// Files added by name: their attributes, and their times. Extra-field times outside
// 1970 ... 2037 are held to the ends, the time of day kept; the DOS time keeps the UTC
// fields (from 1980 on, even seconds).
TEST_F(ZipArchive, TimesAndAttributesOfFilesByName) {
    const struct {
        const char* name;
        std::int64_t utc;      // mtime
        const char* expected;  // the UT seconds as local fields, the DOS fields
    } cases[] = {{"old", -315567120 /* 1960-01-01 14:28 */, "(1970, 1, 1, 14, 28, 0) (1980, 1, 1, 0, 0, 0)"},
                 {"late", 2524614600 /* 2050-01-01 01:50 */, "(2037, 12, 31, 1, 50, 0) (2050, 1, 1, 1, 50, 0)"},
                 {"ro.txt", 1589723131, "(2020, 5, 17, 13, 45, 31) (2020, 5, 17, 13, 45, 30)"},
                 {"rw.txt", 1589723131, "(2020, 5, 17, 13, 45, 31) (2020, 5, 17, 13, 45, 30)"}};
    TextArray files;
    std::string expected;
    for (const auto& c : cases) {
        test::WriteFileBytes(tmp.File(c.name), "t");
        fs::last_write_time(tmp.File(c.name), fs::file_time_type::clock::from_sys(
                                                  std::chrono::sys_seconds{std::chrono::seconds{c.utc}}));
        files.Add(CString(tmp.File(c.name)));
        const bool readOnly = std::string(c.name) == "ro.txt";
        expected += std::string(c.name) + " " + (readOnly ? kReadOnlyAttr : kFileAttr) + " " + c.expected + "\n";
    }
    fs::permissions(tmp.File("ro.txt"), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const std::string folder = (tmp.path() / "").string();  // with the host's own separator
    files.Add(CString(folder));  // a directory is passed over
    ASSERT_TRUE(CFileUtils::CreateZipFile(CString(tmp.File("t.zip")), files, CString(folder)));
    EXPECT_EQ(Py(tmp, R"(
for i in zipfile.ZipFile(sys.argv[1]).infolist():
    ut = int.from_bytes(i.extra[5:9], 'little')
    print(i.filename, hex(i.external_attr), tuple(time.localtime(ut))[:6], i.date_time)
)", Q(tmp.File("t.zip"))), expected);
    TextArray names;
    std::vector<std::uint64_t> sizes;
    std::vector<DateTime> times;
    ASSERT_TRUE(CFileUtils::GetZipContent(CString(tmp.File("t.zip")), names, sizes, times));
    ASSERT_EQ(names.GetCount(), 4u);
    EXPECT_EQ(sizes, (std::vector<std::uint64_t>{1, 1, 1, 1}));
    EXPECT_EQ(times[2].GetYear(), 2020);
}

// A write that fails poisons the archive; a source that is not a disk file is refused.
TEST_F(ZipArchive, FailedWritesAndForeignHandles) {
#ifndef _WIN32  // a device that is always full is a POSIX one
    const auto full = platform::OpenFile("/dev/full", platform::kFileWrite);
    ASSERT_NE(full, platform::kInvalidFile);
    Z zip;
    ASSERT_EQ(zip.CreateOnHandle(full), Z::ZR_OK);
    const std::string data(1 << 20, 'd');
    EXPECT_EQ(zip.Add("a", data.data(), data.size(), Z::ZIP_MEMORY), Z::ZR_WRITE);
    EXPECT_EQ(zip.Add("b", "b", 1, Z::ZIP_MEMORY), Z::ZR_FAILED);
    EXPECT_NE(zip.Close(), Z::ZR_OK);
    platform::CloseFile(full);
#endif

    Z second;
    ASSERT_EQ(second.Create(CString(tmp.File("h.zip"))), Z::ZR_OK);
#ifdef _WIN32
    const auto devnull = platform::OpenFile("NUL", platform::kFileRead);
#else
    const auto devnull = platform::OpenFile("/dev/null", platform::kFileRead);
#endif
    EXPECT_EQ(second.Add("null", reinterpret_cast<const void*>(devnull), 0, Z::ZIP_HANDLE), Z::ZR_NOTINITED);
    platform::CloseFile(devnull);
    EXPECT_EQ(second.Add("missing", tmp.File("missing").c_str(), 0, Z::ZIP_FILENAME), Z::ZR_NOFILE);
    test::WriteFileBytes(tmp.File("f"), "by handle");
    const auto h = platform::OpenFile(tmp.File("f"), platform::kFileRead);
    EXPECT_EQ(second.Add("f", reinterpret_cast<const void*>(h), 0, Z::ZIP_HANDLE), Z::ZR_OK);  // still usable
    platform::CloseFile(h);
    ASSERT_EQ(second.Close(), Z::ZR_OK);
    EXPECT_EQ(Py(tmp, "print(zipfile.ZipFile(sys.argv[1]).read('f'))", Q(tmp.File("h.zip"))), "b'by handle'\n");
    EXPECT_FALSE(CFileUtils::UnZip(CString(tmp.File("missing.zip")), CString(tmp.File("d") + "/"), TextArray()));
    EXPECT_FALSE(CDirUtils::CreateZipFile(CString(), CString(tmp.path().string())));
}

#ifndef _WIN32  // a named FIFO is a POSIX kind of file
TEST_F(ZipArchive, UnseekableOutputGetsDataDescriptors) {
    const std::string fifo = tmp.File("pipe");
    ASSERT_EQ(test::RunCommand("mkfifo " + Q(fifo) + " && (cat " + Q(fifo) + " > " + Q(tmp.File("p.zip")) + " &)"), 0);
    const auto h = platform::OpenFile(fifo, platform::kFileWrite);
    ASSERT_NE(h, platform::kInvalidFile);
    {
        Z zip;
        ASSERT_EQ(zip.CreateOnHandle(h), Z::ZR_OK);
        const std::string big(300000, 'q');
        EXPECT_EQ(zip.Add("big.txt", big.data(), big.size(), Z::ZIP_MEMORY), Z::ZR_OK);
        EXPECT_EQ(zip.Add("old.gz", "gz", 2, Z::ZIP_MEMORY), Z::ZR_OK);
        EXPECT_EQ(zip.Close(), Z::ZR_OK);
    }
    platform::CloseFile(h);
    std::string out;
    for (int i = 0; i < 100 && out.find("old.gz") == std::string::npos; ++i)
        out = Py(tmp, R"(
for i in zipfile.ZipFile(sys.argv[1]).infolist(): print(i.filename, i.flag_bits, len(zipfile.ZipFile(sys.argv[1]).read(i)))
)", Q(tmp.File("p.zip")));
    EXPECT_EQ(out, "big.txt 8 300000\nold.gz 8 2\n");
    EXPECT_EQ(test::RunCommand("unzip -tq " + Q(tmp.File("p.zip")) + " >/dev/null"), 0);
    EXPECT_EQ(test::RunCommand("7z t " + Q(tmp.File("p.zip")) + " >/dev/null"), 0);
}
#endif

// Archives other tools write: every variant comes back byte for byte.
TEST_F(ZipArchive, ReadsWhatOtherToolsWrite) {
    const std::string made = Py(tmp, R"(
d = sys.argv[1]; data = bytes(range(256)) * 900
def fill(z):
    z.writestr('stored.bin', data, zipfile.ZIP_STORED)
    z.writestr('deflated.txt', b'hello ' * 5000, zipfile.ZIP_DEFLATED)
    z.writestr('folder/', b'')
    z.writestr('folder/empty.txt', b'')
    z.writestr('caf\u00e9.txt', b'utf8 name')
with zipfile.ZipFile(d + '/plain.zip', 'w') as z: fill(z); z.comment = b'an archive comment'
buf = io.BytesIO()
class Unseekable(io.RawIOBase):
    def writable(self): return True
    def write(self, b): return buf.write(b)
with zipfile.ZipFile(Unseekable(), 'w') as z: fill(z)
open(d + '/descriptors.zip', 'wb').write(buf.getvalue())
with zipfile.ZipFile(d + '/zip64.zip', 'w') as z:
    with z.open('stored.bin', 'w', force_zip64=True) as f: f.write(data)
    with z.open('deflated.txt', 'w', force_zip64=True) as f: f.write(b'hello ' * 5000)
print('ok')
)", Q(tmp.path().string()));
    ASSERT_EQ(made, "ok\n");
    test::WriteFileBytes(tmp.File("in.txt"), std::string(70000, 'z'));
    ASSERT_EQ(test::RunCommand("cd " + Q(tmp.path().string()) + " && zip -q - in.txt | cat > infozip.zip"), 0);
    std::string data, hello;
    for (int i = 0; i < 256 * 900; ++i) data.push_back(static_cast<char>(i % 256));
    for (int i = 0; i < 5000; ++i) hello += "hello ";
    for (const char* archive : {"plain.zip", "descriptors.zip", "zip64.zip", "infozip.zip"}) {
        SCOPED_TRACE(archive);
        const std::string dest = tmp.File(std::string(archive) + ".out") + "/";
        EXPECT_TRUE(CFileUtils::UnZip(CString(tmp.File(archive)), CString(dest), TextArray()));
        if (std::string(archive) == "infozip.zip") {
            EXPECT_EQ(test::ReadFileBytes(dest + "in.txt"), std::string(70000, 'z'));
            continue;
        }
        EXPECT_EQ(test::ReadFileBytes(dest + "stored.bin"), data);
        EXPECT_EQ(test::ReadFileBytes(dest + "deflated.txt"), hello);
        if (std::string(archive) == "zip64.zip") continue;
        // Flag bit 11: the UTF-8 name arrives as the library's Windows-1252 text.
        EXPECT_EQ(test::ReadFileBytes(dest + "caf\xe9.txt"), "utf8 name");
        EXPECT_TRUE(fs::is_directory(dest + "folder/empty.txt"));  // size 0 is taken for a folder
    }
}

TEST_F(ZipArchive, ExtractionStaysInsideTheDestination) {
    fs::create_directories(tmp.path() / "dest");
    fs::create_directories(tmp.path() / "outside");
#ifndef _WIN32  // std::filesystem of mingw-w64 makes no symbolic links; the names stay plain
    fs::create_directory_symlink(tmp.path() / "outside", tmp.path() / "dest" / "link");
    fs::create_symlink(tmp.path() / "outside" / "target.txt", tmp.path() / "dest" / "filelink");
#endif
    ASSERT_EQ(Py(tmp, R"(
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for n in ['../evil1', '/abs', 'C:/drive', 'a/../../evil2', '..\\evil3', 'a\\..\\..\\evil4', 'link/evil5',
              'good/ok.txt', 'filelink']:
        z.writestr(n, b'payload')
print('ok')
)", Q(tmp.File("bad.zip"))), "ok\n");
    EXPECT_FALSE(CFileUtils::UnZip(CString(tmp.File("bad.zip")), CString(tmp.File("dest") + "/"), TextArray()));
    EXPECT_EQ(test::ReadFileBytes(tmp.File("dest/good/ok.txt")), "payload");
    EXPECT_TRUE(fs::is_empty(tmp.path() / "outside"));
    for (const char* stray : {"evil1", "evil2", "evil3", "evil4", "abs", "drive"})
        EXPECT_FALSE(fs::exists(tmp.path() / stray)) << stray;
    // The planted file link was replaced, not written through.
    EXPECT_FALSE(fs::is_symlink(tmp.path() / "dest" / "filelink"));
    TextArray only;
    only.Add("good/ok.txt");
    EXPECT_TRUE(CFileUtils::UnZip(CString(tmp.File("bad.zip")), CString(tmp.File("dest2") + "/"), only));
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path() / "dest2"), fs::directory_iterator()), 1);
}

// Damaged archives: each gives the container's code and leaves no file behind.
TEST_F(ZipArchive, BombsTruncationAndBadChecksums) {
    ASSERT_EQ(Py(tmp, R"(
d = sys.argv[1]
with zipfile.ZipFile(d + '/ok.zip', 'w', zipfile.ZIP_DEFLATED) as z: z.writestr('big', b'\0' * 10_000_000)
raw = bytearray(open(d + '/ok.zip', 'rb').read())
bomb = bytearray(raw)
for sig, at in ((b'PK\x03\x04', 22), (b'PK\x01\x02', 24)):  # claim 10 KB in both headers
    p = bomb.find(sig); bomb[p + at:p + at + 4] = (10_000).to_bytes(4, 'little')
open(d + '/bomb.zip', 'wb').write(bomb)
crc = bytearray(raw); p = crc.find(b'PK\x01\x02'); crc[p + 16] ^= 0xFF
open(d + '/crc.zip', 'wb').write(crc)
open(d + '/cut.zip', 'wb').write(raw[:len(raw) // 2])
cd = bytearray(raw); p = cd.find(b'PK\x01\x02'); cd[p + 42:p + 46] = (10**9).to_bytes(4, 'little')
open(d + '/offset.zip', 'wb').write(cd)
print('ok')
)", Q(tmp.path().string())), "ok\n");
    struct Case {
        const char* file;
        unsigned open, extract;
    } cases[] = {{"ok.zip", Z::ZR_OK, Z::ZR_OK},
                 {"bomb.zip", Z::ZR_OK, Z::ZR_CORRUPT},
                 {"crc.zip", Z::ZR_OK, Z::ZR_CORRUPT},
                 {"offset.zip", Z::ZR_OK, Z::ZR_CORRUPT},
                 {"cut.zip", Z::ZR_CORRUPT, 0}};
    const auto entries = [&] { return std::distance(fs::directory_iterator(tmp.path()), fs::directory_iterator()); };
    const auto before = entries();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        Z zip;
        ASSERT_EQ(zip.Open(CString(tmp.File(c.file))), c.open);
        if (c.open != Z::ZR_OK) continue;
        const std::string out = tmp.File(std::string(c.file) + ".out");
        EXPECT_EQ(zip.Extract(0, CString(out)), c.extract);
        EXPECT_EQ(fs::exists(out), c.extract == Z::ZR_OK);
        EXPECT_EQ(entries(), before + (c.extract == Z::ZR_OK));  // no temporary file left
        if (c.extract == Z::ZR_OK) fs::remove(out);
    }
}

TEST_F(ZipArchive, Zip64ForMoreThan65535Entries) {
    Z zip;
    ASSERT_EQ(zip.Create(CString(tmp.File("many.zip"))), Z::ZR_OK);
    for (int i = 0; i < 65536; ++i) ASSERT_EQ(zip.Add(CString("e" + std::to_string(i)), "", 0, Z::ZIP_MEMORY), Z::ZR_OK);
    ASSERT_EQ(zip.Close(), Z::ZR_OK);
    EXPECT_EQ(Py(tmp, "z = zipfile.ZipFile(sys.argv[1]); print(len(z.infolist()), z.infolist()[-1].filename)",
                 Q(tmp.File("many.zip"))),
              "65536 e65535\n");
    EXPECT_EQ(test::RunCommand("7z t " + Q(tmp.File("many.zip")) + " >/dev/null"), 0);
    Z back;
    ASSERT_EQ(back.Open(CString(tmp.File("many.zip"))), Z::ZR_OK);
    Z::Entry e;
    ASSERT_EQ(back.GetItem(-1, e), Z::ZR_OK);
    EXPECT_EQ(e.size, 65536u);
    ASSERT_EQ(back.GetItem(65535, e), Z::ZR_OK);
    EXPECT_EQ(e.name, "e65535");
}

TEST_F(ZipArchive, ResultCodesAndMessages) {
    const std::pair<unsigned, const char*> table[] = {
        {0x0, "Success"},
        {0x700, "Zipfile is corrupt or not a zipfile"},
        {0x40000, "Application Error: there was a previous error"},
        {0x5000000, "Application Error: an internal error during flation"},
        {0x12345, "unknown zip result code"}};
    for (const auto& [code, text] : table) EXPECT_EQ(Z::FormatMessage(code), text) << code;
    Z reader;
    EXPECT_EQ(reader.Open("/nonexistent/x.zip"), Z::ZR_NOFILE);
    EXPECT_EQ(Z::FormatMessage(Z::ZR_RECENT), "Couldn't create/open file");
    EXPECT_EQ(reader.Add("a", "", 0, Z::ZIP_MEMORY), Z::ZR_NOTINITED);
    char buffer[260];
    Z::FormatMessage(Z::ZR_MEMSIZE, buffer, 10);
    EXPECT_STREQ(buffer, "Applicati");
    Z writer;
    ASSERT_EQ(writer.Create(CString(tmp.File("w.zip"))), Z::ZR_OK);
    EXPECT_EQ(writer.Open(CString(tmp.File("w.zip"))), Z::ZR_ZMODE);
}

TEST_F(ZipArchive, DirectoryTreesAndTheCli) {
    test::WriteText(tmp.File("site/index.html"), "<html>");
    test::WriteText(tmp.File("site/img/logo.png"), std::string(5000, 'p'));
    ASSERT_TRUE(CDirUtils::CreateZipFile(CString(tmp.File("tree.zip")), CString(tmp.File("site"))));
    EXPECT_EQ(Py(tmp, "print(sorted(zipfile.ZipFile(sys.argv[1]).namelist()))", Q(tmp.File("tree.zip"))),
              "['site/', 'site/img/', 'site/img/logo.png', 'site/index.html']\n");
    std::string out;
    ASSERT_EQ(test::RunCli("zip " + Q(tmp.File("c.zip")) + " " + Q(tmp.File("site")) + " " + Q(tmp.File("tree.zip"))),
              0);
    ASSERT_EQ(test::RunCli("zip --list " + Q(tmp.File("c.zip")), &out), 0);
    EXPECT_NE(out.find("5000\t"), std::string::npos);
    EXPECT_NE(out.find("\tsite/img/logo.png\n"), std::string::npos);
    ASSERT_EQ(test::RunCli("unzip " + Q(tmp.File("c.zip")) + " " + Q(tmp.File("x"))), 0);
    EXPECT_EQ(test::ReadFileBytes(tmp.File("x/site/img/logo.png")), std::string(5000, 'p'));
    EXPECT_EQ(test::ReadFileBytes(tmp.File("x/tree.zip")), test::ReadFileBytes(tmp.File("tree.zip")));
    for (const std::string bad : {"zip", "zip a.zip", "zip --list", "unzip a.zip", "zip --bogus a b"})
        EXPECT_EQ(test::RunCli(bad), 2) << bad;
    EXPECT_EQ(test::RunCli("unzip " + Q(tmp.File("missing.zip")) + " x"), 1);
}

}  // namespace
}  // namespace vutil
