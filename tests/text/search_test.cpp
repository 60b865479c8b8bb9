// Occurrence, whole-word and pair searches; FindInList's search order.

#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/string_lists.h"
#include "support/test_support.h"
#include "vutil/text/string_utils.h"

using namespace vutil;
using vutil::test::ListOf;

namespace {

struct WholeWordCase {
    const char* text;
    const char* word;
    int n;
    int start;
    int expected;
};

class WholeWord : public ::testing::TestWithParam<WholeWordCase> {};

TEST_P(WholeWord, Index) {
    const WholeWordCase& c = GetParam();
    EXPECT_EQ(CStringUtils::FindWholeWordMatch(c.text, c.word, c.n, c.start), c.expected)
        << '"' << c.text << "\" / \"" << c.word << "\" n=" << c.n << " start=" << c.start;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WholeWord,
    // Python's regular expression below holds the rest; these bytes lie outside its alphabet.
    ::testing::Values(WholeWordCase{"(cat)", "cat", 1, 0, 1},                    // punctuation both sides
                      WholeWordCase{"\xA0" "cat\xA0", "cat", 1, 0, -1}));        // 0xA0 is no boundary

struct PairCase {
    const char* text;
    const char* open;
    const char* close;
    int n;
    int openPos;
    int closePos;
};

class OccurrencePair : public ::testing::TestWithParam<PairCase> {};

TEST_P(OccurrencePair, Positions) {
    const PairCase& c = GetParam();
    int o = 123;
    int cl = 456;
    CStringUtils::FindOccurrencePair(c.text, c.open, c.close, c.n, o, cl);
    EXPECT_EQ(o, c.openPos) << c.text << " n=" << c.n;
    EXPECT_EQ(cl, c.closePos) << c.text << " n=" << c.n;
}

INSTANTIATE_TEST_SUITE_P(Cases, OccurrencePair,
                         ::testing::Values(PairCase{"((a)(b))", "(", ")", 1, 1, 3},  // innermost opener
                                           PairCase{"((a)(b))", "(", ")", 2, 4, 6},
                                           PairCase{"((a)(b))", "(", ")", 3, -1, -1},
                                           PairCase{"<b>x</b> <b>y</b>", "<b>", "</b>", 2, 9, 13},
                                           PairCase{"))(", "(", ")", 1, -1, -1},  // no closer after opener
                                           PairCase{"()", "(", ")", 0, -1, -1},
                                           PairCase{"abc", "(", ")", 1, -1, -1},
                                           PairCase{"[[x]]", "[[", "]]", 1, 0, 3},
                                           PairCase{"[[[x]]", "[[", "]]", 1, 0, 4},  // inner [[ overlaps the opener
                                           PairCase{"()", "", ")", 1, -1, -1}, PairCase{"()", "(", "", 1, -1, -1}));

int IndexOf(const CStringList& list, POSITION target) {
    int i = 0;
    for (POSITION pos = list.GetHeadPosition(); pos; ++i) {
        if (pos == target) return i;
        list.GetNext(pos);
    }
    return -1;
}

TEST(Search, FindInListWalksFromBothEnds) {
    CStringList list = ListOf({"x", "dup", "a", "b", "c", "dup"});
    // first, last: the duplicate at the end is met before the one near the front
    EXPECT_EQ(IndexOf(list, CStringUtils::FindInList("dup", list, true)), 5);
    EXPECT_EQ(IndexOf(list, CStringUtils::FindInList("b", list, true)), 3);
    EXPECT_EQ(IndexOf(list, CStringUtils::FindInList("B", list, false)), 3);
    EXPECT_EQ(CStringUtils::FindInList("B", list, true), nullptr);
    CStringList odd = ListOf({"a", "DUP", "mid", "dup", "z"});
    EXPECT_EQ(IndexOf(odd, CStringUtils::FindInList("dup", odd, false)), 1);  // second before second-to-last
    EXPECT_EQ(IndexOf(odd, CStringUtils::FindInList("mid", odd, true)), 2);   // the walks meet in the middle
    CStringList empty;
    EXPECT_EQ(CStringUtils::FindInList("a", empty, true), nullptr);
}

// Independent oracle: Python's bytes.count / find / rfind and a regular expression for
// whole words, over random texts rich in repeats, blanks and punctuation.
TEST(Search, AgreesWithPython) {
    if (!vutil::test::HaveProgram("python3")) GTEST_SKIP() << "python3 not installed";
    vutil::test::TempDir dir;
    const std::string script = R"PY(
import re, string, sys
punct = re.escape(string.punctuation.encode())
bound = b'[\\s' + punct + b']'
def blank(h): return h.strip() == b''
def nth(h, s, n):
    if not s or n <= 0 or blank(h): return -1
    pos, start = -1, 0
    for _ in range(n):
        pos = h.find(s, start)
        if pos < 0: return -1
        start = pos + len(s)
    return pos
def whole(t, w, n, start):
    if not w or len(t) < len(w) or blank(t): return -1
    nb = b'[^\\s' + punct + b']'
    pat = re.compile(b'(?=(?<!' + nb + b')' + re.escape(w) + b'(?!' + nb + b'))')
    hits = [m.start() for m in pat.finditer(t) if m.start() >= start]
    return hits[n - 1] if n >= 1 and len(hits) >= n else -1
out = []
for line in open(sys.argv[1]):
    t, s, n, start = line.split()
    t, s, n, start = bytes.fromhex(t[1:]), bytes.fromhex(s[1:]), int(n), int(start)
    cnt = 0 if not s or blank(t) else t.count(s)
    cnti = 0 if not s or blank(t) else t.lower().count(s.lower())
    last = -1 if not t or not s else t.rfind(s)
    out.append('%d %d %d %d %d %d' % (cnt, cnti, nth(t, s, n), nth(t.lower(), s.lower(), n), last, whole(t, s, n, start)))
open(sys.argv[2], 'w').write('\n'.join(out) + '\n')
)PY";
    vutil::test::WriteFileBytes(dir.File("oracle.py"), script);

    std::mt19937 gen(7);
    const std::string alphabet = "aAbB .,-\t\xE9";
    auto random = [&](std::size_t maxLen) {
        std::string s(gen() % (maxLen + 1), ' ');
        for (char& c : s) c = alphabet[gen() % alphabet.size()];
        return s;
    };
    struct Input {
        std::string text, sub;
        int n, start;
    };
    std::vector<Input> inputs;
    std::ostringstream file;
    for (int i = 0; i < 3000; ++i) {
        Input in{random(24), random(3), static_cast<int>(gen() % 4), static_cast<int>(gen() % 5)};
        file << 'x' << vutil::test::PlainHex(in.text) << " x" << vutil::test::PlainHex(in.sub) << ' ' << in.n << ' ' << in.start << '\n';
        inputs.push_back(in);
    }
    vutil::test::WriteFileBytes(dir.File("in.txt"), file.str());
    ASSERT_EQ(vutil::test::RunCommand("python3 " + dir.File("oracle.py") + " " + dir.File("in.txt") + " " +
                                      dir.File("out.txt")),
              0);
    std::istringstream results(vutil::test::ReadFileBytes(dir.File("out.txt")));
    for (const Input& in : inputs) {
        int cnt, cnti, nth, nthi, last, whole;
        ASSERT_TRUE(results >> cnt >> cnti >> nth >> nthi >> last >> whole);
        CString t(in.text);
        CString s(in.sub);
        SCOPED_TRACE("text=" + vutil::test::Hex(in.text) + " sub=" + vutil::test::Hex(in.sub) +
                     " n=" + std::to_string(in.n) + " start=" + std::to_string(in.start));
        EXPECT_EQ(CStringUtils::FindOccurrences(t, s, true), cnt);
        EXPECT_EQ(CStringUtils::FindOccurrences(t, s, false), cnti);
        EXPECT_EQ(CStringUtils::FindOccurrenceIndex(t, s, in.n, true), nth);
        EXPECT_EQ(CStringUtils::FindOccurrenceIndex(t, s, in.n, false), nthi);
        EXPECT_EQ(CStringUtils::FindLast(t, s), last);
        EXPECT_EQ(CStringUtils::FindWholeWordMatch(t, s, in.n, in.start), whole);
    }
}

}  // namespace
