// SQL*Plus scripts, export and import started as child processes: stand-ins of the
// tools in a temporary Oracle home record their working directory and arguments.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "Exception.h"
#include "ODbException.h"
#include "ODbExpImp.h"
#include "ODbExternalScript.h"
#include "ODbOraGlobal.h"
#include "ScopedEnv.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Oracle::ODbExpImp;
using Oracle::ODbExternalScript;

constexpr const char* argumentNull = "An argument must not be null";
constexpr const char* mustBeClosed = "The instance must be close";
constexpr const char* mustBeOpen = "The instance must be open";

// How long a stand-in may take to write its record before the test gives up.
constexpr std::chrono::seconds childBound{20};

// Exposes the protected operations of the base for the tests of its own contract.
class ProbeApp : public Oracle::ODbExternalApp {
public:
    using ODbExternalApp::addParam;
    using ODbExternalApp::execute;
    using ODbExternalApp::setApp;
    using ODbExternalApp::setPath;
};

// A scratch directory with an Oracle home (its name has a blank) whose BIN folder
// holds the stand-ins; the library settings are restored after each test.
class ExternalTools : public ::testing::Test {
protected:
    ExternalTools()
        : scratch_(makeScratch()), home_(scratch_ / "ora home"), record_(scratch_ / "record.txt"),
          recordEnv_("VOR_STANDIN_RECORD", record_.string()), settings_(*Oracle::ODbOraGlobal::Ptr)
    {
        installStandIns(home_);
        Oracle::ODbOraGlobal::Ptr->setOraHomePath(home_.c_str());
    }
    ~ExternalTools() override
    {
        *Oracle::ODbOraGlobal::Ptr = settings_;
        std::error_code ignored;
        fs::remove_all(scratch_, ignored);
    }

    static fs::path makeScratch()
    {
        const char* root = std::getenv("VOR_TEST_TMP");
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        fs::path dir = fs::path(root != nullptr ? root : fs::temp_directory_path().string()) /
                       ("tools-" + std::string(test->name()) + "-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        return fs::canonical(dir);
    }

    static void installStandIns(const fs::path& home)
    {
        fs::create_directories(home / "BIN");
        for (const char* tool : {"sqlplus.exe", "exp.exe", "imp.exe"})
            fs::copy_file(VOR_STANDIN_SCRIPT, home / "BIN" / tool);
    }

    // Runs start (which must start one stand-in) and returns what the stand-in
    // recorded: its name, its working directory, its arguments.
    Lines record(const std::function<bool()>& start)
    {
        EXPECT_TRUE(start());
        Lines lines;
        if (!waitForRecord())
            return lines;
        std::ifstream in(record_);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        fs::remove(record_);
        return lines;
    }

    bool waitForRecord()
    {
        const auto deadline = std::chrono::steady_clock::now() + childBound;
        while (!fs::exists(record_)) {
            if (std::chrono::steady_clock::now() > deadline) {
                ADD_FAILURE() << "no record from the stand-in";
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return true;
    }

    std::string bin() const { return (home_ / "BIN").string(); }

    fs::path scratch_;
    fs::path home_;
    fs::path record_;
    ScopedEnv recordEnv_;
    Oracle::ODbOraGlobal settings_; // the settings as they were before the test
};

// The call must throw ODbException with the message and code 0.
void expectRefused(const std::function<void()>& call, const char* message, const char* what)
{
    try {
        call();
        ADD_FAILURE() << what << ": not refused";
    } catch (const Oracle::ODbException& e) {
        EXPECT_STREQ(e.getErrMsg(), message) << what;
        EXPECT_EQ(e.getErrCode(), 0) << what;
    }
}

TEST_F(ExternalTools, ScriptRunsSqlPlusWithItsParametersInOrderUntilClose)
{
    ODbExternalScript script(Oracle::LocSetting, "scott/tiger@db", false);
    EXPECT_EQ(record([&] { return script.execute("first.sql"); }),
              (Lines{"sqlplus.exe", bin(), "-s", "scott/tiger@db", "@first.sql"}));
    EXPECT_EQ(record([&] { return script.execute("second.sql"); }),
              (Lines{"sqlplus.exe", bin(), "-s", "scott/tiger@db", "@first.sql", "@second.sql"}));
    script.close();
    script.open("u/p", true);
    EXPECT_EQ(record([&] { return script.execute("third.sql"); }),
              (Lines{"sqlplus.exe", bin(), "-s", "u/p", "@third.sql"}));
}

TEST_F(ExternalTools, ScriptRefusesBadArgumentsAndStates)
{
    auto* settings = Oracle::ODbOraGlobal::Ptr;
    ODbExternalScript open(Oracle::LocSetting, "u/p", false);
    ODbExternalScript closed(Oracle::LocSetting);
    const struct {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"open twice", [&] { open.open("u/p", false); }, mustBeClosed},
        {"close when closed", [&] { closed.close(); }, mustBeOpen},
        {"null connect string", [&] { closed.open(nullptr, false); }, argumentNull},
        {"empty connect string", [&] { closed.open("", false); }, argumentNull},
        {"null script file", [&] { open.execute(nullptr); }, argumentNull},
        {"home from the registry", [] { ODbExternalScript s(Oracle::LocRegistry); }, argumentNull},
        {"unknown location",
         [] { ODbExternalScript s(static_cast<Oracle::OraHomeLoc>(7)); }, argumentNull},
        {"null home path",
         [&] {
             settings->setOraHomePath(nullptr);
             ODbExternalScript s(Oracle::LocSetting);
         },
         argumentNull},
        {"empty home variable",
         [&] {
             settings->setOraHomeVar("");
             ODbExternalScript s(Oracle::LocEnvironment);
         },
         argumentNull},
    };
    for (const auto& c : cases)
        expectRefused(c.call, c.message, c.what);
}

TEST_F(ExternalTools, HomeFromAnEnvironmentReferenceInTheVariableSetting)
{
    ScopedEnv oraHome("ORA_HOME", home_.string());
    Oracle::ODbOraGlobal::Ptr->setOraHomeVar("%ORA_HOME%");
    ODbExternalScript script(Oracle::LocEnvironment, "u/p", false);
    EXPECT_EQ(record([&] { return script.execute("x.sql"); }),
              (Lines{"sqlplus.exe", bin(), "-s", "u/p", "@x.sql"}));
}

// Changes the current directory for one test.
class ScopedCurrentDir {
public:
    explicit ScopedCurrentDir(const fs::path& dir) : old_(fs::current_path()) { fs::current_path(dir); }
    ~ScopedCurrentDir() { fs::current_path(old_); }

private:
    fs::path old_;
};

TEST_F(ExternalTools, DefaultVariableSettingWithoutReferenceIsTheHomeItself)
{
    ASSERT_STREQ(Oracle::ODbOraGlobal::Ptr->getOraHomeVar(), "ORA_HOME");
    ScopedEnv oraHome("ORA_HOME", "/must/not/be/used");
    installStandIns(scratch_ / "ORA_HOME");
    ScopedCurrentDir here(scratch_);
    ODbExternalScript script(Oracle::LocEnvironment, "u/p", false);
    EXPECT_EQ(record([&] { return script.execute("x.sql"); }),
              (Lines{"sqlplus.exe", (scratch_ / "ORA_HOME" / "BIN").string(), "-s", "u/p", "@x.sql"}));
}

TEST_F(ExternalTools, ExportAndImportKeepAFileNameWithBlanksInOnePiece)
{
    const std::string file = (scratch_ / "dump dir" / "my export.dmp").string();
    ODbExpImp tools;
    tools.open("exp.exe", "imp.exe");
    // The tool reads "file =" and the quoted name; the C runtime's rule splits the
    // text at the blank before "=" and keeps the quoted name intact.
    EXPECT_EQ(record([&] { return tools.exportData(Oracle::LocSetting, file.c_str(), "scott/tiger@db"); }),
              (Lines{"exp.exe", bin(), "userid=scott/tiger@db", "file", "=" + file}));
    EXPECT_EQ(record([&] { return tools.import(Oracle::LocSetting, file.c_str(), "u/p"); }),
              (Lines{"imp.exe", bin(), "userid=u/p", "file", "=" + file}));
    tools.close();
    tools.open("imp.exe", "exp.exe");
    EXPECT_EQ(record([&] { return tools.exportData(Oracle::LocSetting, "a.dmp", "u/p"); }),
              (Lines{"imp.exe", bin(), "userid=u/p", "file", "=a.dmp"}));
}

TEST_F(ExternalTools, ExportTakesTheHomeFromTheLocationGiven)
{
    ScopedEnv oraHome("ORA_HOME", home_.string());
    Oracle::ODbOraGlobal::Ptr->setOraHomeVar("%ORA_HOME%");
    Oracle::ODbOraGlobal::Ptr->setOraHomePath((scratch_ / "elsewhere").c_str());
    ODbExpImp tools;
    tools.open("exp.exe", "imp.exe");
    EXPECT_EQ(record([&] { return tools.exportData(Oracle::LocEnvironment, "a.dmp", "u/p"); }),
              (Lines{"exp.exe", bin(), "userid=u/p", "file", "=a.dmp"}));
}

TEST_F(ExternalTools, ExportAndImportRefuseBadArgumentsAndStates)
{
    ODbExpImp open;
    open.open("exp.exe", "imp.exe");
    ODbExpImp closed;
    const struct {
        const char* what;
        std::function<void()> call;
        const char* message;
    } cases[] = {
        {"open twice", [&] { open.open("exp.exe", "imp.exe"); }, ""},
        {"close when closed", [&] { closed.close(); }, ""},
        {"null export program", [&] { closed.open(nullptr, "imp.exe"); }, argumentNull},
        {"null import program", [&] { closed.open("exp.exe", nullptr); }, argumentNull},
        {"export null file", [&] { open.exportData(Oracle::LocSetting, nullptr, "u/p"); }, argumentNull},
        {"export null connect", [&] { open.exportData(Oracle::LocSetting, "f", nullptr); }, argumentNull},
        {"import null file", [&] { open.import(Oracle::LocSetting, nullptr, "u/p"); }, argumentNull},
        {"import null connect", [&] { open.import(Oracle::LocSetting, "f", nullptr); }, argumentNull},
        {"export when closed", [&] { closed.exportData(Oracle::LocSetting, "f", "u/p"); }, mustBeOpen},
        {"import when closed", [&] { closed.import(Oracle::LocSetting, "f", "u/p"); }, mustBeOpen},
        {"export with the registry home",
         [&] { open.exportData(Oracle::LocRegistry, "f", "u/p"); }, argumentNull},
    };
    for (const auto& c : cases)
        expectRefused(c.call, c.message, c.what);
}

// The call must throw the operating system's "no such file" for a process start.
void expectNotStarted(const std::function<void()>& call, const char* what)
{
    try {
        call();
        ADD_FAILURE() << what << ": started";
    } catch (const Utils::ResourceFailure& e) {
        EXPECT_EQ(e.errorKey(), "util_exc_OsError") << what;
        EXPECT_EQ(e.contextKey(), "util_ctx_Threading_CreatingProcess") << what;
        EXPECT_EQ(e.detail(), std::strerror(ENOENT)) << what;
    }
}

TEST_F(ExternalTools, ProgramThatDoesNotExistRaisesTheSystemError)
{
    ODbExpImp tools;
    tools.open("no-such-exp.exe", "imp.exe");
    expectNotStarted([&] { tools.exportData(Oracle::LocSetting, "f", "u/p"); }, "missing export tool");
    Oracle::ODbOraGlobal::Ptr->setOraHomePath((scratch_ / "empty home").c_str());
    ODbExternalScript script(Oracle::LocSetting, "u/p", false);
    expectNotStarted([&] { script.execute("x.sql"); }, "home without BIN");
}

TEST_F(ExternalTools, ProgramAndPathAreExpandedAndParametersKeptAsWritten)
{
    ScopedEnv tool("VOR_TEST_TOOL", "imp.exe");
    ScopedEnv where("VOR_TEST_BIN", bin());
    ProbeApp app;
    app.setApp("%VOR_TEST_TOOL%");
    app.setPath("%VOR_TEST_BIN%");
    app.addParam("%VOR_TEST_TOOL%");
    app.addParam("");
    app.addParam("last");
    EXPECT_EQ(record([&] { return app.execute(); }),
              (Lines{"imp.exe", bin(), "%VOR_TEST_TOOL%", "last"}));
    expectRefused([&] { app.setPath(nullptr); }, argumentNull, "null path");
    expectRefused([&] { app.setPath(""); }, argumentNull, "empty path");
}

} // namespace
