// Volumes from the mount table, statvfs and sysfs. Every table is read under the system
// root (posix/system_root.h), so tests answer from a fake /proc, /sys and /dev.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "vutil/platform/error.h"
#include "vutil/platform/path.h"
#include "vutil/platform/posix/fd.h"
#include "vutil/platform/posix/sys_calls.h"
#include "vutil/platform/posix/system_root.h"
#include "vutil/platform/volume.h"

namespace vutil::platform {

namespace {

using posix::FileDescriptor;

struct Mount {
    std::string point;   // where it is mounted, unescaped
    std::string type;    // "ext4", "fuse.sshfs"
    std::string source;  // "/dev/sda1", "server:/export", "tmpfs"
    std::string devNumber;  // "8:1"
};

// A small system file whole (sysfs and proc files report no size).
std::optional<std::string> ReadSmall(const std::string& path, std::size_t limit = std::size_t{16} << 20) {
    FileDescriptor fd(posix::Open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!fd) return std::nullopt;
    struct stat st {};
    if (::fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    std::string out;
    if (posix::ReadAll(fd.Get(), out, limit) != 0) return std::nullopt;
    return out;
}

std::string FirstLine(std::string text) {
    const std::size_t nl = text.find('\n');
    if (nl != std::string::npos) text.resize(nl);
    return text;
}

std::string RealPath(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real) return std::string();
    std::string out(real);
    std::free(real);
    return out;
}

std::string BaseName(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? std::string("/") : path.substr(0, slash);
}

// The mount table escapes space, tab, newline and backslash as three octal digits.
std::string Unescape(std::string_view field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ') ++i;
        if (i > start) out.push_back(line.substr(start, i - start));
    }
    return out;
}

bool IsPrefixFolder(const std::string& point, const std::string& path) {
    if (point == "/") return !path.empty() && path[0] == '/';
    return path.compare(0, point.size(), point) == 0 && (path.size() == point.size() || path[point.size()] == '/');
}

// The mount that holds an absolute, resolved path: the longest mount point above it,
// the later line when one point is mounted over.
std::optional<Mount> MountOf(const std::string& path) {
    auto table = ReadSmall(posix::SystemRoot() + "/proc/self/mountinfo");
    if (!table) return std::nullopt;
    std::optional<Mount> best;
    std::string_view rest(*table);
    while (!rest.empty()) {
        const std::size_t nl = rest.find('\n');
        const std::string_view line = rest.substr(0, nl);
        rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
        const auto f = Fields(line);
        // id parent major:minor root point options [optional...] - type source super
        std::size_t dash = 6;
        while (dash < f.size() && f[dash] != "-") ++dash;
        if (f.size() < 6 || dash + 2 >= f.size()) continue;
        Mount m{Unescape(f[4]), std::string(f[dash + 1]), Unescape(f[dash + 2]), std::string(f[2])};
        if (!IsPrefixFolder(m.point, path)) continue;
        if (!best || m.point.size() >= best->point.size()) best = std::move(m);
    }
    return best;
}

// The folder a drive letter maps to, resolved; empty when unknown or missing.
std::string DriveFolder(char letter) {
    const bool isLetter = (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
    const auto host = isLetter ? ToHostPath(std::string(1, letter) + ":\\") : std::nullopt;
    if (!host) {
        SetLastErrorCode(kErrorInvalidDrive);
        return std::string();
    }
    std::string real = RealPath(*host);
    struct stat st {};
    if (real.empty() || ::stat(real.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        SetLastErrorCode(kErrorPathNotFound);
        return std::string();
    }
    return real;
}

bool IsNetworkType(std::string_view type) {
    static constexpr std::string_view kNetwork[] = {
        "nfs",  "nfs4",      "cifs",      "smb3",   "smbfs",      "ncpfs",   "ncp",           "afs",
        "coda", "ceph",      "glusterfs", "9p",     "lustre",     "sshfs",   "fuse.sshfs",    "fuse.glusterfs",
        "davfs", "fuse.davfs2", "fuse.rclone", "fuse.s3fs", "fuse.gcsfuse", "fuse.cephfs", "fuse.curlftpfs",
    };
    return std::find(std::begin(kNetwork), std::end(kNetwork), type) != std::end(kNetwork);
}

// The sysfs folder of the block device a mount lives on (a partition or a whole disk).
std::string BlockEntry(const Mount& m) {
    const std::string sys = posix::SystemRoot() + "/sys";
    std::string entry = RealPath(sys + "/dev/block/" + m.devNumber);
    if (entry.empty() && m.source.rfind("/dev/", 0) == 0) entry = RealPath(sys + "/class/block/" + BaseName(m.source));
    return entry;
}

// The whole disk for a block entry: a partition's parent.
std::string DiskOf(const std::string& entry) {
    struct stat st {};
    return ::stat((entry + "/partition").c_str(), &st) == 0 ? Parent(entry) : entry;
}

std::string SysText(const std::string& file) {
    auto text = ReadSmall(file, 4096);
    return text ? FirstLine(std::move(*text)) : std::string();
}

bool StartsWithThenDigit(std::string_view part, std::string_view prefix) {
    return part.size() > prefix.size() && part.substr(0, prefix.size()) == prefix &&
           part[prefix.size()] >= '0' && part[prefix.size()] <= '9';
}

// The bus a disk hangs on, read from the folders of its device path: the outermost
// transport wins, so a SATA disk in a USB case is USB.
unsigned int BusOfPath(const std::string& disk) {
    std::vector<std::string_view> parts;
    std::string_view rest(disk);
    const std::size_t devices = rest.find("/sys/devices/");
    if (devices != std::string_view::npos) rest.remove_prefix(devices + 13);
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        parts.push_back(rest.substr(0, slash));
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    auto any = [&](auto pred) { return std::any_of(parts.begin(), parts.end(), pred); };
    if (!parts.empty() && parts[0] == "virtual") {
        const std::string name = BaseName(disk);
        if (name.rfind("loop", 0) == 0) return kBusFileBackedVirtual;
        if (name.rfind("md", 0) == 0) return kBusRaid;
        return kBusVirtual;
    }
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "usb"); })) return kBusUsb;
    if (any([](std::string_view p) { return p == "firewire" || StartsWithThenDigit(p, "fw"); })) return kBus1394;
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "nvme") || p == "nvme-subsystem"; })) return kBusNvme;
    if (any([](std::string_view p) { return p == "mmc_host"; }))
        return SysText(disk + "/device/type") == "MMC" ? kBusMmc : kBusSd;
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "ata"); })) return kBusSata;
    if (any([](std::string_view p) { return p.rfind("rport-", 0) == 0; })) return kBusFibre;
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "session"); })) return kBusIScsi;
    if (any([](std::string_view p) { return p.rfind("end_device-", 0) == 0; })) return kBusSas;
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "virtio"); })) return kBusVirtual;
    if (any([](std::string_view p) { return StartsWithThenDigit(p, "host") || StartsWithThenDigit(p, "target"); }))
        return kBusScsi;
    return kBusUnknown;
}

// The udev name links (/dev/disk/by-label, by-uuid) that point at a device; the names
// carry "\xHH" for bytes a file name cannot hold.
std::string LinkNameFor(const std::string& folder, const std::string& kernelName) {
    std::string found;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return found;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        char target[4096];
        const ssize_t n = ::readlink((folder + "/" + name).c_str(), target, sizeof target - 1);
        if (n <= 0 || BaseName(std::string_view(target, static_cast<std::size_t>(n))) != kernelName) continue;
        for (std::size_t i = 0; i < name.size(); ++i) {
            auto hex = [](char c) { return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1; };
            if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && hex(name[i + 2]) >= 0 &&
                hex(name[i + 3]) >= 0) {
                found += static_cast<char>(hex(name[i + 2]) * 16 + hex(name[i + 3]));
                i += 3;
            } else {
                found += name[i];
            }
        }
        break;
    }
    ::closedir(dir);
    return found;
}

struct Resolved {
    std::string folder;
    Mount mount;
};

std::optional<Resolved> Resolve(char letter) {
    std::string folder = DriveFolder(letter);
    if (folder.empty()) return std::nullopt;
    auto mount = MountOf(folder);
    if (!mount) {
        SetLastErrorCode(kErrorNotReady);
        return std::nullopt;
    }
    return Resolved{std::move(folder), std::move(*mount)};
}

}  // namespace

std::string DriveLetters() {
    std::string letters;
    for (char c = 'A'; c <= 'Z'; ++c)
        if (ToHostPath(std::string(1, c) + ":\\")) letters += c;
    return letters;
}

unsigned int QueryDriveKind(char letter) {
    try {
        if (DriveFolder(letter).empty()) return kDriveNoRootDir;
        auto r = Resolve(letter);
        if (!r) return kDriveUnknown;
        const std::string& type = r->mount.type;
        if (type == "tmpfs" || type == "ramfs") return kDriveRamDisk;
        if (type == "iso9660" || type == "udf") return kDriveCdRom;
        if (IsNetworkType(type) || r->mount.source.rfind("//", 0) == 0) return kDriveRemote;
        const std::string entry = BlockEntry(r->mount);
        if (!entry.empty() && SysText(DiskOf(entry) + "/removable") == "1") return kDriveRemovable;
        return kDriveFixed;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return kDriveUnknown;
    }
}

bool QueryVolumeFacts(char letter, VolumeFacts& facts) {
    try {
        auto r = Resolve(letter);
        if (!r) return false;
        facts = VolumeFacts{};
        facts.fileSystem = r->mount.type;
        facts.device = r->mount.source;
        const std::string entry = BlockEntry(r->mount);
        if (!entry.empty()) {
            const std::string name = BaseName(entry);
            const std::string dev = posix::SystemRoot() + "/dev/disk/";
            facts.device = "/dev/" + name;
            facts.label = LinkNameFor(dev + "by-label", name);
            const std::string uuid = LinkNameFor(dev + "by-uuid", name);
            if (!uuid.empty()) facts.volumeName = "\\\\?\\Volume{" + uuid + "}\\";
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool QueryDiskSpace(char letter, std::uint64_t& freeToCaller, std::uint64_t& total) {
    try {
        const std::string folder = DriveFolder(letter);
        if (folder.empty()) return false;
        struct statvfs vfs {};
        if (::statvfs(folder.c_str(), &vfs) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
        freeToCaller = static_cast<std::uint64_t>(vfs.f_bavail) * unit;
        total = static_cast<std::uint64_t>(vfs.f_blocks) * unit;
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool QueryClusterGeometry(char letter, std::uint32_t& sectorsPerCluster, std::uint32_t& bytesPerSector) {
    try {
        auto r = Resolve(letter);
        if (!r) return false;
        struct statvfs vfs {};
        if (::statvfs(r->folder.c_str(), &vfs) != 0) {
            SetLastErrorFromErrno(errno);
            return false;
        }
        // A volume without a disk (memory, network) is counted in 512-byte sectors.
        std::uint64_t sector = 512;
        const std::string entry = BlockEntry(r->mount);
        if (!entry.empty()) {
            const std::uint64_t s = std::strtoull(SysText(DiskOf(entry) + "/queue/logical_block_size").c_str(), nullptr, 10);
            if (s >= 512 && s <= 65536) sector = s;
        }
        const std::uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
        bytesPerSector = static_cast<std::uint32_t>(sector);
        sectorsPerCluster = static_cast<std::uint32_t>(std::max<std::uint64_t>(1, std::min<std::uint64_t>(unit / sector, 0xFFFFFFFFu)));
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

bool QueryDiskFacts(char letter, DiskFacts& facts) {
    try {
        auto r = Resolve(letter);
        if (!r) return false;
        const std::string entry = BlockEntry(r->mount);
        if (entry.empty()) {
            SetLastErrorCode(kErrorNotSupported);
            return false;
        }
        const std::string disk = DiskOf(entry);
        facts = DiskFacts{};
        facts.bus = BusOfPath(disk);
        facts.vendor = SysText(disk + "/device/vendor");
        facts.product = SysText(disk + "/device/model");
        facts.serial = SysText(disk + "/device/serial");
        // A USB disk's serial number sits on the USB device, a few folders up.
        for (std::string up = Parent(disk); facts.serial.empty() && up.find("/sys/devices/") != std::string::npos;
             up = Parent(up))
            facts.serial = SysText(up + "/serial");
        if (facts.serial.empty()) {
            // SCSI inquiry page 0x80: four header bytes, then the serial number.
            auto page = ReadSmall(disk + "/device/vpd_pg80", 4096);
            if (page && page->size() > 4) {
                const std::size_t len = std::min<std::size_t>(static_cast<unsigned char>((*page)[3]), page->size() - 4);
                facts.serial = page->substr(4, len);
            }
        }
        return true;
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
        return false;
    }
}

std::vector<TrashFolder> UserTrashFolders(const std::string& driveLetters) {
    std::vector<TrashFolder> out;
    try {
        std::set<std::string> seen;
        auto add = [&](const std::string& host, const std::string& base) {
            struct stat st {};
            // Only a real folder of this user; a planted link or someone else's folder is not ours.
            if (::lstat(host.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid()) return;
            const std::string real = RealPath(host);
            if (real.empty() || !seen.insert(real).second) return;
            std::string path = FromHostPath(real);
            if (path.empty() || path.back() != '\\') path += '\\';
            std::string rel;
            if (!base.empty()) {
                rel = FromHostPath(base);
                if (rel.empty() || rel.back() != '\\') rel += '\\';
            }
            out.push_back({std::move(path), std::move(rel)});
        };
        std::string data;
        if (const char* v = std::getenv("XDG_DATA_HOME"); v && *v == '/') data = v;
        else if (const char* home = std::getenv("HOME"); home && *home) data = std::string(home) + "/.local/share";
        if (!data.empty()) add(data + "/Trash", std::string());
        const std::string uid = std::to_string(::getuid());
        for (char letter : driveLetters) {
            const std::string folder = DriveFolder(letter);
            if (folder.empty()) continue;
            const auto mount = MountOf(folder);
            const std::string top = mount ? mount->point : folder;
            const std::string prefix = top == "/" ? std::string() : top;
            struct stat st {};
            // An administrator's shared .Trash counts only when sticky and not a link.
            if (::lstat((prefix + "/.Trash").c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX))
                add(prefix + "/.Trash/" + uid, top);
            add(prefix + "/.Trash-" + uid, top);
        }
    } catch (...) {
        SetLastErrorCode(kErrorNotEnoughMemory);
    }
    return out;
}

}  // namespace vutil::platform
