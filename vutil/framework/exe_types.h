#pragma once
// The headers of a Portable Executable file that the resource walk names, laid out as
// the format publishes them. Byte-packed, so a pointer to one may sit at any offset of
// a mapped file; fields are little-endian.

#include "vutil/framework/types.h"

namespace vutil {

#pragma pack(push, 1)

struct IMAGE_DOS_HEADER {
    WORD e_magic;  // "MZ"
    WORD e_cblp, e_cp, e_crlc, e_cparhdr, e_minalloc, e_maxalloc, e_ss, e_sp, e_csum, e_ip, e_cs, e_lfarlc,
        e_ovno;
    WORD e_res[4];
    WORD e_oemid, e_oeminfo;
    WORD e_res2[10];
    LONG e_lfanew;  // offset of the NT headers
};

struct IMAGE_RESOURCE_DIRECTORY {
    DWORD Characteristics;
    DWORD TimeDateStamp;
    WORD MajorVersion, MinorVersion;
    WORD NumberOfNamedEntries;
    WORD NumberOfIdEntries;
};

struct IMAGE_RESOURCE_DIRECTORY_ENTRY {
    DWORD Name;          // identifier, or (high bit) offset of a name
    DWORD OffsetToData;  // high bit: a subdirectory
};

struct IMAGE_RESOURCE_DATA_ENTRY {
    DWORD OffsetToData;  // relative virtual address
    DWORD Size;
    DWORD CodePage;
    DWORD Reserved;
};

#pragma pack(pop)

static_assert(sizeof(IMAGE_DOS_HEADER) == 64);
static_assert(sizeof(IMAGE_RESOURCE_DIRECTORY) == 16);
static_assert(sizeof(IMAGE_RESOURCE_DIRECTORY_ENTRY) == 8);
static_assert(sizeof(IMAGE_RESOURCE_DATA_ENTRY) == 16);

enum : DWORD {
    RT_ICON = 3,
    RT_GROUP_ICON = 14,
    IMAGE_RESOURCE_DATA_IS_DIRECTORY = 0x80000000,
};

}  // namespace vutil
