// Splitting of the command line and the file-name rules.
#include "CommandLine.h"

#include "TextStream.h"

#include <algorithm>

namespace Transl {

namespace {

bool isOption(const std::string& argument)
{
    return !argument.empty() && argument.front() == '-';
}

// An option's name: the argument without its leading dashes.
std::string optionName(const std::string& argument)
{
    const auto start = argument.find_first_not_of('-');
    return start == std::string::npos ? std::string() : argument.substr(start);
}

std::string stripQuotes(const std::string& value)
{
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

std::string withExtension(const std::string& name, const std::string& extension)
{
    return name.find('.') == std::string::npos ? name + extension : name;
}

} // namespace

CommandLine::CommandLine(const std::vector<std::string>& arguments)
{
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!isOption(arguments[i])) {
            words_.push_back(arguments[i]);
            continue;
        }
        const std::string name = optionName(arguments[i]);
        if (i + 1 < arguments.size() && !isOption(arguments[i + 1]))
            options_[name] = arguments[++i];
        else
            flags_.push_back(name);
    }
}

bool CommandLine::has(const std::string& name) const
{
    return options_.count(name) != 0 ||
           std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

std::optional<std::string> CommandLine::value(const std::string& name) const
{
    const auto found = options_.find(name);
    if (found == options_.end())
        return std::nullopt;
    return stripQuotes(found->second);
}

std::optional<std::string> CommandLine::sourceFile() const
{
    const auto source = value("source");
    if (!source)
        return std::nullopt;
    return withExtension(*source, ".vrb");
}

std::string CommandLine::outFile() const
{
    return optionalFile("out", ".vro");
}

std::string CommandLine::errFile() const
{
    return optionalFile("err", ".vre");
}

std::string CommandLine::optionalFile(const std::string& name, const std::string& extension) const
{
    const auto file = value(name);
    if (!file || *file == TextStream::kConsole)
        return std::string(TextStream::kConsole);
    return withExtension(*file, extension);
}

} // namespace Transl
