// Child processes: working directory, arguments, program lookup, failures,
// reaping; the command-line splitting rule and %NAME% expansion.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "Process.h"
#include "UtilTestSupport.h"
#include "ScopedEnv.h"

namespace {

using Words = std::vector<std::string>;

// Arguments for /bin/sh that write the child's working directory and then each of
// its further arguments, one per line, to the file named first; written under a
// temporary name and renamed, so the file appears complete.
std::string recorderArguments(const std::filesystem::path& record, const std::string& more)
{
    return "-c \"{ pwd; for a in \\\"$@\\\"; do echo \\\"$a\\\"; done; } > \\\"$0.tmp\\\" && "
           "mv \\\"$0.tmp\\\" \\\"$0\\\"\" " +
           record.string() + " " + more;
}

std::string expectedRecord(const std::filesystem::path& directory, const Words& arguments)
{
    std::string text = directory.string() + "\n";
    for (const std::string& argument : arguments)
        text += argument + "\n";
    return text;
}

TEST(Process, ChildRunsInTheGivenDirectoryWithItsArguments)
{
    UtilTest::ScratchDir dir("cwd");
    const auto record = dir.path() / "record.txt";
    {
        Utils::Process child("/bin/sh", recorderArguments(record, "one \"two words\" three"),
                             dir.path().string(), true);
        EXPECT_GT(child.handle(), 0);
    }
    ASSERT_TRUE(UtilTest::waitForFile(record));
    EXPECT_EQ(UtilTest::readFile(record), expectedRecord(dir.path(), {"one", "two words", "three"}));
}

TEST(Process, ProgramAndDirectoryAreExpandedButArgumentsAreNot)
{
    UtilTest::ScratchDir dir("expand");
    ScopedEnv shell("VOR_TEST_SHELL", "/bin/sh");
    ScopedEnv where("VOR_TEST_WHERE", dir.path().string());
    const auto record = dir.path() / "record.txt";
    Utils::Process child("%VOR_TEST_SHELL%", recorderArguments(record, "%VOR_TEST_WHERE%"),
                         "%VOR_TEST_WHERE%", false);
    ASSERT_TRUE(UtilTest::waitForFile(record));
    EXPECT_EQ(UtilTest::readFile(record), expectedRecord(dir.path(), {"%VOR_TEST_WHERE%"}));
}

TEST(Process, EmptyDirectoryLeavesTheCallersInForce)
{
    UtilTest::ScratchDir dir("here");
    const auto record = dir.path() / "record.txt";
    Utils::Process child("/bin/sh", recorderArguments(record, ""), "", false);
    ASSERT_TRUE(UtilTest::waitForFile(record));
    EXPECT_EQ(UtilTest::readFile(record),
              expectedRecord(std::filesystem::current_path(), {}));
}

// Writes an executable shell script that records like recorderArguments does.
void writeRecorderScript(const std::filesystem::path& file)
{
    std::ofstream(file) << "#!/bin/sh\n"
                           "{ pwd; for a in \"$@\"; do echo \"$a\"; done; } > \"$1.tmp\" && "
                           "mv \"$1.tmp\" \"$1\"\n";
    std::filesystem::permissions(file, std::filesystem::perms::owner_all);
}

TEST(Process, ProgramIsLookedUpInTheWorkingDirectoryBeforePath)
{
    UtilTest::ScratchDir dir("lookup");
    writeRecorderScript(dir.path() / "sh"); // shadows /bin/sh for this child only
    const auto record = dir.path() / "record.txt";
    Utils::Process child("sh", record.string() + " x", dir.path().string(), false);
    ASSERT_TRUE(UtilTest::waitForFile(record));
    EXPECT_EQ(UtilTest::readFile(record), expectedRecord(dir.path(), {record.string(), "x"}));
}

TEST(Process, ProgramIsLookedUpAlongPathOtherwise)
{
    UtilTest::ScratchDir dir("path");
    UtilTest::ScratchDir bin("bin");
    writeRecorderScript(bin.path() / "vor-recorder");
    const char* oldPath = std::getenv("PATH");
    ScopedEnv path("PATH", "/nonexistent:" + bin.path().string() + ":" +
                               (oldPath != nullptr ? oldPath : "/usr/bin:/bin"));
    const auto record = dir.path() / "record.txt";
    Utils::Process child("vor-recorder", record.string(), dir.path().string(), false);
    ASSERT_TRUE(UtilTest::waitForFile(record));
    EXPECT_EQ(UtilTest::readFile(record), expectedRecord(dir.path(), {record.string()}));
}

void expectStartFailure(const std::string& program, const std::string& directory, int error)
{
    try {
        Utils::Process child(program, "", directory, false);
        ADD_FAILURE() << program << " started";
    } catch (const Utils::ResourceFailure& e) {
        EXPECT_EQ(e.errorKey(), "util_exc_OsError");
        EXPECT_EQ(e.contextKey(), "util_ctx_Threading_CreatingProcess");
        EXPECT_EQ(e.detail(), std::strerror(error)) << program;
    }
}

TEST(Process, ProgramThatCannotBeStartedRaisesTheSystemError)
{
    UtilTest::ScratchDir dir("missing");
    std::ofstream(dir.path() / "plain.txt") << "not a program\n";
    expectStartFailure("vor-no-such-program", dir.path().string(), ENOENT);
    expectStartFailure((dir.path() / "absent").string(), "", ENOENT);
    expectStartFailure("./plain.txt", dir.path().string(), EACCES);
    expectStartFailure("", "", ENOENT);
    expectStartFailure("/bin/sh", (dir.path() / "no-such-dir").string(), ENOENT);
}

// Process state letter from /proc, or 0 once the process is gone.
char processState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(stat, line))
        return 0;
    const auto close = line.rfind(')');
    return close != std::string::npos && close + 2 < line.size() ? line[close + 2] : 0;
}

// Polls until the process's state satisfies the predicate, within the bound.
template <class Predicate> bool waitForState(pid_t pid, Predicate predicate)
{
    const auto deadline = std::chrono::steady_clock::now() + UtilTest::childBound;
    while (!predicate(processState(pid))) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(Process, EndedChildIsReapedOnceTheHandleIsGivenUp)
{
    pid_t pid = -1;
    {
        Utils::Process child("/bin/sh", "-c \"exit 3\"", "", false);
        pid = child.handle();
        ASSERT_TRUE(waitForState(pid, [](char s) { return s == 'Z'; }));
    }
    EXPECT_TRUE(waitForState(pid, [](char s) { return s == 0; }));
}

TEST(Process, RunningChildIsReapedWhenItEndsLater)
{
    UtilTest::ScratchDir dir("later");
    const auto go = dir.path() / "go";
    pid_t pid = -1;
    {
        Utils::Process child("/bin/sh", "-c \"while [ ! -e go ]; do sleep 0.01; done\"",
                             dir.path().string(), false);
        pid = child.handle();
    }
    std::ofstream(go) << "";
    EXPECT_TRUE(waitForState(pid, [](char s) { return s == 0; }));
}

TEST(ProcessCommandLine, SplitsLikeTheConsoleRuntime)
{
    const struct {
        const char* line;
        Words words;
    } cases[] = {
        {"p", {"p"}},
        {"p  a\tb ", {"p", "a", "b"}},
        {"p \"abc\" d e", {"p", "abc", "d", "e"}},
        {"p a\\\\\\b d\"e f\"g h", {"p", "a\\\\\\b", "de fg", "h"}},
        {"p a\\\\\\\"b c d", {"p", "a\\\"b", "c", "d"}},
        {"p a\\\\\\\\\"b c\" d e", {"p", "a\\\\b c", "d", "e"}},
        {"p a\"b\"\" c d", {"p", "ab\" c d"}},
        {"p \"\"", {"p", ""}},
        {"p \"unterminated arg", {"p", "unterminated arg"}},
        {"\"C:/Program Files/x.exe\" y", {"C:/Program Files/x.exe", "y"}},
        {"C:\\bin\\x\\\" y", {"C:\\bin\\x\\ y"}}, // no escapes in the program word
        {"exp userid=\"scott/tiger\" file =\"my file.dmp\"",
         {"exp", "userid=scott/tiger", "file", "=my file.dmp"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utils::Process::splitCommandLine(c.line), c.words) << c.line;
}

TEST(ProcessExpand, ReplacesKnownReferencesAndKeepsTheRest)
{
    ScopedEnv known("VOR_TEST_KNOWN", "value");
    ::unsetenv("VOR_TEST_UNKNOWN");
    const struct {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"", ""},
        {"no references", "no references"},
        {"%VOR_TEST_KNOWN%", "value"},
        {"a%VOR_TEST_KNOWN%b%VOR_TEST_KNOWN%", "avaluebvalue"},
        {"%VOR_TEST_UNKNOWN%", "%VOR_TEST_UNKNOWN%"},
        {"%VOR_TEST_UNKNOWN%VOR_TEST_KNOWN%", "%VOR_TEST_UNKNOWN%VOR_TEST_KNOWN%"},
        {"%%", "%%"},
        {"50% off", "50% off"},
        {"%VOR_TEST_KNOWN", "%VOR_TEST_KNOWN"},
        {"ORA_HOME", "ORA_HOME"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Utils::Process::expand(c.text), c.expanded) << c.text;
}

TEST(ProcessExpand, ResultFormIsFalseOnlyForAnEmptyText)
{
    ScopedEnv known("VOR_TEST_KNOWN", "value");
    std::string result = "stale";
    EXPECT_FALSE(Utils::Process::expand("", result));
    EXPECT_EQ(result, "");
    EXPECT_TRUE(Utils::Process::expand("plain", result));
    EXPECT_EQ(result, "plain");
    EXPECT_TRUE(Utils::Process::expand("<%VOR_TEST_KNOWN%>", result));
    EXPECT_EQ(result, "<value>");
}

} // namespace
