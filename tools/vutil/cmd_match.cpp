// vutil match: tests texts against a wildcard specification with CStringUtils::MatchSpec.

#include <iostream>

#include "command.h"
#include "vutil/text/string_utils.h"

namespace {

int RunMatch(const std::vector<std::string>& args) {
    bool caseSensitive = false;
    std::vector<std::string> operands;
    for (const auto& a : args) {
        if (a == "--case") caseSensitive = true;
        else if (a.size() > 2 && a.compare(0, 2, "--") == 0) return vutil::cli::UsageError("match", "unknown option '" + a + "'");
        else operands.push_back(a);
    }
    if (operands.size() < 2) return vutil::cli::UsageError("match", "need a specification and at least one text");
    const vutil::CString spec(operands[0]);
    int matched = 0;
    for (std::size_t i = 1; i < operands.size(); ++i) {
        const vutil::CString text(operands[i]);
        if (!vutil::CStringUtils::MatchSpec(text, spec, caseSensitive)) continue;
        std::cout << operands[i] << '\n';
        ++matched;
    }
    // Like grep: 0 when something matched, 1 when nothing did.
    return matched > 0 ? 0 : 1;
}

vutil::cli::Register reg({"match", "[--case] <spec> <text>...",
                          "print the texts that match a wildcard specification (--case: case-sensitive)", RunMatch});

}  // namespace
