#pragma once
// Volumes behind drive letters: which letters exist, what holds each one, its space,
// geometry and hardware; and where the desktop keeps the user's deleted files.
// Failures set the thread's last error (error.h).

#include <cstdint>
#include <string>
#include <vector>

namespace vutil::platform {

// Drive kinds, the system's drive-type numbers.
enum : unsigned int {
    kDriveUnknown = 0,
    kDriveNoRootDir = 1,
    kDriveRemovable = 2,
    kDriveFixed = 3,
    kDriveRemote = 4,
    kDriveCdRom = 5,
    kDriveRamDisk = 6,
};

// Storage bus numbers as the system counts them.
enum : unsigned int {
    kBusUnknown = 0,
    kBusScsi = 1,
    kBusAta = 3,
    kBus1394 = 4,
    kBusFibre = 6,
    kBusUsb = 7,
    kBusRaid = 8,
    kBusIScsi = 9,
    kBusSas = 10,
    kBusSata = 11,
    kBusSd = 12,
    kBusMmc = 13,
    kBusVirtual = 14,
    kBusFileBackedVirtual = 15,
    kBusNvme = 17,
};

// The drive letters that exist, in letter order ("CDE").
std::string DriveLetters();

// The kind of the volume holding the drive's folder, before any rule about buses:
// kDriveNoRootDir when the letter is unknown or its folder is missing.
unsigned int QueryDriveKind(char letter);

struct VolumeFacts {
    std::string label;
    std::string fileSystem;  // the system's own name for it ("ext4", "ntfs")
    std::string volumeName;  // "\\?\Volume{<id>}\" when the volume has an identifier
    std::string device;      // the device the volume lives on
};
// False when the letter is unknown or its folder cannot be reached.
bool QueryVolumeFacts(char letter, VolumeFacts& facts);

// Free bytes available to the caller and total bytes of the drive's volume.
bool QueryDiskSpace(char letter, std::uint64_t& freeToCaller, std::uint64_t& total);
// Bytes per sector of the disk and sectors per allocation unit of the volume.
bool QueryClusterGeometry(char letter, std::uint32_t& sectorsPerCluster, std::uint32_t& bytesPerSector);

struct DiskFacts {
    unsigned int bus = kBusUnknown;
    std::string vendor, product, serial;
};
// The disk under the drive's volume; false when the volume is not on a disk.
bool QueryDiskFacts(char letter, DiskFacts& facts);

// Folders in the freedesktop.org Trash layout ("files" and "info" inside) that hold
// the user's deleted files: the home one first, then one per volume of the given
// drives. relativeBase is where relative recorded paths start (a volume's top), in
// library form with a trailing backslash; empty for the home trash. None on systems
// without such a trash.
struct TrashFolder {
    std::string path;          // library form, trailing backslash
    std::string relativeBase;  // library form, trailing backslash, or empty
};
std::vector<TrashFolder> UserTrashFolders(const std::string& driveLetters);

}  // namespace vutil::platform
