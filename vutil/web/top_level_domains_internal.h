#pragma once
// The top-level domains that address validation and link filtering accept. One list
// for both, so the two never disagree.

#include <span>
#include <string_view>

namespace vutil::web_internal {

// Lower case, in byte (alphabetical) order.
std::span<const std::string_view> TopLevelDomains();
// Exact, case-sensitive membership.
bool IsTopLevelDomain(std::string_view name);

}  // namespace vutil::web_internal
