// CVolumeUtils against fake mount tables and sysfs trees, and against the real system
// with findmnt and Python's os.statvfs as oracles.

#include <gtest/gtest.h>

#include <filesystem>

#include "drive_env.h"
#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/core/app_logger.h"
#include "vutil/system/volume_utils.h"

namespace vutil {
namespace {

namespace fs = std::filesystem;

#ifndef _WIN32
// Drives E (USB-attached fixed disk, partition), F (RAM disk), G (network), H (CD),
// K (SATA fixed disk), L (SATA disk with removable media, whole-disk volume), I (a
// folder that does not exist) and A (a floppy letter on the USB disk).
class FakeSystem : public ::testing::Test {
protected:
    FakeSystem() {
        const fs::path base = fs::canonical(tmp.path());
        for (const char* d : {"usb disk", "ram", "net", "cd", "sata", "card"}) fs::create_directories(base / d);
        const std::string b = base.string();
        drives.emplace("E=" + b + "/usb disk;F=" + b + "/ram;G=" + b + "/net;H=" + b + "/cd;K=" + b +
                       "/sata;L=" + b + "/card;I=" + b + "/gone;A=" + b + "/usb disk");
        const fs::path r = base / "root";
        std::string usb = b + "/usb\\040disk";
        test::WriteText(r / "proc/self/mountinfo",
                        "22 1 253:0 / / rw,relatime shared:1 - ext4 /dev/vda rw\n"
                        "30 22 8:17 / " + usb + " rw,nosuid shared:7 master:1 - ext4 /dev/sdb1 rw\n"
                        "31 22 0:40 / " + b + "/ram rw - tmpfs tmpfs rw,size=1024k\n"
                        "32 22 0:41 / " + b + "/net rw - nfs4 server:/export rw\n"
                        "33 22 11:0 / " + b + "/cd ro - iso9660 /dev/sr0 ro\n"
                        "34 22 8:2 / " + b + "/sata rw - xfs /dev/sda2 rw\n"
                        "35 22 8:32 / " + b + "/card rw - vfat /dev/sdc rw\n"
                        "garbage line\n");
        const fs::path usbDev = r / "sys/devices/pci0000:00/0000:00:14.0/usb2/2-1";
        test::WriteText(usbDev / "serial", "USB123SERIAL\n");
        const fs::path scsi = usbDev / "2-1:1.0/host6/target6:0:0/6:0:0:0";
        test::WriteText(scsi / "vendor", "WD      \n");
        test::WriteText(scsi / "model", "Elements 25A2   \n");
        const fs::path sdb = scsi / "block/sdb";
        test::WriteText(sdb / "removable", "0\n");
        test::WriteText(sdb / "queue/logical_block_size", "4096\n");
        test::Link(sdb / "device", scsi);
        test::WriteText(sdb / "sdb1/partition", "1\n");
        test::Link(r / "sys/dev/block/8:17", sdb / "sdb1");

        const fs::path ata = r / "sys/devices/pci0000:00/0000:00:1f.2";
        const fs::path sataDev = ata / "ata1/host0/target0:0:0/0:0:0:0";
        test::WriteText(sataDev / "vendor", "ATA     \n");
        test::WriteText(sataDev / "model", "WDC WD10EZEX\n");
        test::WriteText(sataDev / "vpd_pg80", std::string("\0\x80\0\x08WD-12345", 12));
        const fs::path sda = sataDev / "block/sda";
        test::WriteText(sda / "removable", "0\n");
        test::WriteText(sda / "queue/logical_block_size", "512\n");
        test::Link(sda / "device", sataDev);
        test::WriteText(sda / "sda2/partition", "2\n");
        test::Link(r / "sys/dev/block/8:2", sda / "sda2");

        const fs::path sr0 = ata / "ata2/host1/target1:0:0/1:0:0:0/block/sr0";
        test::WriteText(sr0 / "removable", "1\n");
        test::Link(r / "sys/dev/block/11:0", sr0);
        const fs::path sdc = ata / "ata3/host2/target2:0:0/2:0:0:0/block/sdc";
        test::WriteText(sdc / "removable", "1\n");
        test::Link(r / "sys/dev/block/8:32", sdc);

        test::Link(r / "dev/disk/by-label/My\\x20Stick", r / "dev/sdb1");
        test::Link(r / "dev/disk/by-uuid/1234-ABCD", r / "dev/sdb1");
        test::Link(r / "dev/disk/by-label/CDROM_2024", r / "dev/sr0");
        test::Link(r / "dev/disk/by-uuid/5f1c3e2a-77d0-4a43-9d1e-0a4c5b6d7e8f", r / "dev/sda2");
        root.emplace(r);
    }

    test::TempDir tmp;
    std::optional<test::ScopedDrives> drives;
    std::optional<test::ScopedSystemRoot> root;
};

struct DriveCase {
    const char* drive;
    unsigned int kind;
    int bus;
    const char* label;
    const char* fileSystem;
    const char* guid;
    const char* device;
    const char* vendor;
    const char* product;
    const char* serial;
    unsigned long bytesPerSector;
};

TEST_F(FakeSystem, EachDriveKindBusAndIdentity) {
    const DriveCase cases[] = {
        {"E:\\", 2, 7, "My Stick", "ext4", "{1234-ABCD}", "/dev/sdb1", "WD", "Elements 25A2", "USB123SERIAL", 4096},
        {"F:\\", 6, 0, "", "tmpfs", "", "tmpfs", "", "", "", 512},
        {"G:\\", 4, 0, "", "nfs4", "", "server:/export", "", "", "", 512},
        {"H:\\", 5, 11, "CDROM_2024", "iso9660", "", "/dev/sr0", "", "", "", 512},
        {"K:\\", 3, 11, "", "xfs", "{5f1c3e2a-77d0-4a43-9d1e-0a4c5b6d7e8f}", "/dev/sda2", "ATA", "WDC WD10EZEX",
         "WD-12345", 512},
        {"L:\\", 2, 11, "", "vfat", "", "/dev/sdc", "", "", "", 512},
        {"I:\\", 1, 0, "", "", "", "", "", "", "", 0},
    };
    for (const DriveCase& c : cases) {
        SCOPED_TRACE(c.drive);
        EXPECT_EQ(CVolumeUtils::GetDriveTypeA(c.drive), c.kind);
        EXPECT_EQ(CVolumeUtils::GetBusType(c.drive), c.bus);
        CString guid = "old", device = "old", product = "old", vendor = "old", serial = "old";
        CVolumeUtils::GetDriveGUID(c.drive, guid, device);
        EXPECT_EQ(guid, c.guid);
        EXPECT_EQ(device, c.device);
        CVolumeUtils::GetHardwareInfo(c.drive, product, vendor, serial);
        EXPECT_EQ(vendor, c.vendor);
        EXPECT_EQ(product, c.product);
        EXPECT_EQ(serial, c.serial);
        unsigned long spc = 99, bps = 99;
        CVolumeUtils::GetClusterInfo(c.drive, spc, bps);
        EXPECT_EQ(bps, c.bytesPerSector);
        EXPECT_EQ(CVolumeUtils::IsDriveValid(c.drive), c.kind != 1);
    }
}

TEST_F(FakeSystem, DriveInformationStaysParallelAndNeverProbesFloppyLetters) {
    CStringArray roots, labels, systems;
    CUIntArray types;
    CVolumeUtils::GetDriveInformation(&roots, &types, &labels, &systems);
    EXPECT_EQ(test::Items(roots), (test::Strings{"A:\\", "C:\\", "E:\\", "F:\\", "G:\\", "H:\\", "I:\\", "K:\\", "L:\\"}));
    EXPECT_EQ(test::Items(labels), (test::Strings{"", "", "My Stick", "", "", "CDROM_2024", "", "", ""}));
    EXPECT_EQ(test::Items(systems), (test::Strings{"", "ext4", "ext4", "tmpfs", "nfs4", "iso9660", "", "xfs", "vfat"}));
    const unsigned int wantTypes[] = {2, 3, 2, 6, 4, 5, 1, 3, 2};
    ASSERT_EQ(types.GetSize(), 9);
    for (int i = 0; i < 9; ++i) EXPECT_EQ(types[i], wantTypes[i]) << i;
    CUIntArray onlyTypes;
    CVolumeUtils::GetDriveInformation(nullptr, &onlyTypes, nullptr, nullptr);
    EXPECT_EQ(onlyTypes.GetSize(), 9);
}

TEST_F(FakeSystem, ClusterGeometryFollowsTheBlockSize) {
    std::string frsize;
    ASSERT_EQ(test::RunCommand("python3 -c \"import os; print(os.statvfs('" + tmp.path().string() + "').f_frsize)\"",
                               &frsize),
              0);
    const unsigned long unit = std::stoul(frsize);
    unsigned long spc = 0, bps = 0;
    CVolumeUtils::GetClusterInfo("E:\\", spc, bps);
    EXPECT_EQ(spc, std::max(1ul, unit / 4096));
    CVolumeUtils::GetClusterInfo("K:\\", spc, bps);
    EXPECT_EQ(spc, std::max(1ul, unit / 512));
}

#endif

TEST(VolumeUtils, ShortTextsAndFloppyNames) {
    CAppLogger* log = CAppLogger::CreateForTesting();
    EXPECT_EQ(CVolumeUtils::GetDriveTypeA("C:"), 0u);
    EXPECT_EQ(CVolumeUtils::GetBusType("C:"), BusTypeUnknown);
    EXPECT_FALSE(CVolumeUtils::IsDriveValid("  "));
    EXPECT_FALSE(CVolumeUtils::IsDriveValid("C:"));
    unsigned long spc = 7, bps = 7;
    CVolumeUtils::GetClusterInfo("C:\\dir", spc, bps);
    EXPECT_EQ(spc + bps, 0ul);
    std::uint64_t total = 1, freeBytes = 1;
    double pct = 1;
    CVolumeUtils::GetDriveSpaceInfo("", total, freeBytes, pct);
    EXPECT_EQ(total + freeBytes, 0u);
    EXPECT_EQ(pct, 0.0);
    CVolumeUtils::GetDriveSpaceInfo("Q:\\", total, freeBytes, pct);  // not in the table
    std::vector<std::string> sites;
    for (const auto& l : log->Lines()) sites.push_back(l.site.GetString());
    EXPECT_EQ(sites, (std::vector<std::string>{"{7F88C7E1-389D-485E-8E19-0E77DE6677D9}",
                                               "{5ED7135F-B6DE-41B2-9FE9-BC61F29B166A}",
                                               "{5A9894F9-9FDA-43DE-ACE6-D9E46F511091}",
                                               "{4B5CA109-2DCC-4079-8AF0-703FAFEAAC9C}",
                                               "{271E8816-46BE-4B23-8410-287ED2429A80}"}));
    CAppLogger::DeleteInstance();

    const struct {
        const char* text;
        bool ignoreLength, floppy;
    } floppies[] = {{"a:", false, true},    {"B:\\", false, true},      {"c:\\", false, false},
                    {"A:\\dir", false, false}, {"A:\\dir", true, true}, {"a", true, false}, {"", true, false}};
    for (const auto& f : floppies) EXPECT_EQ(CVolumeUtils::IsFloppyDrive(f.text, f.ignoreLength), f.floppy) << f.text;
}

#ifndef _WIN32
TEST(VolumeUtils, RealSystemMatchesFindmntAndStatvfs) {
    test::TempDir tmp;
    const std::string dir = fs::canonical(tmp.path()).string();
    test::ScopedDrives drives("T=" + dir);
    CStringArray roots, systems;
    CVolumeUtils::GetDriveInformation(&roots, nullptr, nullptr, &systems);
    std::string fstype;
    if (test::HaveProgram("findmnt")) {
        ASSERT_EQ(test::RunCommand("findmnt -n -o FSTYPE -T '" + dir + "'", &fstype), 0);
        while (!fstype.empty() && fstype.back() == '\n') fstype.pop_back();
        ASSERT_EQ(roots.GetSize(), 2);
        EXPECT_EQ(systems[1], CString(fstype));
    }
    std::string out;
    ASSERT_EQ(test::RunCommand("python3 -c \"import os; s=os.statvfs('" + dir + "'); print(s.f_blocks*s.f_frsize)\"", &out),
              0);
    std::uint64_t total = 0, freeBytes = 0;
    double pct = 0;
    CVolumeUtils::GetDriveSpaceInfo("T:\\", total, freeBytes, pct);
    EXPECT_EQ(total, std::stoull(out));
    ASSERT_GT(total, 0u);
    // Two fractional digits (en-US), truncated: the percentage of what this call saw.
    EXPECT_DOUBLE_EQ(pct, static_cast<double>(freeBytes * 10000 / total) / 100);
}
#else
// What cmd's "vol" says of a drive: its label ("" for none), nothing when it fails.
std::optional<std::string> VolLabel(char letter) {
    std::string out;
    if (test::RunCommand(std::string("cmd /c vol ") + letter + ":", &out) != 0 || out.find("Volume in drive") == std::string::npos)
        return std::nullopt;
    const std::string is = std::string("Volume in drive ") + letter + " is ";
    const std::size_t at = out.find(is);
    if (at == std::string::npos) return std::string();  // "has no label"
    return out.substr(at + is.size(), out.find_first_of("\r\n", at) - at - is.size());
}

TEST(VolumeUtils, RealDrivesMatchTheSystemsOwnView) {
    CStringArray roots, labels, systems;
    CUIntArray types;
    CVolumeUtils::GetDriveInformation(&roots, &types, &labels, &systems);
    ASSERT_EQ(types.GetSize(), roots.GetSize());
    std::string letters;
    for (int i = 0; i < roots.GetSize(); ++i) {
        SCOPED_TRACE(roots[i].str());
        letters += roots[i][0];
        EXPECT_EQ(types[i], CVolumeUtils::GetDriveTypeA(roots[i]));
        if (auto label = VolLabel(roots[i][0])) {
            EXPECT_EQ(labels[i], CString(*label));
        }
    }
    ASSERT_NE(letters.find('C'), std::string::npos);
    EXPECT_EQ(CVolumeUtils::GetDriveTypeA("C:\\"), 3u);  // the system drive is a fixed disk
    EXPECT_TRUE(CVolumeUtils::IsDriveValid("C:\\"));
    for (char c = 'D'; c <= 'Y'; ++c)
        if (letters.find(c) == std::string::npos) {
            const CString missing = CString(std::string(1, c) + ":\\");
            EXPECT_FALSE(VolLabel(c)) << c;
            EXPECT_FALSE(CVolumeUtils::IsDriveValid(missing)) << c;
            EXPECT_EQ(CVolumeUtils::GetDriveTypeA(missing), 1u) << c;  // no root folder
            break;
        }

    std::uint64_t total = 0, freeBytes = 0;
    double pct = 0;
    CVolumeUtils::GetDriveSpaceInfo("C:\\", total, freeBytes, pct);
    ASSERT_GT(total, 0u);
    EXPECT_LE(freeBytes, total);
    EXPECT_DOUBLE_EQ(pct, static_cast<double>(freeBytes * 10000 / total) / 100);
    unsigned long spc = 0, bps = 0;
    CVolumeUtils::GetClusterInfo("C:\\", spc, bps);
    EXPECT_GE(spc, 1ul);
    EXPECT_GE(bps, 512ul);
    EXPECT_EQ(bps & (bps - 1), 0ul);  // a power of two
    CString guid, device;
    CVolumeUtils::GetDriveGUID("C:\\", guid, device);
    EXPECT_EQ(guid.GetLength(), 38) << guid;  // "{" 8-4-4-4-12 "}"
    EXPECT_EQ(guid.Left(1), "{");
    EXPECT_EQ(device.Left(8), "\\Device\\") << device;
}
#endif

}  // namespace
}  // namespace vutil
