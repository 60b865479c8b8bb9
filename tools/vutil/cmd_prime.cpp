// vutil prime: the next prime at or above a number, and primality, with CPrime.

#include <charconv>
#include <iostream>
#include <string>

#include "command.h"
#include "vutil/numeric/prime.h"

namespace {

constexpr const char* kName = "prime";

bool ParseUnsigned32(const std::string& text, unsigned int& n) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, n);
    return !text.empty() && ec == std::errc() && ptr == end;
}

int RunPrime(const std::vector<std::string>& args) {
    if (args.size() != 2 || (args[0] != "next" && args[0] != "is"))
        return vutil::cli::UsageError(kName, "expected 'next <n>' or 'is <n>'");
    unsigned int n = 0;
    if (!ParseUnsigned32(args[1], n))
        return vutil::cli::UsageError(kName, "'" + args[1] + "' is not a number from 0 to 4294967295");
    if (args[0] == "next")
        std::cout << vutil::CPrime::GetNearestPrimeNumber(n) << '\n';
    else
        std::cout << (vutil::CPrime::IsPrime(n) ? "prime" : "not prime") << '\n';
    return 0;
}

vutil::cli::Register reg({kName, "next <n> | is <n>",
                          "the smallest prime at or above n (the number itself past the last 32-bit prime), "
                          "or whether n is prime",
                          RunPrime});

}  // namespace
