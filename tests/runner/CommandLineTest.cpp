// Command line: option splitting and the file-name rules.
#include "CommandLine.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using Transl::CommandLine;

struct FileCase {
    std::vector<std::string> arguments;
    std::optional<std::string> source;
    std::string out;
    std::string err;
};

TEST(CommandLineFiles, ExtensionAndConsoleRules)
{
    const FileCase cases[] = {
        {{"vorrun", "-source", "prog"}, "prog.vrb", "con", "con"},
        {{"vorrun", "-source", "prog.txt"}, "prog.txt", "con", "con"},
        {{"vorrun", "-source", "dir.v2/prog"}, "dir.v2/prog", "con", "con"},
        {{"vorrun", "-source", "p", "-out", "result", "-err", "e"}, "p.vrb", "result.vro", "e.vre"},
        {{"vorrun", "-out", "con", "-err", "con", "-source", "p"}, "p.vrb", "con", "con"},
        {{"vorrun", "-out", "CON", "-source", "p"}, "p.vrb", "CON.vro", "con"},
        {{"vorrun", "-out", "r.txt", "-err", "x.y", "-source", "p"}, "p.vrb", "r.txt", "x.y"},
        {{"vorrun", "--source", "p"}, "p.vrb", "con", "con"},
        {{"vorrun", "---source", "p"}, "p.vrb", "con", "con"},
        {{"vorrun", "-source", "\"q\""}, "q.vrb", "con", "con"},
        {{"vorrun", "-source", "\"q.x\""}, "q.x", "con", "con"},
        {{"vorrun", "-source", "\"\""}, ".vrb", "con", "con"},
        {{"vorrun", "-source", "\"q"}, "\"q.vrb", "con", "con"},
        {{"vorrun", "-source", "a", "-source", "b"}, "b.vrb", "con", "con"},
        {{"vorrun", "word", "-flag", "-source", "p", "other"}, "p.vrb", "con", "con"},
        {{"vorrun", "-out", "-source", "p"}, "p.vrb", "con", "con"},
    };
    for (const FileCase& c : cases) {
        const CommandLine line(c.arguments);
        EXPECT_EQ(line.sourceFile(), c.source) << c.arguments.size();
        EXPECT_EQ(line.outFile(), c.out);
        EXPECT_EQ(line.errFile(), c.err);
    }
}

TEST(CommandLineFiles, SourceIsRefusedWithoutAValue)
{
    const std::vector<std::vector<std::string>> refused = {
        {"vorrun"},
        {"vorrun", "-source"},
        {"vorrun", "-out", "o", "-source"},
        {"vorrun", "-source", "-out", "o"},
        {"vorrun", "-SOURCE", "p"},
        {"vorrun", "source", "p"},
    };
    for (const auto& arguments : refused)
        EXPECT_FALSE(CommandLine(arguments).sourceFile().has_value()) << arguments.back();
}

TEST(CommandLineFiles, TheProgramNameTakesPartInTheSplit)
{
    // The first argument is split like the others: an option there takes the next
    // argument as its value.
    const CommandLine line({"-source", "p", "-out", "o"});
    EXPECT_EQ(line.sourceFile(), std::optional<std::string>("p.vrb"));
}

// An option counts as given whether it took a value or stood as a flag; only
// the whole name counts.
TEST(CommandLineOptions, GivenWithOrWithoutValue)
{
    const struct {
        std::vector<std::string> arguments;
        bool help;
    } cases[] = {
        {{"vorrun", "-help"}, true},
        {{"vorrun", "--help", "-source", "p"}, true},
        {{"vorrun", "-help", "word"}, true},
        {{"vorrun", "-source", "help"}, false},
        {{"vorrun", "-helpme"}, false},
        {{"vorrun", "-HELP"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CommandLine(c.arguments).has("help"), c.help) << c.arguments[1];
}

} // namespace
