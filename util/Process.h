// Child processes started from one command line text in a chosen working
// directory, and the expansion of %NAME% environment references.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "Exception.h"

namespace Utils {

class VOR_UTILS_VISIBLE Process {
public:
    // Starts the command line "program arguments" with %NAME% references expanded
    // in the program and the working directory (not in the arguments). The child
    // runs in the working directory, or in the caller's when it is empty; its
    // program is the command line's first word, looked up in that directory and
    // then along PATH. The child gets the caller's environment, no standard input
    // (it stands in a console of its own) and a session of its own. hideWindow is
    // accepted for callers written for windowed consoles and has no effect here.
    // Throws ResourceFailure (creating a process) with the system's text when the
    // program cannot be found or started.
    Process(const std::string& program, const std::string& arguments,
            const std::string& workingDirectory, bool hideWindow);
    // Gives up the handle; the child is neither waited for nor ended, but it is
    // reaped once it ends, so no finished child lingers in the process table.
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    // The child's process id, -1 until started.
    pid_t handle() const { return handle_; }

    // text with every %NAME% of a set variable replaced by its value; references
    // to unset variables and a lone % stay as written.
    static std::string expand(const std::string& text);
    // The same into result; false only for an empty text.
    static bool expand(const std::string& text, std::string& result);

    // A command line split into arguments the way the C runtime of consoles that
    // take one command line text does: blanks (space, tab) separate; double quotes
    // group and are removed; inside quotes a doubled quote is one quote; 2n
    // backslashes before a quote are n backslashes and the quote groups, 2n+1 are n
    // backslashes and a literal quote; other backslashes are literal. The first
    // word, the program, ends at the first blank or, if it starts with a quote, at
    // the next quote, and knows no escapes.
    static std::vector<std::string> splitCommandLine(const std::string& commandLine);

private:
    pid_t handle_; // child's process id, -1 until started
};

} // namespace Utils
