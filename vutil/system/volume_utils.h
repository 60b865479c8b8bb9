#pragma once
// CVolumeUtils: drive letters, their kinds, labels, file systems, space, geometry,
// volume identifiers and the hardware behind them. A fixed disk on the USB bus is
// reported as removable.

#include <cstdint>

#include "vutil/framework/collections.h"
#include "vutil/framework/cstring.h"

namespace vutil {

// The storage bus numbers; 7 is USB.
enum STORAGE_BUS_TYPE : int {
    BusTypeUnknown = 0,
    BusTypeScsi = 1,
    BusTypeAtapi = 2,
    BusTypeAta = 3,
    BusType1394 = 4,
    BusTypeSsa = 5,
    BusTypeFibre = 6,
    BusTypeUsb = 7,
    BusTypeRAID = 8,
    BusTypeiScsi = 9,
    BusTypeSas = 10,
    BusTypeSata = 11,
    BusTypeSd = 12,
    BusTypeMmc = 13,
    BusTypeVirtual = 14,
    BusTypeFileBackedVirtual = 15,
    BusTypeSpaces = 16,
    BusTypeNvme = 17,
};

class CVolumeUtils {
public:
    // Drive kinds: 0 undetermined, 1 no root directory, 2 removable, 3 fixed, 4 remote,
    // 5 CD-ROM, 6 RAM disk.
    static unsigned int GetDriveTypeA(const CString& drive);
    static STORAGE_BUS_TYPE GetBusType(const CString& drive);
    // Parallel lists, one entry per drive letter; any output may be null.
    static void GetDriveInformation(CStringArray* roots, CUIntArray* types, CStringArray* labels,
                                    CStringArray* fileSystems);
    static bool IsDriveValid(const CString& drive);
    static void GetDriveSpaceInfo(const CString& drive, std::uint64_t& totalBytes, std::uint64_t& freeBytes,
                                  double& percentFree);
    static void GetClusterInfo(const CString& drive, unsigned long& sectorsPerCluster, unsigned long& bytesPerSector);
    static bool IsFloppyDrive(const CString& drive, bool ignoreLength);
    static void GetDriveGUID(const CString& drive, CString& volumeGuid, CString& dosDevice);
    static void GetHardwareInfo(const CString& drive, CString& product, CString& vendor, CString& serial);
};

}  // namespace vutil
