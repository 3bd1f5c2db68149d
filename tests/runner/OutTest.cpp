// Layout of the PRINT and DPRINT tables, written through a real output file.
#include "Out.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Column = Transl::Out::Column;

std::filesystem::path scratchFile(const std::string& name)
{
    const char* dir = std::getenv("VOR_TEST_TMP");
    const std::filesystem::path base = dir ? dir : std::filesystem::temp_directory_path();
    std::filesystem::create_directories(base);
    return base / ("out_test_" + name + ".vro");
}

// What printTable writes for the columns.
std::string printed(const std::vector<Column>& columns, bool labelled)
{
    const auto path = scratchFile(testing::UnitTest::GetInstance()->current_test_info()->name());
    {
        Transl::Out out;
        out.openOutputStream(path.string());
        out.printTable(columns, labelled);
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Column scalar(const std::string& name, const std::string& text)
{
    Column column(name, false);
    column.add(text);
    return column;
}

Column array(const std::string& name, const std::vector<std::string>& texts)
{
    Column column(name, true);
    for (const std::string& text : texts)
        column.add(text);
    return column;
}

struct TableCase {
    const char* what;
    std::vector<Column> columns;
    bool labelled;
    std::string expected;
};

TEST(OutTable, Layouts)
{
    std::vector<std::string> twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back(std::to_string(i * 7));
    const TableCase cases[] = {
        {"one text scalar", {scalar("s", "abc")}, false, "abc\n\n"},
        {"scalars share one row", {scalar("a", "1"), scalar("b", "xyz")}, false, "1  xyz\n\n"},
        {"labelled array right-aligns its cells", {array("names", {"ab", "c"})}, true,
         "{names}[1]=ab\n{names}[2]= c\n\n"},
        {"short columns get empty cells", {array("names", {"ab", "c"}), scalar("t", "xyz")}, false,
         "ab  xyz\n c     \n\n"},
        {"element numbers padded to the row count", {array("a", twelve)}, true,
         "{a}[ 1]= 7\n{a}[ 2]=14\n{a}[ 3]=21\n{a}[ 4]=28\n{a}[ 5]=35\n{a}[ 6]=42\n"
         "{a}[ 7]=49\n{a}[ 8]=56\n{a}[ 9]=63\n{a}[10]=70\n{a}[11]=77\n{a}[12]=84\n\n"},
        {"scalar label only in the first row", {scalar("x+y", "3"), array("b", {"1", "2"})}, true,
         "x+y=3  {b}[1]=1\n       {b}[2]=2\n\n"},
        {"array labels keep their width past the end",
         {array("a", {"1", "2"}), array("bb", {"10", "20", "30"})}, true,
         "{a}[1]=1  {bb}[1]=10\n{a}[2]=2  {bb}[2]=20\n          {bb}[3]=30\n\n"},
        {"empty array prints one row of width 0", {array("e", {})}, false, "\n\n"},
        {"empty array labelled", {array("e", {}), scalar("n", "5")}, true, "         n=5\n\n"},
        {"widths are per column", {array("p", {"1", "22"}), array("q", {"333", "4"})}, false,
         " 1  333\n22    4\n\n"},
    };
    for (const TableCase& c : cases)
        EXPECT_EQ(printed(c.columns, c.labelled), c.expected) << c.what;
}

// Every text of a large column comes back whole and in order: short texts and
// empty ones filling many of the column's storage chunks, and texts longer than
// a chunk between short ones; a column that reads its texts where they are
// prints the same.
TEST(OutTable, LargeColumnsKeepEveryText)
{
    std::vector<std::string> many;
    for (int i = 0; i < 20000; ++i)
        many.push_back(i % 7 == 0 ? std::string() : std::to_string(i * 37));
    std::vector<std::string> longOnes = {"a", std::string(70000, 'x'), "b", std::string(65536, 'y'), ""};
    for (const std::vector<std::string>* texts : {&many, &longOnes}) {
        std::size_t width = 0;
        for (const std::string& text : *texts)
            width = std::max(width, text.size());
        std::string expected;
        for (const std::string& text : *texts)
            expected += std::string(width - text.size(), ' ') + text + "\n";
        EXPECT_EQ(printed({array("big", *texts)}, false), expected + "\n") << texts->size() << " texts";
        const Column inPlace("big", true, texts->size(),
                             [texts](std::size_t i) { return std::string_view((*texts)[i]); });
        EXPECT_EQ(printed({inPlace}, false), expected + "\n") << texts->size() << " texts in place";
    }
}

} // namespace
