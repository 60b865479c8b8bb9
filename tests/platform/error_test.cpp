// Error codes: errno mapping and message text.

#include <gtest/gtest.h>

#include <cerrno>

#include "vutil/platform/error.h"

namespace vutil {
namespace {

using namespace platform;

struct Mapping {
    int err;
    ErrorContext context;
    DWORD code;
};

class ErrnoMapping : public ::testing::TestWithParam<Mapping> {};

TEST_P(ErrnoMapping, GivesTheWindowsCode) {
    const Mapping& m = GetParam();
    EXPECT_EQ(ErrnoToError(m.err, m.context), m.code);
    EXPECT_EQ(SetLastErrorFromErrno(m.err, m.context), m.code);
    EXPECT_EQ(GetLastErrorCode(), m.code);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ErrnoMapping,
    ::testing::Values(Mapping{ENOENT, ErrorContext::kGeneral, 2}, Mapping{ENOTDIR, ErrorContext::kGeneral, 3},
                      Mapping{EACCES, ErrorContext::kGeneral, 5}, Mapping{EPERM, ErrorContext::kGeneral, 5},
                      Mapping{EBUSY, ErrorContext::kGeneral, 32}, Mapping{ETXTBSY, ErrorContext::kGeneral, 32},
                      Mapping{EEXIST, ErrorContext::kCreateFile, 80}, Mapping{EEXIST, ErrorContext::kCreateDirectory, 183},
                      Mapping{ENOSPC, ErrorContext::kGeneral, 112}, Mapping{ENAMETOOLONG, ErrorContext::kGeneral, 206},
                      Mapping{ENOTEMPTY, ErrorContext::kGeneral, 145}));

// The C library's texts and the unknown codes reach callers through CSystemUtils,
// whose suite holds them; here the sentences of our own.
TEST(ErrorMessage, OurOwnSentences) {
    EXPECT_FALSE(GetErrorMessage(kErrorRegistryCorrupt).empty());
    EXPECT_FALSE(GetErrorMessage(kErrorNoMoreItems).empty());
    EXPECT_EQ(GetErrorMessage(0xDEADBEEF), "");
}

}  // namespace
}  // namespace vutil
