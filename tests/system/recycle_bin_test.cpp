// RecycleBin over bins built byte by byte in temporary drives: the older index file,
// the newer $I/$R pairs, the desktop trash in the home and on a volume.

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "drive_env.h"
#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/platform/system.h"
#include "vutil/system/recycle_bin.h"
#include "vutil/platform/volume.h"
#include "vutil/system/registry_utils.h"
#include "vutil/system/system_utils.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;
using namespace test;

struct Exposed : RecycleBin {
    using RecycleBin::HexToInt;
};

#ifndef _WIN32
std::string Le32(std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
}

// An index file: twelve header bytes, the record size, the last header word, then
// records of `size` bytes (path, index, drive, filler).
struct IndexRecordSpec {
    std::string path;
    std::uint32_t index, drive;
};
std::string IndexFile(std::uint32_t size, const std::vector<IndexRecordSpec>& records) {
    std::string bytes = std::string(12, '\x01') + Le32(size) + Le32(0x12345678);
    for (const auto& r : records) {
        std::string rec = r.path;
        rec.resize(260, '\0');
        rec += Le32(r.index) + Le32(r.drive);
        rec.resize(size, '\x7F');
        bytes += rec;
    }
    return bytes;
}

#endif

// An information file: 24 header bytes, then the path in UTF-16LE (code units given).
std::string InfoFile(const std::u16string& path) {
    std::string bytes = std::string("\x01\0\0\0\0\0\0\0", 8) + std::string(16, '\x05');
    for (char16_t c : path + u'\0') bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    return bytes;
}

#ifndef _WIN32
class Bin : public ::testing::Test {
protected:
    Bin() {
        base = fs::canonical(tmp.path());
        for (const char* d : {"c", "d", "vol", "net", "floppy", "data"}) fs::create_directories(base / d);
        const std::string b = base.string();
        drives.emplace("C=" + b + "/c;D=" + b + "/d;V=" + b + "/vol;N=" + b + "/net;A=" + b + "/floppy");
        test::WriteText(base / "root/proc/self/mountinfo",
                        "1 0 8:1 / " + b + "/c rw - ext4 /dev/sda1 rw\n"
                        "2 0 8:2 / " + b + "/d rw - ntfs3 /dev/sda2 rw\n"
                        "3 0 0:30 / " + b + "/vol rw - tmpfs tmpfs rw\n"
                        "4 0 0:31 / " + b + "/net rw - cifs //server/share rw\n"
                        "5 0 2:0 / " + b + "/floppy rw - vfat /dev/fd0 rw\n");
        root.emplace(base / "root");
        dataHome.emplace("XDG_DATA_HOME", b + "/data");
        log = CAppLogger::CreateForTesting();
    }
    ~Bin() override { CAppLogger::DeleteInstance(); }

    void Put(const std::string& rel, const std::string& bytes) const { test::WriteText(base / rel, bytes); }
    bool Exists(const std::string& rel) const { return fs::exists(fs::symlink_status(base / rel)); }
    std::vector<std::string> Sites() const {
        std::vector<std::string> out;
        for (const auto& l : log->Lines()) out.push_back(std::string(l.site.GetString()) + l.text.GetString());
        return out;
    }
    std::size_t Count(const std::string& site) const {
        std::size_t n = 0;
        for (const auto& l : log->Lines()) n += l.site == CString(site);
        return n;
    }
    // Trash item: files/<name> holding `bytes`, info/<name>.trashinfo holding `info`.
    void Trashed(const std::string& trash, const std::string& name, const std::string& bytes,
                 const std::string& info) const {
        Put(trash + "/files/" + name, bytes);
        Put(trash + "/info/" + name + ".trashinfo", info);
    }
    static std::string TrashInfo(const std::string& path) {
        return "[Trash Info]\nPath=" + path + "\nDeletionDate=2026-12-06T05:00:00\n";
    }
    // A volume's trash folder is named after the user id.
    std::string VolumeTrash() const { return "vol/.Trash-" + std::to_string(::getuid()); }

    test::TempDir tmp;
    fs::path base;
    std::optional<test::ScopedDrives> drives;
    std::optional<test::ScopedSystemRoot> root;
    std::optional<test::ScopedEnv> dataHome;
    CAppLogger* log = nullptr;
};

TEST_F(Bin, ListsBothWindowsLayoutsThenTheTrash) {
    const std::string user = "d/RECYCLER/S-1-5-21-x/";
    // Records: empty path, stored file missing, two good ones; the file's last 4 bytes
    // form a short block that still holds the last record.
    std::string info2 = IndexFile(800, {{"", 1, 3}, {"C:\\gone.doc", 4, 2}, {"C:\\docs\\a.txt", 5, 2},
                                         {"C:\\docs\\noext", 6, 3}});
    info2 += "\xAA\xBB\xCC\xDD";
    Put(user + "INFO2", info2);
    Put(user + "DC5.txt", std::string(100, 'a'));
    Put(user + "DD6", std::string(7, 'b'));
    Put("floppy/RECYCLER/S-1/INFO2", IndexFile(800, {{"A:\\f.txt", 1, 0}}));
    Put("floppy/RECYCLER/S-1/DA1.txt", "floppy");
    Put("net/RECYCLER/S-1/INFO2", IndexFile(800, {{"N:\\n.txt", 1, 13}}));
    Put("net/RECYCLER/S-1/DN1.txt", "network");

    const std::string vista = "c/$RECYCLE.BIN/S-1-5-21-y/";
    Put(vista + "$IABC123.txt", InfoFile(u"C:\\a.txt"));
    Put(vista + "$RABC123.txt", std::string(1000, 'r'));
    Put(vista + "$I000002", InfoFile(u"C:\\\u00e9\u20ac"));
    Put(vista + "$R000002/inner/deep.bin", std::string(30, 'd'));  // a deleted folder
    Put(vista + "$INODATA.txt", InfoFile(u"C:\\lost.txt"));
    Put(vista + "$ISHORT.txt", std::string(23, 'x'));
    Put(vista + "$RSHORT.txt", "short");

    const std::string home = "data/Trash";
    Trashed(home, "report one.txt", std::string(11, 'r'), TrashInfo(base.string() + "/c/docs/report%20one.txt"));
    Trashed(home, "latin.txt", "x", "[Trash Info]\nPath=/c/\xFF.txt\n");       // not UTF-8
    Trashed(home, "relative.txt", "x", TrashInfo("docs/relative.txt"));       // relative in the home
    Trashed(home, "badescape.txt", "x", TrashInfo("/c/%zz.txt"));
    Put(home + "/info/orphan.txt.trashinfo", TrashInfo("/c/orphan.txt"));     // no stored file
    Trashed(VolumeTrash(), "x.txt", std::string(5, 'v'), TrashInfo("sub/x%C3%A9.txt"));
    Trashed(VolumeTrash(), "out.txt", "x", TrashInfo("sub/../../out.txt"));  // leaves the volume

    TextArray stored, former;
    stored.Add("stale");
    RecycleBin::GetContent(stored, former, true);
    const std::string volFiles = "V:\\.Trash-" + std::to_string(::getuid()) + "\\files\\";
    // The home trash lies outside every drive here, so it shows as a host path.
    const std::string homeFiles = "\\" + base.relative_path().string() + "\\data\\Trash\\files\\";
    Strings wantStored = {"D:\\RECYCLER\\S-1-5-21-x\\DC5.txt", "D:\\RECYCLER\\S-1-5-21-x\\DD6",
                          "C:\\$RECYCLE.BIN\\S-1-5-21-y\\$R000002", "C:\\$RECYCLE.BIN\\S-1-5-21-y\\$RABC123.txt",
                          homeFiles + "report one.txt", volFiles + "x.txt"};
    for (auto& s : wantStored)
        for (auto& ch : s)
            if (ch == '/') ch = '\\';
    EXPECT_EQ(Items(stored), wantStored);
    EXPECT_EQ(Items(former), (Strings{"C:\\docs\\a.txt", "C:\\docs\\noext", "C:\\\xE9\xAC ", "C:\\a.txt",
                                      "C:\\docs\\report one.txt", "V:\\sub\\x\xC3\xA9.txt"}));
    EXPECT_EQ(Count("{50DA4550-BBAC-4A70-B7C7-78BD5AB1FEC9}"), 1u);
    EXPECT_EQ(Count("{CF7FAE25-FD16-4535-8A3B-9E7BEF55F468}"), 1u);
    EXPECT_EQ(Count("{3E8CC393-EBBF-4083-8BA1-D57D89C25DB1}"), 2u);
    EXPECT_EQ(Count("{08E237A2-0E1B-4552-A46C-B4A3CAA7FDE3}"), 2u);
    const auto sites = Sites();
    EXPECT_NE(std::find(sites.begin(), sites.end(),
                        "{23459EFB-B3D6-44F7-A129-49972F9B80B6}D:\\RECYCLER\\S-1-5-21-x\\DC4.doc"),
              sites.end());
    EXPECT_EQ(RecycleBin::GetContentSize(), 100u + 7 + 30 + 1000 + 11 + 5);
    EXPECT_TRUE(RecycleBin::GetHaveContent());
}

TEST_F(Bin, DamagedIndexFilesGivePartialLists) {
    const std::string pathNoEnd(300, 'p');  // no terminator within the path field
    const struct {
        const char* user;
        std::string bytes;
        Strings stored;
    } cases[] = {
        {"zero", IndexFile(0, {}) + std::string(800, 'x'), {}},
        {"negative", IndexFile(0xFFFFFFF0u, {}) + std::string(800, 'x'), {}},
        {"short head", std::string(10, '\x01'), {}},
        // One record, but a size beyond the file: the one short read still holds it.
        {"huge", IndexFile(800, {{"C:\\h.txt", 1, 3}}).replace(12, 4, Le32(0x7FFFFFFF)), {"DD1.txt"}},
        // Cut in the middle of the path: index and drive read as zero.
        {"truncated", IndexFile(800, {{"C:\\docs\\t.txt", 9, 3}}).substr(0, 40), {"DA0.txt"}},
        {"unterminated", IndexFile(800, {{pathNoEnd, 2, 3}}), {"DD2"}},
        // Records smaller than their fields: nothing beyond the record is read.
        {"tiny", IndexFile(8, {}) + "\0\0\0\0C:\\q.txt" + std::string(8, '\0'), {}},
    };
    for (const auto& c : cases) {
        const std::string dir = std::string("c/RECYCLER/") + c.user + "/";
        Put(dir + "INFO2", c.bytes);
        for (const auto& s : c.stored) Put(dir + s, "data");
    }
    TextArray stored, former;
    RecycleBin::GetContent(stored, former, false);
    Strings got = Items(stored);
    Strings want;
    for (const auto& c : cases)
        for (const auto& s : c.stored) want.push_back("C:\\RECYCLER\\" + std::string(c.user) + "\\" + s);
    std::sort(got.begin(), got.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(got, want);
    EXPECT_EQ(Count("{2B01BB1A-45F8-42B1-91E1-78997C8296FF}"), 3u);
    ASSERT_EQ(stored.GetCount(), former.GetCount());
    for (unsigned int i = 0; i < former.GetCount(); ++i)
        if (former.GetAt(i).GetLength() > 200) {
            EXPECT_EQ(former.GetAt(i), CString(std::string(260, 'p')));
        }
}

TEST_F(Bin, RestoreAndDeleteActOnTrashItemsOnly) {
    const std::string home = "data/Trash";
    const std::string b = base.string();
    Trashed(home, "a.txt", "alpha", TrashInfo(b + "/c/new/dir/a.txt"));
    Trashed(home, "b.txt", "beta", TrashInfo(b + "/c/b.txt"));
    Put("c/b.txt", "already here");
    Trashed(home, "folder", "", TrashInfo(b + "/c/folder"));
    fs::remove(base / home / "files/folder");
    Put(home + "/files/folder/x/y.txt", "inside");
    Put("d/$RECYCLE.BIN/S/$I1.txt", InfoFile(u"D:\\w.txt"));
    Put("d/$RECYCLE.BIN/S/$R1.txt", "windows");

    const CString files = CString("\\") + CString(base.relative_path().string()) + "\\data\\Trash\\files\\";
    CString filesLib = files;
    filesLib.Replace('/', '\\');
    RecycleBin bin;
    EXPECT_TRUE(bin.DoRestore(filesLib + "a.txt"));
    EXPECT_EQ(test::ReadFileBytes((base / "c/new/dir/a.txt").string()), "alpha");
    EXPECT_FALSE(Exists(home + "/info/a.txt.trashinfo"));
    EXPECT_FALSE(bin.DoRestore(filesLib + "a.txt"));  // gone already

    EXPECT_FALSE(bin.DoRestore(filesLib + "b.txt"));  // never over an existing file
    EXPECT_EQ(test::ReadFileBytes((base / "c/b.txt").string()), "already here");
    EXPECT_TRUE(Exists(home + "/files/b.txt"));

    EXPECT_TRUE(bin.DoDelete(filesLib + "folder"));
    EXPECT_FALSE(Exists(home + "/files/folder"));
    EXPECT_FALSE(Exists(home + "/info/folder.trashinfo"));

    const std::size_t before = Count("{6A95709B-E69B-43FA-8D2A-663C0745E421}");
    EXPECT_FALSE(bin.DoRestore("D:\\$RECYCLE.BIN\\S\\$R1.txt"));
    EXPECT_FALSE(bin.DoDelete("D:\\$RECYCLE.BIN\\S\\$R1.txt"));
    EXPECT_FALSE(bin.DoDelete(filesLib + "..\\..\\..\\c\\b.txt"));
    EXPECT_EQ(Count("{6A95709B-E69B-43FA-8D2A-663C0745E421}"), before + 3);
    EXPECT_TRUE(Exists("d/$RECYCLE.BIN/S/$R1.txt"));

    RecycleBin copy = bin;
    copy = bin;
    EXPECT_EQ(RecycleBin::GetName(), "Recycle Bin");
    EXPECT_TRUE(RecycleBin::DeleteAll());
    EXPECT_EQ(RecycleBin::GetContentSize(), 0u);
    EXPECT_FALSE(Exists(home + "/files/b.txt"));
    EXPECT_FALSE(Exists("d/$RECYCLE.BIN/S/$R1.txt"));
    EXPECT_FALSE(Exists("d/$RECYCLE.BIN/S/$I1.txt"));
    EXPECT_EQ(test::ReadFileBytes((base / "c/b.txt").string()), "already here");
}

TEST_F(Bin, EmptyItemsMakeAnEmptyBin) {
    Trashed("data/Trash", "empty.txt", "", TrashInfo(base.string() + "/c/empty.txt"));
    TextArray stored, former;
    RecycleBin::GetContent(stored, former, false);
    EXPECT_EQ(stored.GetCount(), 0u);
    EXPECT_FALSE(RecycleBin::GetHaveContent());
}

TEST(RecycleBinSettings, PerVolumeValuesOfTheUser) {
    test::TempDir tmp;
    const fs::path base = fs::canonical(tmp.path());
    fs::create_directories(base / "k");
    test::ScopedDrives drives("K=" + (base / "k").string());
    test::WriteText(base / "root/proc/self/mountinfo", "1 0 8:2 / " + (base / "k").string() + " rw - ext4 /dev/sda2 rw\n");
    test::WriteText(base / "root/sys/devices/pci0/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda2/partition", "2\n");
    test::Link(base / "root/sys/dev/block/8:2", base / "root/sys/devices/pci0/ata1/host0/target0:0:0/0:0:0:0/block/sda/sda2");
    test::Link(base / "root/dev/disk/by-uuid/0A1B-2C3D", base / "root/dev/sda2");
    test::ScopedSystemRoot root(base / "root");

    EXPECT_FALSE(RecycleBin::GetDoNukeOnDelete("K:\\"));  // no user yet
    EXPECT_EQ(RecycleBin::GetCapacity("K:\\"), 0u);
    const CString profiles = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-77";
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_LOCAL_MACHINE, profiles, "ProfileImagePath",
                                                  CString(platform::UserAppDataFolder()), false));
    const CString key = "S-1-5-21-77\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\BitBucket\\Volume\\{0A1B-2C3D}";
    const struct {
        const char* nuke;
        bool want;
    } nukes[] = {{"1", true}, {"01", false}, {"0", false}, {"", false}};
    for (const auto& n : nukes) {
        ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_USERS, key, "NukeOnDelete", n.nuke, false));
        EXPECT_EQ(RecycleBin::GetDoNukeOnDelete("K:\\"), n.want) << n.nuke;
    }
    ASSERT_TRUE(CRegistryUtils::CreateKeyAndValue(HKEY_USERS, key, "MaxCapacity", "10737418240", false));
    EXPECT_EQ(RecycleBin::GetCapacity("K:\\"), 10737418240u);
    EXPECT_EQ(RecycleBin::GetCapacity("C:\\"), 0u);  // another volume, no value
}

#else
// The system's own bin on C:, in the user's folder named after the account's security
// identifier: an item stored there as the shell stores one is listed with its former path.
TEST(WindowsBin, ListsTheUsersItemsOnTheSystemDrive) {
    const CString sid = CSystemUtils::GetUserSID();
    if (sid.IsEmpty()) GTEST_SKIP() << "no profile for the user";
    const fs::path bin = "C:\\$Recycle.Bin";
    const fs::path folder = bin / sid.str();
    const bool madeBin = !fs::exists(bin), madeFolder = !fs::exists(folder);
    fs::create_directories(folder);
    const std::string name = "VUTIL" + std::to_string(std::random_device{}() % 1000000) + ".txt";
    test::WriteFileBytes((folder / ("$I" + name)).string(), InfoFile(u"C:\\docs\\caf\u00e9.txt"));
    test::WriteFileBytes((folder / ("$R" + name)).string(), std::string(123, 'r'));

    const auto folders = platform::UserTrashFolders("CQ");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(CString(folders[0].path).CompareNoCase(CString(folder.string() + "\\")), 0) << folders[0].path;
    EXPECT_EQ(folders[0].relativeBase, "");
    TextArray stored, former;
    RecycleBin::GetContent(stored, former, false);
    ASSERT_EQ(stored.GetCount(), former.GetCount());
    int found = 0;
    for (unsigned int i = 0; i < stored.GetCount(); ++i)
        if (stored.GetAt(i).CompareNoCase(CString((folder / ("$R" + name)).string())) == 0) {
            EXPECT_EQ(former.GetAt(i), "C:\\docs\\caf\xE9.txt");
            ++found;
        }
    EXPECT_EQ(found, 1);
    EXPECT_GE(RecycleBin::GetContentSize(), 123u);

    fs::remove(folder / ("$I" + name));
    fs::remove(folder / ("$R" + name));
    if (madeFolder) fs::remove(folder);
    if (madeBin) fs::remove(bin);
}
#endif

TEST(RecycleBinHexToInt, LittleEndianWithTheShiftWrapping) {
    const struct {
        std::string bytes;
        int count, want;
    } cases[] = {
        {"\x01\x02\x03\x04", 2, 0x0201},
        {"\xFF\xFF\xFF\xFF", 4, -1},
        {"\xFF", 1, 255},
        {std::string("\x01\0\0\0\x10", 5), 5, 0x11},  // the fifth byte shifts by 32 mod 32
        {"", 0, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(Exposed::HexToInt(c.bytes.data(), c.count), c.want) << c.count;
    EXPECT_EQ(Exposed::HexToInt(nullptr, 4), 0);
}

}  // namespace
}  // namespace vutil
