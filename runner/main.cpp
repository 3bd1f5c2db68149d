// Program entry of vorrun: the banner, the command line, the three files and the run
// of the script; the last line of defence against failures that leave the run.
#include "CommandLine.h"
#include "Exception.h"
#include "Interpreter.h"
#include "ODbException.h"

#include <exception>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

// The main interpreter lives for the whole process; its destructor closes the
// files also when a script error ends the process.
Transl::Interpreter mainInterpreter;

constexpr int kCompleteRun = 0;
constexpr int kFailedRun = 1;
constexpr int kNoSource = -1;

void writeBanner()
{
    const std::string rule(75, '*');
    std::cout << "\n" << rule << "\n"
              << "Vorlan\n"
              << "Usage:\n"
              << "vorrun.exe -source <source file> -out <output file> -err <error output file>\n"
              << rule << "\n"
              << std::flush;
}

// Ends a run that a failure left: a report for failures that have not written
// their own, then the console line. A failure is not a complete run, so the
// status says so.
int failedRun(const std::optional<std::string>& detail)
{
    if (detail && Transl::currentInterpreter != nullptr)
        Transl::currentInterpreter->reportInternalFailure(*detail);
    std::cout << "\nUnknown exception. Program terminated.\n" << std::flush;
    return kFailedRun;
}

int runScript(const Transl::CommandLine& commandLine, std::vector<std::string> arguments,
              const std::string& source)
{
    try {
        mainInterpreter.openFiles(source, commandLine.outFile(), commandLine.errFile());
        mainInterpreter.setArguments(std::move(arguments));
        mainInterpreter.run();
    } catch (const Transl::Exception&) {
        return failedRun(std::nullopt);  // reported when it was made
    } catch (const Oracle::ODbException& failure) {
        return failedRun(std::string(failure.getErrMsg()));
    } catch (const std::exception& failure) {
        return failedRun(std::string(failure.what()));
    } catch (...) {
        return failedRun(std::string());
    }
    return kCompleteRun;
}

} // namespace

int main(int argc, char** argv)
{
    Transl::currentInterpreter = &mainInterpreter;
    writeBanner();
    std::vector<std::string> arguments(argv, argv + argc);
    const Transl::CommandLine commandLine(arguments);
    const auto source = commandLine.sourceFile();
    if (!source) {
        std::cout << "\nInput file is not specified\n" << std::flush;
        return kNoSource;
    }
    return runScript(commandLine, std::move(arguments), *source);
}
