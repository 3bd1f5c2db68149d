// Library settings: defaults of a loaded library, setters, copies.
#include <gtest/gtest.h>

#include <cstring>

#include "ValueTestSupport.h"
#include "vordb.h"

using Oracle::ODbOraGlobal;

namespace {

using ValueTest::operator<<;

// The tools and the call-interface release differ between the two builds.
#ifdef VORDB73
constexpr const char* DefaultImport = "imp73.exe";
constexpr const char* DefaultExport = "exp73.exe";
constexpr int DefaultOCIVer = 7;
#else
constexpr const char* DefaultImport = "imp.exe";
constexpr const char* DefaultExport = "exp.exe";
constexpr int DefaultOCIVer = 8;
#endif

TEST(OraGlobal, LoadedLibraryHasTheDefaults)
{
    const ODbOraGlobal& g = *ODbOraGlobal::Ptr;
    EXPECT_STREQ("", g.getNullString());
    EXPECT_EQ(20, g.getFetchSize());
    EXPECT_STREQ(DefaultImport, g.getImportExec());
    EXPECT_STREQ(DefaultExport, g.getExportExec());
    EXPECT_STREQ("T", g.getTrueString());
    EXPECT_STREQ("F", g.getFalseString());
    EXPECT_STREQ("ORA_HOME", g.getOraHomeVar());
    EXPECT_EQ(nullptr, g.getOraHomePath());
    EXPECT_EQ(DefaultOCIVer, g.getOCIVer());
}

TEST(OraGlobal, NewObjectHasTheDefaults)
{
    ODbOraGlobal g;
    EXPECT_STREQ(DefaultImport, g.getImportExec());
    EXPECT_EQ(20, g.getFetchSize());
}

// Every text setting with its setter and getter, so each is checked alike.
struct TextSetting {
    const char* name;
    void (ODbOraGlobal::*set)(const char*);
    char* (ODbOraGlobal::*get)() const;
};

const TextSetting TextSettings[] = {
    {"null string", &ODbOraGlobal::setNullString, &ODbOraGlobal::getNullString},
    {"import", &ODbOraGlobal::setImportExec, &ODbOraGlobal::getImportExec},
    {"export", &ODbOraGlobal::setExportExec, &ODbOraGlobal::getExportExec},
    {"true string", &ODbOraGlobal::setTrueString, &ODbOraGlobal::getTrueString},
    {"false string", &ODbOraGlobal::setFalseString, &ODbOraGlobal::getFalseString},
    {"home variable", &ODbOraGlobal::setOraHomeVar, &ODbOraGlobal::getOraHomeVar},
    {"home path", &ODbOraGlobal::setOraHomePath, &ODbOraGlobal::getOraHomePath},
};

class OraGlobalText : public ::testing::TestWithParam<TextSetting> {};

TEST_P(OraGlobalText, SecondValueWinsAndNullClears)
{
    const TextSetting& s = GetParam();
    ODbOraGlobal g;
    char first[] = "first";
    (g.*s.set)(first);
    first[0] = 'X'; // the setting holds its own copy
    (g.*s.set)("second");
    EXPECT_STREQ("second", (g.*s.get)());
    (g.*s.set)((g.*s.get)()); // setting a value to itself keeps it
    EXPECT_STREQ("second", (g.*s.get)());
    (g.*s.set)(nullptr);
    EXPECT_EQ(nullptr, (g.*s.get)());
}

TEST_P(OraGlobalText, CopiesOwnTheirTexts)
{
    const TextSetting& s = GetParam();
    ODbOraGlobal original;
    (original.*s.set)("value");
    ODbOraGlobal copy(original);
    ODbOraGlobal assigned;
    assigned = original;
    EXPECT_STREQ("value", (copy.*s.get)());
    EXPECT_STREQ("value", (assigned.*s.get)());
    EXPECT_NE((original.*s.get)(), (copy.*s.get)());
    EXPECT_NE((original.*s.get)(), (assigned.*s.get)());
    (original.*s.set)("changed");
    EXPECT_STREQ("value", (copy.*s.get)());
}

INSTANTIATE_TEST_SUITE_P(Settings, OraGlobalText, ::testing::ValuesIn(TextSettings), ValueTest::CaseName());

TEST(OraGlobal, NumbersAreStoredAsGiven)
{
    ODbOraGlobal g;
    g.setFetchSize(-3);
    g.setOCIVer(0);
    EXPECT_EQ(-3, g.getFetchSize());
    EXPECT_EQ(0, g.getOCIVer());
    ODbOraGlobal copy(g);
    EXPECT_EQ(-3, copy.getFetchSize());
    EXPECT_EQ(0, copy.getOCIVer());
}

TEST(OraGlobal, CopyOfNullTextIsNull)
{
    ODbOraGlobal g;
    g.setNullString(nullptr);
    ODbOraGlobal copy(g);
    EXPECT_EQ(nullptr, copy.getNullString());
    ODbOraGlobal assigned;
    assigned = g;
    EXPECT_EQ(nullptr, assigned.getNullString());
    assigned = assigned;
    EXPECT_EQ(nullptr, assigned.getNullString());
    EXPECT_STREQ("ORA_HOME", assigned.getOraHomeVar());
}

TEST(OraGlobal, CopyStartsWithoutReferences)
{
    ODbOraGlobal g;
    Utils::RefCountPtr<ODbOraGlobal> held(new ODbOraGlobal(g));
    EXPECT_EQ(1, held->refCount());
    EXPECT_STREQ("T", held->getTrueString());
}

} // namespace
