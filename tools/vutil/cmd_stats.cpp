// vutil stats: descriptive statistics of the numbers on standard input (separated by
// white space) with CStatistics.

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "command.h"
#include "vutil/numeric/statistics.h"
#include "vutil/platform/terminal.h"

namespace {

using vutil::CStatistics;

constexpr const char* kName = "stats";

// A finite decimal number and nothing else.
bool ParseNumber(const std::string& token, double& v) {
    char* end = nullptr;
    v = std::strtod(token.c_str(), &end);
    return end == token.c_str() + token.size() && std::isfinite(v);
}

std::string Show(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", v);
    return text;
}

int RunStats(const std::vector<std::string>& args) {
    long trim = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--trim" && i + 1 < args.size()) {
            char* end = nullptr;
            trim = std::strtol(args[++i].c_str(), &end, 10);
            if (*end != '\0' || args[i].empty() || trim < 0 || trim > 100)
                return vutil::cli::UsageError(kName, "--trim needs a percentage from 0 to 100");
        } else {
            return vutil::cli::UsageError(kName, "unknown argument '" + args[i] + "'");
        }
    }

    const bool progress = vutil::platform::StreamIsTerminal(vutil::platform::StdStream::Error);
    std::vector<double> sample;
    std::string token;
    unsigned long long line = 1;
    std::vector<char> buffer(1 << 16);
    for (bool more = true; more;) {
        const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), stdin);
        more = got > 0;
        // One pass over the block, plus a final separator at the end of the input.
        for (std::size_t i = 0; i <= got; ++i) {
            const int c = i < got ? static_cast<unsigned char>(buffer[i]) : (more ? -1 : ' ');
            if (c < 0) break;
            if (!std::isspace(c)) {
                token += static_cast<char>(c);
                continue;
            }
            if (!token.empty()) {
                double v = 0;
                if (!ParseNumber(token, v)) {
                    if (progress) std::fputs("\r\033[K", stderr);
                    std::cerr << "vutil stats: line " << line << ": '" << token << "' is not a number\n";
                    return 1;
                }
                sample.push_back(v);
                token.clear();
                if (progress && (sample.size() & 0xFFFFF) == 0)
                    std::fprintf(stderr, "\rreading: %zu numbers", sample.size());
            }
            if (c == '\n') ++line;
        }
    }
    if (progress) std::fputs("\r\033[K", stderr);
    if (trim >= 0) CStatistics::TrimSample(sample, static_cast<unsigned int>(trim));

    double minimum = 0, maximum = 0;
    CStatistics::GetSampleRange(sample, minimum, maximum);
    unsigned int modeCount = 0;
    const int mode = CStatistics::GetSampleMode(sample, modeCount);
    std::cout << "count: " << sample.size() << '\n'
              << "sum: " << Show(CStatistics::GetSumTotal(sample)) << '\n'
              << "mean: " << Show(CStatistics::GetSampleMean(sample)) << '\n'
              << "median: " << Show(CStatistics::GetSampleMedian(sample)) << '\n'
              << "standard deviation: " << Show(CStatistics::GetSampleStandardDeviation(sample)) << '\n'
              << "mode: " << mode << " (" << modeCount << " times)\n"
              << "minimum: " << Show(minimum) << '\n'
              << "maximum: " << Show(maximum) << '\n';
    return 0;
}

vutil::cli::Register reg({kName, "[--trim P] < numbers",
                          "count, sum, mean, median, standard deviation, mode and range of the numbers on "
                          "standard input (--trim: drop the top P % and as many from the bottom first)",
                          RunStats});

}  // namespace
