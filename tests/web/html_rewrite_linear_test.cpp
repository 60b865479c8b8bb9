// Entity decoding and empty link titles: the one-pass versions against the literal
// rules (restart after every replacement), and their time on hostile input.

#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "vutil/text/string_utils.h"
#include "vutil/web/html_utils.h"
#include "vutil/web/tag_conv_utils.h"

namespace vutil {
namespace {

// The decoding rule done literally: leftmost "&...;" candidate, every occurrence
// replaced, start again from the top. The table is written out here on its own.
std::string LiteralDecode(std::string s, bool remove, bool blank) {
    static const std::map<std::string, char> table = [] {
        std::map<std::string, char> m;
        const char* named[] = {"nbsp", "lt", "gt", "amp", "quot", "apos", "laquo", "raquo", "reg", "trade",
                               "copy", "shy", "deg", "plusmin", "sup1", "sup2", "sup3", "micro", "frac14",
                               "frac12", "frac34", "times", "divide", "mdash", "ndash", "ldquo", "rdquo",
                               "lsquo", "rsquo"};
        const unsigned char bytes[] = {0x20, 0x3C, 0x3E, 0x26, 0x22, 0x60, 0x93, 0x94, 0xAE, 0x99,
                                       0xA9, 0xAD, 0xB0, 0xB1, 0xB9, 0xB2, 0xB3, 0xB5, 0xBC,
                                       0xBD, 0xBE, 0xD7, 0xF7, 0x97, 0x96, 0x93, 0x94,
                                       0x91, 0x92};
        for (std::size_t i = 0; i < std::size(named); ++i) m[std::string("&") + named[i] + ";"] = char(bytes[i]);
        for (const char* n : {"09", "10", "13"}) m[std::string("&#") + n + ";"] = char(std::stoi(n));
        m["&#20;"] = ' ';
        for (int v : {149, 151, 153, 215, 247}) m["&#" + std::to_string(v) + ";"] = char(v);
        for (int v = 32; v <= 126; ++v) m["&#" + std::to_string(v) + ";"] = char(v);
        for (int v = 160; v <= 191; ++v) m["&#" + std::to_string(v) + ";"] = char(v);
        return m;
    }();
    std::size_t from = 0;
    while (true) {
        std::size_t p = s.find('&', from);
        if (p == std::string::npos) return s;
        const std::size_t q = s.find(';', p + 1);
        if (q == std::string::npos) return s;
        p = s.rfind('&', q);
        if (q - p > 10) return s;
        const std::string candidate = s.substr(p, q - p + 1);
        const auto it = table.find(candidate);
        if (candidate.find(' ') != std::string::npos || it == table.end()) {
            from = q + 1;
            continue;
        }
        const std::string with = blank ? std::string(candidate.size(), ' ') : remove ? "" : std::string(1, it->second);
        for (std::size_t at = s.find(candidate); at != std::string::npos; at = s.find(candidate, at + with.size()))
            s.replace(at, candidate.size(), with);
        from = 0;
    }
}

// The empty-title rule done literally: the n-th element counted afresh each time.
std::string LiteralEmptyTitle(std::string s, const std::string& tag) {
    auto replaceAll = [](std::string& in, const std::string& what, const std::string& with) {
        for (std::size_t at = in.find(what); at != std::string::npos; at = in.find(what, at + with.size()))
            in.replace(at, what.size(), with);
    };
    for (int n = 1;; ++n) {
        CString lower(s);
        lower.MakeLower();
        int p = -1, q = -1;
        CStringUtils::FindOccurrencePair(lower, "<a ", "/a>", n, p, q);
        if (p < 0) {
            replaceAll(s, tag, "");
            return s;
        }
        const std::size_t first = s.find(tag);
        if (first == std::string::npos || first < std::size_t(p) || first > std::size_t(q)) continue;
        std::string element = s.substr(std::size_t(p), std::size_t(q - p + 1));
        replaceAll(element, tag, "(none)");
        s = s.substr(0, std::size_t(p)) + element + s.substr(std::size_t(q) + 1);
    }
}

std::string Decode(const std::string& in, bool remove, bool blank) {
    CString t(in);
    CHTMLUtils::ReplaceHTMLReservedChars(t, remove, blank);
    return t.str();
}

std::string EmptyTitle(const std::string& in, const std::string& tag) {
    CString t(in);
    CTagConvUtils::ReplaceTitleTag(t, CString(tag), CString());
    return t.str();
}

std::string Random(std::mt19937& rng, const std::vector<std::string>& pieces, int most) {
    std::string s;
    for (int n = int(rng() % unsigned(most)); n > 0; --n) s += pieces[rng() % pieces.size()];
    return s;
}

TEST(EntityDecoding, SameAsTheLiteralRuleOnRandomText) {
    const std::vector<std::string> pieces = {"&", ";", "&amp;", "amp;", "&lt", "lt;", "#", "38", "59;", "#32;",
                                             " ", "x", "&gt;", "nbsp;", "&#", "abcdefgh", "&l", "t", "\xE9", "q;"};
    std::mt19937 rng(20240601);
    for (int i = 0; i < 60000; ++i) {
        const std::string in = Random(rng, pieces, 14);
        for (int mode = 0; mode < 3; ++mode) {
            const bool remove = mode == 1, blank = mode == 2;
            ASSERT_EQ(Decode(in, remove, blank), LiteralDecode(in, remove, blank)) << in << " mode " << mode;
        }
    }
}

TEST(EmptyTitle, SameAsTheLiteralRuleOnRandomText) {
    const std::vector<std::string> pieces = {"<a ", "<A ", "/a>", "</a>", "{T}", "x", " ", "<", "/", "a", "(T)"};
    const std::vector<std::string> tags = {"{T}", "T", "x", "a", "<a", "x/", " ", "(", "{T}x"};
    std::mt19937 rng(7);
    for (int i = 0; i < 40000; ++i) {
        const std::string in = Random(rng, pieces, 16);
        const std::string& tag = tags[rng() % tags.size()];
        if (in.find(tag) == std::string::npos) continue;
        ASSERT_EQ(EmptyTitle(in, tag), LiteralEmptyTitle(in, tag)) << in << " tag " << tag;
    }
}

double Seconds(const std::function<void()>& work) {
    // Processor time: a descheduled test on a shared machine does not count against it.
    const std::clock_t t0 = std::clock();
    work();
    return double(std::clock() - t0) / CLOCKS_PER_SEC;
}

// Doubling the input at most roughly doubles the time.
void ExpectLinear(const std::string& name, const std::function<std::string(int)>& make,
                  const std::function<void(CString&)>& run) {
    const CString once(make(1)), twice(make(2));
    double one = 1e9, two = 1e9;
    for (int i = 0; i < 5; ++i) {
        CString a(once), b(twice);
        one = std::min(one, Seconds([&] { run(a); }));
        two = std::min(two, Seconds([&] { run(b); }));
    }
    EXPECT_LT(two, 3.0 * one + 0.002) << name << ": " << one << " s then " << two << " s";
}

std::string Repeat(const std::string& unit, std::size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += unit;
    return s;
}

TEST(EntityDecoding, HostileInputTakesLinearTime) {
#ifdef _WIN32
    GTEST_SKIP() << "std::clock() is wall time on Windows and the system's CPU clocks tick too coarsely for these "
                    "millisecond runs; the platform-neutral code is measured on the other build";
#endif
    constexpr std::size_t kSize = 256u << 10;
    const std::vector<std::pair<std::string, std::function<std::string(int)>>> cases = {
        {"one deep chain", [](int k) { return "&" + Repeat("amp;", k * kSize); }},
        {"numeric chain", [](int k) { return "&" + Repeat("#38;", k * kSize); }},
        {"many chains", [](int k) { return Repeat("&amp;amp;amp;amp;amp;amp; ", k * kSize); }},
        {"open text before a chain", [](int k) { return "&" + std::string(k * kSize / 2, 'x') + "&" + Repeat("amp;", k * kSize / 2); }},
        {"values that close", [](int k) { return Repeat("&l", k * kSize / 2) + Repeat("&#116;;", k * kSize / 4); }},
    };
    for (const auto& [name, make] : cases)
        for (int mode = 0; mode < 3; ++mode)
            ExpectLinear(name + " mode " + std::to_string(mode), make,
                         [mode](CString& t) { CHTMLUtils::ReplaceHTMLReservedChars(t, mode == 1, mode == 2); });
}

TEST(EmptyTitle, ManyLinkElementsTakeLinearTime) {
    ExpectLinear("titled links", [](int k) { return Repeat("<a href='p.htm'>{T}</a> ", k * (128u << 10)); },
                 [](CString& t) { CTagConvUtils::ReplaceTitleTag(t, CString("{T}"), CString()); });
}

}  // namespace
}  // namespace vutil
