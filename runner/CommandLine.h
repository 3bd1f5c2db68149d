// The command line of vorrun: options with values, and the file names they give.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace Transl {

class CommandLine {
public:
    // Splits all arguments, the program's own name included: "-name value" pairs
    // (any number of leading dashes; a value never begins with "-"), flags (an
    // option without value) and plain words. A repeated name keeps its last value.
    CommandLine(const std::vector<std::string>& arguments);

    // True when the option was given, with a value or as a flag.
    bool has(const std::string& name) const;
    // The value of an option, with one pair of enclosing double quotes removed.
    std::optional<std::string> value(const std::string& name) const;

    // The script file: the "source" value, ".vrb" added when it holds no ".".
    std::optional<std::string> sourceFile() const;
    // The output file: "con" when absent, else the value, ".vro" added when it holds
    // no "." and is not "con".
    std::string outFile() const;
    // The error file: as the output file, with ".vre".
    std::string errFile() const;

private:
    std::string optionalFile(const std::string& name, const std::string& extension) const;

    std::map<std::string, std::string> options_;  // option name -> value
    std::vector<std::string> flags_;              // options without a value
    std::vector<std::string> words_;              // arguments that are no option (unused)
};

} // namespace Transl
