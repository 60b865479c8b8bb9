#include "vutil/system/volume_utils.h"

#include <algorithm>
#include <string>

#include "vutil/core/app_logger.h"
#include "vutil/dates/locale_utils.h"
#include "vutil/platform/volume.h"
#include "vutil/text/string_utils.h"

namespace vutil {

namespace {

void Log(const char* site) {
    if (CAppLogger* log = CAppLogger::GetInstance()) log->AddLine(site);
}

// The letters A and B stand for floppy drives, which are never probed.
bool IsFloppyLetter(char c) { return c == 'A' || c == 'B' || c == 'a' || c == 'b'; }

}  // namespace

unsigned int CVolumeUtils::GetDriveTypeA(const CString& drive) {
    if (drive.GetLength() < 3) return platform::kDriveUnknown;
    const unsigned int kind = platform::QueryDriveKind(drive[0]);
    if (kind == platform::kDriveFixed && GetBusType(drive) == BusTypeUsb) return platform::kDriveRemovable;
    return kind;
}

STORAGE_BUS_TYPE CVolumeUtils::GetBusType(const CString& drive) {
    if (drive.GetLength() < 3) return BusTypeUnknown;
    platform::DiskFacts facts;
    if (!platform::QueryDiskFacts(drive[0], facts)) return BusTypeUnknown;
    return static_cast<STORAGE_BUS_TYPE>(facts.bus);
}

void CVolumeUtils::GetDriveInformation(CStringArray* roots, CUIntArray* types, CStringArray* labels,
                                       CStringArray* fileSystems) {
    // The drive strings as the system hands them over: "C:\" and a terminator each.
    constexpr std::size_t kBufferChars = 105;
    std::string strings;
    for (char letter : platform::DriveLetters()) {
        strings += letter;
        strings += ":\\";
        strings += '\0';
    }
    if (strings.size() + 1 > kBufferChars) {
        Log("{06587180-C1AA-451B-B953-60A2252C9C3C}");
        return;
    }
    for (std::size_t i = 0; i + 3 < strings.size() + 1 && strings[i] != '\0'; i += 4) {
        const CString root(strings.substr(i, 3));
        if (roots) roots->Add(root);
        if (types) types->Add(GetDriveTypeA(root));
        if (!labels && !fileSystems) continue;
        CString label, fileSystem;
        platform::VolumeFacts facts;
        if (!IsFloppyLetter(root[0]) && platform::QueryVolumeFacts(root[0], facts)) {
            label = CString(facts.label);
            fileSystem = CString(facts.fileSystem);
        }
        if (labels) labels->Add(label);
        if (fileSystems) fileSystems->Add(fileSystem);
    }
}

bool CVolumeUtils::IsDriveValid(const CString& drive) {
    if (CStringUtils::IsEffectivelyEmpty(drive)) {
        Log("{7F88C7E1-389D-485E-8E19-0E77DE6677D9}");
        return false;
    }
    if (drive.GetLength() < 3) {
        Log("{5ED7135F-B6DE-41B2-9FE9-BC61F29B166A}");
        return false;
    }
    platform::VolumeFacts facts;
    return platform::QueryVolumeFacts(drive[0], facts);
}

void CVolumeUtils::GetDriveSpaceInfo(const CString& drive, std::uint64_t& totalBytes, std::uint64_t& freeBytes,
                                     double& percentFree) {
    totalBytes = freeBytes = 0;
    percentFree = 0;
    if (drive.IsEmpty()) {
        Log("{4B5CA109-2DCC-4079-8AF0-703FAFEAAC9C}");
        return;
    }
    if (!platform::QueryDiskSpace(drive[0], freeBytes, totalBytes)) {
        freeBytes = totalBytes = 0;
        Log("{271E8816-46BE-4B23-8410-287ED2429A80}");
        return;
    }
    if (totalBytes == 0) return;
    // Ten to the power of the locale's fractional digits; more than 18 would not fit.
    const unsigned int digits = std::min(CLocaleUtils::GetNumberFractionalDigits(), 18u);
    std::uint64_t m = 1;
    for (unsigned int i = 0; i < digits; ++i) m *= 10;
    // 128 bits keep the product exact on disks of many petabytes.
    __extension__ using Wide = unsigned __int128;
    const Wide scaled = static_cast<Wide>(m) * freeBytes * 100 / totalBytes;
    percentFree = static_cast<double>(scaled) / static_cast<double>(m);
}

void CVolumeUtils::GetClusterInfo(const CString& drive, unsigned long& sectorsPerCluster,
                                  unsigned long& bytesPerSector) {
    sectorsPerCluster = bytesPerSector = 0;
    if (drive.GetLength() != 3) {
        Log("{5A9894F9-9FDA-43DE-ACE6-D9E46F511091}");
        return;
    }
    std::uint32_t spc = 0, bps = 0;
    if (!platform::QueryClusterGeometry(drive[0], spc, bps)) return;
    sectorsPerCluster = spc;
    bytesPerSector = bps;
}

bool CVolumeUtils::IsFloppyDrive(const CString& drive, bool ignoreLength) {
    if (!ignoreLength && drive.GetLength() > 3) return false;
    return CStringUtils::MatchFirstChars(drive, "a:", false) || CStringUtils::MatchFirstChars(drive, "b:", false);
}

void CVolumeUtils::GetDriveGUID(const CString& drive, CString& volumeGuid, CString& dosDevice) {
    volumeGuid.Empty();
    dosDevice.Empty();
    if (drive.IsEmpty()) return;
    platform::VolumeFacts facts;
    if (!platform::QueryVolumeFacts(drive[0], facts)) return;
    const CString name(facts.volumeName);
    int open = -1, close = -1;
    CStringUtils::FindOccurrencePair(name, "{", "}", 1, open, close);
    volumeGuid = open >= 0 && close > open ? name.Mid(open, close - open + 1) : name;
    if (drive.GetLength() >= 2 && drive[1] == ':') dosDevice = CString(facts.device);
}

void CVolumeUtils::GetHardwareInfo(const CString& drive, CString& product, CString& vendor, CString& serial) {
    product.Empty();
    vendor.Empty();
    serial.Empty();
    if (drive.GetLength() < 3) return;
    platform::DiskFacts facts;
    if (!platform::QueryDiskFacts(drive[0], facts)) return;
    product = CString(facts.product);
    vendor = CString(facts.vendor);
    serial = CString(facts.serial);
    CStringUtils::Trim(product);
    CStringUtils::Trim(vendor);
    CStringUtils::Trim(serial);
}

}  // namespace vutil
