// Programs started directly: waiting, exit codes, working directory, and the
// arguments as the Windows rules split them.

#include <gtest/gtest.h>

#include <cstdlib>
#include <thread>

#include "desktop_env.h"
#include "vutil/platform/path.h"
#include "vutil/platform/process.h"
#include "vutil/system/exe_utils.h"

namespace vutil {
namespace {

using namespace test;

CString Lib(const std::filesystem::path& p) { return CString(platform::FromHostPath(p.string())); }

#ifdef _WIN32
// This test program doubles as the program the tests start. With VUTIL_TEST_CHILD set
// it waits for a file "go" when VUTIL_TEST_CHILD_GATE is set, writes its arguments as
// its own runtime split them to args.txt and its working directory to out.txt, and
// ends with the exit code VUTIL_TEST_CHILD names, before any test runs.
const bool kChild = [] {
    const char* code = std::getenv("VUTIL_TEST_CHILD");
    if (!code) return false;
    if (std::getenv("VUTIL_TEST_CHILD_GATE"))
        while (!std::filesystem::exists("go")) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ofstream args("args.txt", std::ios::binary);
    for (int i = 1; i < __argc; ++i) args << __argv[i] << '\n';
    args.close();
    std::ofstream("out.txt", std::ios::binary) << std::filesystem::current_path().string() << '\n';
    std::exit(std::atoi(code));
}();

// A copy of this program under the name, started with the exit code.
CString Child(const std::filesystem::path& dir, const char* name) {
    std::filesystem::copy_file(_pgmptr, dir / (std::string(name) + ".exe"));
    return Lib(dir / (std::string(name) + ".exe"));
}
const CString kProgram(_pgmptr);
#else
// Writes each argument it gets on a line of args.txt in its working directory.
constexpr const char* kEchoArgs = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > args.txt\n";
const CString kProgram("/bin/sh");
#endif

struct SplitCase {
    const char* line;
    std::vector<std::string> args;
};

// The examples the Windows C runtime documents for its parsing of a command line.
const SplitCase kSplitCases[] = {
    {R"("abc" d e)", {"abc", "d", "e"}},
    {R"(a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
    {R"(a\\\"b c d)", {R"(a\"b)", "c", "d"}},
    {R"(a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
    {R"(a"b"" c d)", {R"(ab" c d)"}},
    {"  \t ", {}},
    {R"("" x)", {"", "x"}},
    {R"("say ""hi""" end)", {R"(say "hi")", "end"}},
};

class CommandLineSplit : public ::testing::TestWithParam<SplitCase> {};

TEST_P(CommandLineSplit, FollowsTheRuntimeRules) {
    EXPECT_EQ(platform::SplitCommandLine(GetParam().line), GetParam().args) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Documented, CommandLineSplit, ::testing::ValuesIn(kSplitCases));

TEST(CommandLineJoin, SplitsBackIntoTheSameArguments) {
    const std::vector<std::vector<std::string>> cases = {
        {"C:\\Program Files\\x.exe", "plain", "two words", ""},
        {"a\\\\\"b", "tail\\", "tail space\\", "\\\\server\\share\\"},
        {"say \"hi\"", "\"", "\\\"", "tab\there", "new\nline", "\\\\"},
    };
    for (const auto& argv : cases) EXPECT_EQ(platform::SplitCommandLine(platform::JoinCommandLine(argv)), argv);
    // Quotes only where needed; backslashes doubled only before a quote.
    EXPECT_EQ(platform::JoinCommandLine({"C:\\a b\\x.exe", "-v", "a\\\\\"b", "", "end\\ "}),
              R"("C:\a b\x.exe" -v "a\\\\\"b" "" "end\ ")");
    EXPECT_EQ(platform::JoinCommandLine({"x", "dir\\ "}), R"(x "dir\ ")");
    EXPECT_EQ(platform::JoinCommandLine({"x", "dir \\"}), R"(x "dir \\")");
}

TEST_P(CommandLineSplit, ReachesTheProgramAsSplit) {
    TempDir dir;
#ifdef _WIN32
    test::ScopedEnv child("VUTIL_TEST_CHILD", "0");
    const CString program = Child(dir.path(), "echo args");  // a space in the program's own path
#else
    WriteText(dir.path() / "echo args", kEchoArgs, true);  // a space in the program's own path
    const CString program = Lib(dir.path() / "echo args");
#endif
    void* thread = nullptr;
    void* process = nullptr;
    ASSERT_TRUE(CExeUtils::LaunchApp(program, GetParam().line, Lib(dir.path()), "", true, thread, process));
    std::string expected;
    for (const auto& a : GetParam().args) expected += a + "\n";
    EXPECT_EQ(ReadText(dir.path() / "args.txt"), expected);
}

TEST(LaunchApp, WithoutWaitHandsBackHandlesThatGiveTheExitCode) {
    TempDir dir;
    void* thread = nullptr;
    void* process = nullptr;
#ifdef _WIN32
    test::ScopedEnv child("VUTIL_TEST_CHILD", "7");
    ASSERT_TRUE(CExeUtils::LaunchApp(Child(dir.path(), "exit"), "", Lib(dir.path()), "title", false, thread, process));
#else
    ASSERT_TRUE(CExeUtils::LaunchApp("/bin/sh", "-c \"exit 7\"", Lib(dir.path()), "title", false, thread, process));
#endif
    ASSERT_NE(process, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(CProcessHandle::Wait(thread, CProcessHandle::kInfinite), CProcessHandle::kWaitObject0);
    DWORD code = 0;
    ASSERT_TRUE(CProcessHandle::GetExitCode(process, code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(CProcessHandle::Close(thread));
    EXPECT_TRUE(CProcessHandle::Close(process));
    EXPECT_FALSE(CProcessHandle::Close(process));  // closed twice
}

TEST(LaunchApp, StillRunningProcessTimesOutThenEnds) {
    TempDir dir;
#ifdef _WIN32
    test::ScopedEnv child("VUTIL_TEST_CHILD", "3"), gate("VUTIL_TEST_CHILD_GATE", "1");
    const CString program = Child(dir.path(), "gate");
#else
    WriteText(dir.path() / "gate.sh", "#!/bin/sh\nwhile [ ! -f go ]; do sleep 0.01; done\nexit 3\n", true);
    const CString program = Lib(dir.path() / "gate.sh");
#endif
    void* thread = nullptr;
    void* process = nullptr;
    ASSERT_TRUE(CExeUtils::LaunchApp(program, "", Lib(dir.path()), "", false, thread, process));
    DWORD code = 0;
    EXPECT_EQ(CProcessHandle::Wait(process, 20), CProcessHandle::kWaitTimeout);
    ASSERT_TRUE(CProcessHandle::GetExitCode(process, code));
    EXPECT_EQ(code, CProcessHandle::kStillActive);
    WriteText(dir.path() / "go", "");
    EXPECT_EQ(CProcessHandle::Wait(process, CProcessHandle::kInfinite), CProcessHandle::kWaitObject0);
    ASSERT_TRUE(CProcessHandle::GetExitCode(thread, code));
    EXPECT_EQ(code, 3u);
    CProcessHandle::Close(thread);
    CProcessHandle::Close(process);
}

TEST(LaunchApp, WaitReturnsAfterTheEndInTheWorkingDirectoryWithNullHandles) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "work dir");
    void* thread = reinterpret_cast<void*>(1);
    void* process = reinterpret_cast<void*>(1);
#ifdef _WIN32
    test::ScopedEnv child("VUTIL_TEST_CHILD", "0");
    ASSERT_TRUE(CExeUtils::LaunchApp(Child(dir.path(), "pwd"), "", Lib(dir.path() / "work dir"), "", true, thread, process));
#else
    ASSERT_TRUE(CExeUtils::LaunchApp("/bin/sh", "-c \"sleep 0.2; pwd > out.txt\"", Lib(dir.path() / "work dir"), "", true,
                                     thread, process));
#endif
    EXPECT_EQ(thread, nullptr);
    EXPECT_EQ(process, nullptr);
    EXPECT_EQ(ReadText(dir.path() / "work dir" / "out.txt"),
              std::filesystem::canonical(dir.path() / "work dir").string() + "\n");
}

TEST(LaunchApp, RefusesWhatCannotBeStarted) {
    TempDir dir;
    WriteText(dir.path() / "plain.txt", "not a program");
    const CString here = Lib(dir.path());
    struct Case {
        CString exe, dirArg;
    } cases[] = {
        {"", here},
        {"   ", here},
        {kProgram, ""},
        {Lib(dir.path() / "missing"), here},
        {kProgram, Lib(dir.path() / "no such dir")},
        {Lib(dir.path() / "plain.txt"), here},  // exists but is no program
    };
    for (const auto& c : cases) {
        void* thread = reinterpret_cast<void*>(1);
        void* process = reinterpret_cast<void*>(1);
        EXPECT_FALSE(CExeUtils::LaunchApp(c.exe, "", c.dirArg, "", false, thread, process)) << c.exe << " in " << c.dirArg;
    }
}

TEST(FindProgram, AgreesWithTheSystemsOwnSearch) {
#ifdef _WIN32
    const char *name = "cmd", *lookup = "cmd /c for %i in (cmd.exe) do @echo %~$PATH:i";
#else
    const char *name = "sh", *lookup = "command -v sh";
#endif
    std::string found;
    ASSERT_EQ(test::RunCommand(lookup, &found), 0);
    found = found.substr(0, found.find_first_of("\r\n"));
    EXPECT_EQ(platform::FindProgram(name), platform::FromHostPath(found));
    EXPECT_EQ(platform::FindProgram("no-such-program-here"), "");
    EXPECT_EQ(platform::FindProgram(platform::FindProgram(name)), platform::FindProgram(name));  // a path stays itself
}

class DisplayError : public CExeUtils {
public:
    using CExeUtils::GetDisplayError;
};

TEST(GetDisplayError, FindsTheFirstKnownIdentifierAnywhere) {
    struct Case {
        const char* text;
        const char* starts;
    } cases[] = {
        {"{CE7DF771-9252-4ff3-B438-EA046538A518} sharing violation",
         "The file is currently being used by another application. Please close any and all applications that are "
         "using this file and try again."},
        {"12:00 {7CEEFB4C-15B1-4ee7-BF73-5EAC6DC0868B}Access denied", "The application to be launched could not be started"},
        // both present: the table's order decides, not the text's
        {"{36B7630D-572F-4d9b-BC50-52B16FA9B59D} {979F9A2F-BD73-4323-9406-C4325FD6B871}",
         "The application to be launched could not be started. This is generally an operating system level error.\n\n"},
        {"{AFCDAB4E-0896-4370-99EA-844283C3695F}", "Internal program error. Application to launch was not specified.\n\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(DisplayError::GetDisplayError(c.text).Find(c.starts), 0) << c.text;
    EXPECT_EQ(DisplayError::GetDisplayError("{7CEEFB4C-15B1-4ee7-BF73-5EAC6DC0868B}"),
              "The application to be launched could not be started");
    EXPECT_EQ(DisplayError::GetDisplayError("  \t"), "");
    EXPECT_EQ(DisplayError::GetDisplayError("{00000000-0000-0000-0000-000000000000}"), "");
}

TEST(LaunchCommand, VerbsForShellAndAssociations) {
    const char* shell[] = {"open", "edit", "explore", "find", "print", "properties", "runas", "open"};
    for (int i = 0; i < 8; ++i) {
        auto command = static_cast<CExeUtils::LaunchCommand>(i);
        EXPECT_STREQ(CExeUtils::GetVerb(command, false), shell[i]);
        EXPECT_STREQ(CExeUtils::GetVerb(command, true), i == 6 ? "open" : shell[i]);
    }
}

}  // namespace
}  // namespace vutil
