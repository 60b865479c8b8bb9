// The settings store: value round trips, what the store holds as the system's export
// format shows it, imports of Windows exports, damaged files, and writers in several
// processes. On Windows the store is the registry and each test gets a fresh key.

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <string>
#include <vector>

#include "support/registry_sandbox.h"
#include "support/settings_values.h"
#include "support/test_support.h"
#include "vutil/platform/error.h"
#include "vutil/platform/settings.h"

namespace vutil {
namespace {

using namespace platform;
using namespace test;

std::string Query(HKEY root, const std::string& key, const std::string& name, DWORD* type = nullptr) {
    HKEY h = nullptr;
    if (SettingsOpenKey(root, key, kKeyRead, &h) != 0) return "<no key>";
    DWORD size = 0;
    DWORD t = 0;
    std::string out = "<no value>";
    if (SettingsQueryValue(h, name, &t, nullptr, &size) == 0) {
        out.assign(size, '\0');
        EXPECT_EQ(SettingsQueryValue(h, name, &t, reinterpret_cast<BYTE*>(out.data()), &size), 0);
        if (type) *type = t;
    }
    SettingsCloseKey(h);
    return out;
}

LONG Set(HKEY root, const std::string& key, const std::string& name, DWORD type, const std::string& data) {
    return test::SetSettingsValue(root, key, name, type, data);
}

// Sub-key names, or value names, of a key in enumeration order.
std::vector<std::string> Names(HKEY root, const std::string& key, bool values) {
    std::vector<std::string> out;
    HKEY h = nullptr;
    if (SettingsOpenKey(root, key, kKeyRead, &h) != 0) return out;
    char name[260];
    for (DWORD i = 0;; ++i) {
        DWORD size = sizeof name;
        LONG rc = values ? SettingsEnumValue(h, i, name, &size, nullptr, nullptr, nullptr) : SettingsEnumKey(h, i, name, &size);
        if (rc != 0) break;
        out.emplace_back(name, size);
    }
    SettingsCloseKey(h);
    return out;
}

std::vector<std::string> SubKeys(HKEY root, const std::string& key) { return Names(root, key, false); }
std::vector<std::string> ValueNames(HKEY root, const std::string& key) { return Names(root, key, true); }

#ifndef _WIN32
// A second path for the same bytes forces a fresh parse, as another process would see it.
void Reopen(const TempDir& dir, const std::string& name) {
    std::string copy = dir.File(name);
    test::WriteFileBytes(copy, test::ReadFileBytes(SettingsLocation()));
    setenv("VUTIL_REGISTRY", copy.c_str(), 1);
}
#endif

// What the store holds, in the export format: the file itself on POSIX; on Windows the
// system's own export of the key (reg.exe, UTF-16), read back through our parser.
std::string ExportText(const TempDir& dir, const RegistrySandbox& box, const std::string& key) {
#ifdef _WIN32
    const std::string file = dir.File("export.reg");
    if (test::RunCommand("reg export \"" + box.Full(key) + "\" \"" + file + "\" /y") != 0) return "<reg export failed>";
    std::string text;
    EXPECT_TRUE(SettingsParseForTesting(test::ReadFileBytes(file), &text));
    return text;
#else
    (void)dir, (void)box, (void)key;
    return test::ReadFileBytes(SettingsLocation());
#endif
}

class SettingsStore : public ::testing::Test {
protected:
    TempDir dir;
    RegistrySandbox box;
};

template <std::size_t N>
std::string Lit(const char (&s)[N]) {
    return std::string(s, N - 1);
}

const std::string kHigh = test::Bytes({'c', 'a', 'f', 0xE9, ' ', 0x80, ' ', 0x9F, 0xFF, 0x81});

struct TypedValue {
    const char* label;
    std::string name;
    DWORD type;
    std::string data;     // as written
    std::string expected; // as read back
};

TEST_F(SettingsStore, EveryValueTypeSurvivesTheFile) {
    std::string text = std::string("quote \" back \\ equals = ") + kHigh;
    std::string multi = std::string("one\0two \\\"\0", 11) + kHigh + std::string("\0\0", 2);
    const std::vector<TypedValue> values = {
        {"sz", "plain", kRegSz, text, text + '\0'},
        {"name with quote", "a\"b\\c=d" + kHigh, kRegSz, "x", std::string("x\0", 2)},
        {"default", "", kRegSz, "default text", std::string("default text\0", 13)},
        {"at-sign", "@", kRegSz, "at", std::string("at\0", 3)},
        {"expand", "exp", kRegExpandSz, "%HOME%\\x" + kHigh, "%HOME%\\x" + kHigh + '\0'},
        {"multi", "multi", kRegMultiSz, multi, multi},
        {"multi without its end", "bare", kRegMultiSz, std::string("a\0b", 3), std::string("a\0b", 3)},
        {"dword", "dw", kRegDword, test::Bytes({0x2A, 0, 0, 0x80}), test::Bytes({0x2A, 0, 0, 0x80})},
        {"qword", "qw", kRegQword, test::Bytes({1, 2, 3, 4, 5, 6, 7, 0xFF}), test::Bytes({1, 2, 3, 4, 5, 6, 7, 0xFF})},
        {"binary", "bin", kRegBinary, std::string(300, '\xAB'), std::string(300, '\xAB')},
        {"empty binary", "nothing", kRegBinary, "", ""},
        {"sz with newline", "lines", kRegSz, "a\r\nb", std::string("a\r\nb\0", 5)},
        {"none", "none", kRegNone, "raw", "raw"},
    };
    for (const auto& v : values) ASSERT_EQ(Set(HKEY_CURRENT_USER, "Software\\Round\\Trip", v.name, v.type, v.data), 0) << v.label;
#ifndef _WIN32
    Reopen(dir, "copy.reg");
#endif
    for (const auto& v : values) {
        DWORD type = 0;
        EXPECT_EQ(test::Hex(Query(HKEY_CURRENT_USER, "software\\ROUND\\trip", v.name, &type)), test::Hex(v.expected)) << v.label;
        EXPECT_EQ(type, v.type) << v.label;
    }
    std::vector<std::string> names;
    for (const auto& v : values) names.push_back(v.name);
    EXPECT_EQ(test::EnumOrder(ValueNames(HKEY_CURRENT_USER, "Software\\Round\\Trip")), test::EnumOrder(names));
    // The export text is byte-for-byte its own rewrite.
    const std::string exported = ExportText(dir, box, "Software\\Round\\Trip");
    std::string rewritten;
    EXPECT_TRUE(SettingsParseForTesting(exported, &rewritten));
    EXPECT_EQ(rewritten, exported);
}

TEST_F(SettingsStore, FileIsUtf8TextOfTheExportFormat) {
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "Software\\T", "n", kRegSz, "caf\xE9 \x80"), 0);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "Software\\T", "e", kRegExpandSz, "\xE9"), 0);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "Software\\T", "d", kRegDword, test::Bytes({0x2A, 0, 0, 0})), 0);
    const std::string utf8 = "\"n\"=\"caf\xC3\xA9 \xE2\x82\xAC\"";  // the code page itself is checked against iconv
    std::string file = ExportText(dir, box, "Software\\T");
    EXPECT_EQ(file.rfind("Windows Registry Editor Version 5.00\r\n", 0), 0u);
    EXPECT_NE(file.find("[" + box.Full("Software\\T") + "]\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\r\n" + utf8 + "\r\n"), std::string::npos) << file;
    // Expandable strings are UTF-16LE with their terminator; e9 00 00 00.
    EXPECT_NE(file.find("\"e\"=hex(2):e9,00,00,00\r\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\"d\"=dword:0000002a\r\n"), std::string::npos) << file;
}

// A file as regedit writes it: UTF-16LE with a byte-order mark, CRLF, wrapped hex. On
// Windows the system imports it and the store reads what the system wrote.
TEST_F(SettingsStore, ImportsWindowsUtf16ExportAsItStands) {
    if (!test::HaveProgram("python3")) GTEST_SKIP() << "python3 missing";
    std::string script = dir.File("make.py");
    test::WriteFileBytes(script, R"PY(
import sys
key = sys.argv[1]
def hexlist(b): return ",".join("%02x" % x for x in b)
exp = "C:\\Users\\\u00e9\u20ac\\%TEMP%\0".encode("utf-16-le")
multi = "alpha\0b\u00e9ta\0\0".encode("utf-16-le")
h = hexlist(exp)
wrapped = h[:60] + "\\\r\n  " + h[60:]
text = ("Windows Registry Editor Version 5.00\r\n\r\n"
        "[" + key + "]\r\n"
        "\"Name\"=\"Caf\u00e9 \u20ac \\\"q\\\" c:\\\\dir\"\r\n"
        "@=\"default\"\r\n"
        "\"Count\"=dword:000004d2\r\n"
        "\"Path\"=hex(2):" + wrapped + "\r\n"
        "\"List\"=hex(7):" + hexlist(multi) + "\r\n"
        "\"Big\"=hex(b):01,00,00,00,00,00,00,80\r\n"
        "\"Bin\"=hex:de,ad,be,ef\r\n"
        "\"Chinese\"=\"\u4e2d\"\r\n"
        "\r\n[" + key + "\\Sub]\r\n\r\n")
sys.stdout.buffer.write(b"\xff\xfe" + text.encode("utf-16-le"))
)PY");
    const std::string key = "Software\\Vendor\\App";
    std::string bytes;
    ASSERT_EQ(test::RunCommand("python3 " + script + " \"" + box.Full(key) + "\"", &bytes), 0);
#ifdef _WIN32
    test::WriteFileBytes(dir.File("import.reg"), bytes);
    ASSERT_EQ(test::RunCommand("reg import \"" + dir.File("import.reg") + "\""), 0);
#else
    test::WriteFileBytes(SettingsLocation(), bytes);
#endif
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, "name"), Lit("Caf\xE9 \x80 \"q\" c:\\dir\0"));
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, ""), std::string("default\0", 8));
    EXPECT_EQ(test::Hex(Query(HKEY_CURRENT_USER, key, "Count")), "D2 04 00 00");
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, "Path"), Lit("C:\\Users\\\xE9\x80\\%TEMP%\0"));
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, "List"), Lit("alpha\0b\xE9ta\0\0"));
    EXPECT_EQ(test::Hex(Query(HKEY_CURRENT_USER, key, "Big")), "01 00 00 00 00 00 00 80");
    EXPECT_EQ(test::Hex(Query(HKEY_CURRENT_USER, key, "Bin")), "DE AD BE EF");
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, "Chinese"), std::string("?\0", 2));  // no Windows-1252 form
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, key), std::vector<std::string>{"Sub"});
#ifndef _WIN32
    // The imported file is a healthy store: changes are written back in UTF-8.
    EXPECT_EQ(Set(HKEY_CURRENT_USER, key, "Added", kRegSz, "x"), 0);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, key, "Path"), Lit("C:\\Users\\\xE9\x80\\%TEMP%\0"));
    EXPECT_EQ(test::ReadFileBytes(SettingsLocation()).rfind("Windows Registry Editor Version 5.00", 0), 0u);
#endif
}

// The store's own file: what it imports and how it answers damage.
#ifndef _WIN32
TEST_F(SettingsStore, ImportsRegedit4AnsiFiles) {
    test::WriteFileBytes(SettingsLocation(),
                         "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Old]\r\n\"Text\"=\"caf\xE9\"\r\n"
                         "\"Exp\"=hex(2):25,41,25,e9,00\r\n[-HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n"
                         "\"Skip\"=-\r\n");
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Old", "Text"), std::string("caf\xE9\0", 5));
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Old", "Exp"), std::string("%A%\xE9\0", 5));
}

struct Damaged {
    const char* label;
    std::string bytes;
    const char* key;    // a value that still parses, or null
    const char* value;
};

class DamagedFile : public SettingsStore, public ::testing::WithParamInterface<Damaged> {};

TEST_P(DamagedFile, ReadsWhatParsedAndRefusesToOverwrite) {
    const Damaged& d = GetParam();
    test::WriteFileBytes(SettingsLocation(), d.bytes);
    if (d.key) {
        EXPECT_EQ(Query(HKEY_CURRENT_USER, d.key, "good"), std::string(d.value) + '\0');
    }
    EXPECT_EQ(Set(HKEY_CURRENT_USER, "Software\\New", "v", kRegSz, "x"), static_cast<LONG>(kErrorRegistryCorrupt));
    EXPECT_EQ(GetLastErrorCode(), kErrorRegistryCorrupt);
    EXPECT_EQ(test::ReadFileBytes(SettingsLocation()), d.bytes);
    EXPECT_FALSE(SettingsParseForTesting(d.bytes, nullptr));
}

std::string DeepKey(int levels) {
    std::string s = "[HKEY_CURRENT_USER";
    for (int i = 0; i < levels; ++i) s += "\\k";
    return s + "]\r\n\"v\"=\"deep\"\r\n";
}

const std::string kGoodPart = "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Ok]\r\n\"good\"=\"yes\"\r\n";

INSTANTIATE_TEST_SUITE_P(
    Bad, DamagedFile,
    ::testing::Values(Damaged{"junk", test::Bytes({0x00, 0xFF, 0x13, 0x37, 0x80, '[', 0x0A, '"', 0xC3}), nullptr, nullptr},
                      Damaged{"unterminated string", kGoodPart + "\"broken\"=\"no end\r\n", "Software\\Ok", "yes"},
                      Damaged{"value outside a key", "Windows Registry Editor Version 5.00\r\n\"stray\"=\"x\"\r\n" +
                                                         kGoodPart.substr(40),
                              "Software\\Ok", "yes"},
                      Damaged{"deep key", kGoodPart + DeepKey(10000), "Software\\Ok", "yes"},
                      Damaged{"bad hex", kGoodPart + "\"h\"=hex:zz,01\r\n", "Software\\Ok", "yes"},
                      Damaged{"unknown root", kGoodPart + "[NOT_A_ROOT\\x]\r\n", "Software\\Ok", "yes"},
                      Damaged{"no header", "[HKEY_CURRENT_USER\\Software\\Ok]\r\n\"good\"=\"yes\"\r\n", "Software\\Ok", "yes"}),
    [](const auto& info) {
        std::string n = info.param.label;
        for (char& c : n) {
            if (c == ' ') c = '_';
        }
        return n;
    });
#endif

TEST_F(SettingsStore, KeysIgnoreCaseAndEnumerateInOrder) {
    for (const char* k : {"beta", "Alpha", "_under", "GAMMA", "alpha\\Child"}) ASSERT_EQ(Set(HKEY_CURRENT_USER, std::string("S\\") + k, "", kRegSz, "x"), 0);
    // Upper-case folding puts "_" after the letters.
    EXPECT_EQ(test::EnumOrder(SubKeys(HKEY_CURRENT_USER, "s")), test::EnumOrder({"Alpha", "beta", "GAMMA", "_under"}));
    EXPECT_EQ(SubKeys(HKEY_CURRENT_USER, "S\\ALPHA"), std::vector<std::string>{"Child"});
    for (const char* v : {"zeta", "Alpha", "mid"}) ASSERT_EQ(Set(HKEY_CURRENT_USER, "S\\beta", v, kRegSz, v), 0);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "S\\BETA", "ALPHA", kRegSz, "again"), 0);  // same value, first spelling kept
    EXPECT_EQ(test::EnumOrder(ValueNames(HKEY_CURRENT_USER, "S\\beta")), test::EnumOrder({"", "zeta", "Alpha", "mid"}));
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "s\\beta", "alpha"), std::string("again\0", 6));
}

TEST_F(SettingsStore, QueryReportsSizesLikeTheRegistry) {
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "S", "v", kRegSz, "12345"), 0);
    // Sizes count Windows-1252 bytes, whatever form the store keeps inside.
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "S", "euro", kRegSz, "\x80\xE9"), 0);
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "S", "list", kRegMultiSz, Lit("a\0\x80\0\0")), 0);
    HKEY h = nullptr;
    ASSERT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "S", kKeyRead, &h), 0);
    DWORD size = 0, type = 0;
    BYTE buf[8] = {};
    for (auto [name, need] : {std::pair{"v", 6u}, {"euro", 3u}, {"list", 5u}}) {
        size = need - 1;
        EXPECT_EQ(SettingsQueryValue(h, name, &type, buf, &size), static_cast<LONG>(kErrorMoreData)) << name;
        EXPECT_EQ(size, need) << name;
        size = 0;
        EXPECT_EQ(SettingsQueryValue(h, name, &type, nullptr, &size), 0) << name;
        EXPECT_EQ(size, need) << name;
    }
    EXPECT_EQ(SettingsQueryValue(h, "missing", &type, buf, &size), static_cast<LONG>(kErrorFileNotFound));
    EXPECT_EQ(SettingsSetValue(h, "w", kRegSz, buf, 1), static_cast<LONG>(kErrorAccessDenied));  // opened for reading
    char name[4];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(SettingsEnumValue(h, 3, name, &nameSize, nullptr, nullptr, nullptr), static_cast<LONG>(kErrorNoMoreItems));
    SettingsCloseKey(h);
    EXPECT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "Nope", kKeyRead, &h), static_cast<LONG>(kErrorFileNotFound));
    EXPECT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "\\S", kKeyRead, &h), static_cast<LONG>(kErrorBadPathname));
    EXPECT_EQ(SettingsOpenKey(nullptr, "S", kKeyRead, &h), static_cast<LONG>(kErrorInvalidHandle));
}

TEST_F(SettingsStore, DeleteKeyIsNotRecursiveAndHandlesSeeDeletion) {
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "A\\B\\C", "v", kRegSz, "x"), 0);
    HKEY a = nullptr, c = nullptr;
    ASSERT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "A", kKeyAllAccess, &a), 0);
    ASSERT_EQ(SettingsOpenKey(HKEY_CURRENT_USER, "A\\B\\C", kKeyRead, &c), 0);
    EXPECT_EQ(SettingsDeleteKey(a, "B"), static_cast<LONG>(kErrorAccessDenied));
    EXPECT_EQ(SettingsDeleteKey(a, "B\\C"), 0);
    DWORD size = 0;
    EXPECT_EQ(SettingsQueryValue(c, "v", nullptr, nullptr, &size), static_cast<LONG>(kErrorKeyDeleted));
    EXPECT_EQ(SettingsDeleteKey(a, "B"), 0);
    EXPECT_EQ(SettingsDeleteKey(a, "B"), static_cast<LONG>(kErrorFileNotFound));
    SettingsCloseKey(a);
    SettingsCloseKey(c);
}

TEST_F(SettingsStore, SeesChangesMadeByAnotherProcess) {
    ASSERT_EQ(Set(HKEY_CURRENT_USER, "S", "v", kRegSz, "before"), 0);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "S", "v"), std::string("before\0", 7));
#ifdef _WIN32
    ASSERT_EQ(test::RunCommand("reg add \"" + box.Full("S") + "\" /v v /d after! /f"), 0);
#else
    pid_t pid = fork();
    if (pid == 0) _exit(Set(HKEY_CURRENT_USER, "S", "v", kRegSz, "after!") == 0 ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
#endif
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "S", "v"), std::string("after!\0", 7));
}

// The file's lock at work; the registry serialises writers itself.
#ifndef _WIN32
TEST_F(SettingsStore, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kValues = 15;
    std::vector<pid_t> pids;
    for (int w = 0; w < kWriters; ++w) {
        pid_t pid = fork();
        if (pid == 0) {
            int bad = 0;
            for (int i = 0; i < kValues; ++i) {
                std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
                bad += Set(HKEY_CURRENT_USER, "Software\\Race\\W" + std::to_string(w % 2), name, kRegSz, name) != 0;
            }
            _exit(bad == 0 ? 0 : 1);
        }
        pids.push_back(pid);
    }
    for (pid_t pid : pids) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    Reopen(dir, "after.reg");
    for (int w = 0; w < kWriters; ++w)
        for (int i = 0; i < kValues; ++i) {
            std::string name = "w" + std::to_string(w) + "_" + std::to_string(i);
            EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Race\\W" + std::to_string(w % 2), name), name + '\0');
        }
}
#endif

}  // namespace
}  // namespace vutil
