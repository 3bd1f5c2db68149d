// Program entry of vorrun: the banner, the command line, the three files and the run
// of the script; the last line of defence against failures that leave the run.
// VOR_VERSION is the project's version, given by the build.
#include "CommandLine.h"
#include "Exception.h"
#include "Interpreter.h"
#include "ODbException.h"

#include <exception>
#include <iostream>
#include <optional>
#include <system_error>
#include <string>
#include <vector>

namespace {

// The main interpreter lives for the whole process; its destructor closes the
// files also when a script error ends the process.
Transl::Interpreter mainInterpreter;

constexpr int kCompleteRun = 0;
constexpr int kFailedRun = 1;
// No script, or a file of the run that cannot be opened: nothing ran.
constexpr int kRefusedRun = -1;

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

void writeUsage()
{
    std::cout << "Usage: vorrun -source <source file> [-out <output file>] [-err <error output file>]\n"
                 "Runs a Vorlan script once, from its first statement to its end.\n"
                 "  -source   the script; \".vrb\" is added to a name without a \".\"\n"
                 "  -out      where PRINT and DPRINT write; \".vro\" is added likewise;\n"
                 "            absent or \"con\": standard output\n"
                 "  -err      where diagnostics go; \".vre\" is added likewise;\n"
                 "            absent or \"con\": standard error\n"
                 "  -help     this text\n"
                 "  -version  the version\n"
                 "Exit status: 0 after a complete run, 1 after a script error, -1 when the\n"
                 "script is not given or a file cannot be opened (then nothing runs).\n"
                 "Databases live in the folder VOR_DATA_DIR names (the current one when unset).\n"
              << std::flush;
}

// Opens the script and the two destinations; a file that cannot be opened is
// told on standard error with the system's reason, and the run is refused.
bool openRunFiles(const Transl::CommandLine& commandLine, const std::string& source)
{
    try {
        mainInterpreter.openFiles(source, commandLine.outFile(), commandLine.errFile());
        return true;
    } catch (const std::system_error& failure) {
        std::cerr << "vorrun: cannot open " << failure.what() << "\n" << std::flush;
        return false;
    }
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

int runScript(std::vector<std::string> arguments)
{
    try {
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
    std::vector<std::string> arguments(argv, argv + argc);
    const Transl::CommandLine commandLine(arguments);
    if (commandLine.has("help")) {
        writeUsage();
        return kCompleteRun;
    }
    if (commandLine.has("version")) {
        std::cout << "vorrun " << VOR_VERSION << "\n" << std::flush;
        return kCompleteRun;
    }
    Transl::currentInterpreter = &mainInterpreter;
    writeBanner();
    const auto source = commandLine.sourceFile();
    if (!source) {
        std::cout << "\nInput file is not specified\n" << std::flush;
        return kRefusedRun;
    }
    if (!openRunFiles(commandLine, *source))
        return kRefusedRun;
    return runScript(std::move(arguments));
}
