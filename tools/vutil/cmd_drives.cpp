// vutil drives: the drive table with each drive's kind, bus, label, file system and space.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/platform/path.h"
#include "vutil/system/volume_utils.h"
#include "vutil/text/number_text_conv.h"

namespace {

using vutil::CString;
using vutil::CVolumeUtils;

const char* KindName(unsigned int kind) {
    static const char* const kNames[] = {"unknown", "no root", "removable", "fixed", "remote", "cd-rom", "ram disk"};
    return kind < 7 ? kNames[kind] : "unknown";
}

std::string BusName(int bus) {
    switch (bus) {
        case vutil::BusTypeScsi: return "SCSI";
        case vutil::BusTypeAta: return "ATA";
        case vutil::BusType1394: return "1394";
        case vutil::BusTypeFibre: return "Fibre";
        case vutil::BusTypeUsb: return "USB";
        case vutil::BusTypeRAID: return "RAID";
        case vutil::BusTypeiScsi: return "iSCSI";
        case vutil::BusTypeSas: return "SAS";
        case vutil::BusTypeSata: return "SATA";
        case vutil::BusTypeSd: return "SD";
        case vutil::BusTypeMmc: return "MMC";
        case vutil::BusTypeVirtual: return "virtual";
        case vutil::BusTypeFileBackedVirtual: return "file";
        case vutil::BusTypeNvme: return "NVMe";
        default: return "-";
    }
}

int RunDrives(const std::vector<std::string>& args) {
    bool bytes = false;
    for (const auto& a : args) {
        if (a == "--bytes") bytes = true;
        else return vutil::cli::UsageError("drives", "unknown argument '" + a + "'");
    }
    vutil::CStringArray roots, labels, systems;
    vutil::CUIntArray types;
    CVolumeUtils::GetDriveInformation(&roots, &types, &labels, &systems);
    std::vector<std::vector<std::string>> rows{{"drive", "folder", "kind", "bus", "label", "file system", "free/total", "free"}};
    for (int i = 0; i < roots.GetSize(); ++i) {
        const CString& root = roots[i];
        std::uint64_t total = 0, freeBytes = 0;
        double percent = 0;
        CVolumeUtils::GetDriveSpaceInfo(root, total, freeBytes, percent);
        const auto host = vutil::platform::ToHostPath(root.view());
        char pct[32];
        std::snprintf(pct, sizeof pct, "%.2f%%", percent);
        const std::string space =
            bytes ? std::to_string(freeBytes) + "/" + std::to_string(total)
                  : vutil::cli::Utf8(vutil::CNumberTextConv::ConvertToBytes(freeBytes)) + " / " +
                        vutil::cli::Utf8(vutil::CNumberTextConv::ConvertToBytes(total));
        rows.push_back({vutil::cli::Utf8(root), host ? *host : "", KindName(types[i]), BusName(CVolumeUtils::GetBusType(root)),
                        vutil::cli::Utf8(labels[i]), vutil::cli::Utf8(systems[i]), space, pct});
    }
    std::vector<std::size_t> widths(rows[0].size(), 0);
    for (const auto& r : rows)
        for (std::size_t c = 0; c < r.size(); ++c) widths[c] = std::max(widths[c], r[c].size());
    for (const auto& r : rows) {
        std::string line;
        for (std::size_t c = 0; c < r.size(); ++c) {
            line += r[c];
            if (c + 1 < r.size()) line += std::string(widths[c] - r[c].size() + 2, ' ');
        }
        std::cout << line << '\n';
    }
    return 0;
}

const vutil::cli::Register kDrives{{"drives", "[--bytes]",
                                    "Lists the drive letters: folder, kind, bus, label, file system, free and total "
                                    "space (--bytes: exact numbers), percentage free.",
                                    RunDrives}};

}  // namespace
