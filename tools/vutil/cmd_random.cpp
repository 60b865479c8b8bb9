// vutil random: 32-bit numbers from the system's cryptographic source, and random
// orderings of 1 ... N, with CRandomNumberGen.

#include <charconv>
#include <climits>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/numeric/random_number_gen.h"

namespace {

constexpr const char* kName = "random";

bool ParseCount(const std::string& text, long long& n) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, n);
    return !text.empty() && ec == std::errc() && ptr == end;
}

int RunRandom(const std::vector<std::string>& args) {
    long long count = -1, permutation = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string option = args[i];
        const bool isCount = option == "--count";
        if (!isCount && option != "--permutation")
            return vutil::cli::UsageError(kName, "unknown argument '" + option + "'");
        long long n = 0;
        if (i + 1 == args.size() || !ParseCount(args[++i], n) || n < 0)
            return vutil::cli::UsageError(kName, option + " needs a number");
        (isCount ? count : permutation) = n;
    }
    if (permutation >= 0 && (permutation < 2 || permutation > INT_MAX))
        return vutil::cli::UsageError(kName, "--permutation needs a number from 2 to 2147483647");
    if (count < 0 && permutation < 0) count = 1;

    const vutil::CRandomNumberGen gen;
    // Get() answers 0 both for a missing source and, rarely, for a real draw; the
    // ordering refuses to work without a source, which tells the two apart.
    std::vector<int> probe;
    gen.Get(0, 1, probe);
    if (probe.empty()) {
        std::cerr << "vutil random: the system has no cryptographic random source\n";
        return 1;
    }
    for (long long i = 0; i < count; ++i) std::cout << gen.Get() << '\n';
    if (permutation >= 0) {
        std::vector<int> order;
        gen.Get(1, static_cast<int>(permutation), order);
        std::string text;
        for (int v : order) text += std::to_string(v) + '\n';
        std::cout << text;
    }
    return 0;
}

vutil::cli::Register reg({kName, "[--count N] [--permutation N]",
                          "N random 32-bit numbers (one by default) and a random ordering of 1 ... N",
                          RunRandom});

}  // namespace
