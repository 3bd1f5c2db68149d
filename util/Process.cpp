// Child processes from one command line text, the command-line splitting rule and
// %NAME% expansion.
#include "Process.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>

#include "SysError.h"

extern char** environ;

namespace Utils {

namespace {

// PATH when the variable is unset, as the C library's own program search has it.
constexpr const char* defaultSearchPath = "/bin:/usr/bin";

// Signals whose handling the child starts with at the default, whatever the caller
// has set up for itself.
constexpr int defaultSignals[] = {SIGPIPE, SIGINT, SIGQUIT, SIGHUP, SIGTERM, SIGCHLD};

[[noreturn]] void failToStart(int errorNumber)
{
    SysError::throwError(ContextKey::CreatingProcess, errorNumber);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The program word: quotes toggle grouping and are dropped; it ends at a blank
// outside quotes.
std::string readProgramWord(const std::string& line, std::size_t& pos)
{
    std::string word;
    bool quoted = false;
    for (; pos < line.size() && (quoted || !isBlank(line[pos])); ++pos) {
        if (line[pos] == '"')
            quoted = !quoted;
        else
            word += line[pos];
    }
    return word;
}

// One argument after the program word (the rule is given with splitCommandLine).
std::string readArgument(const std::string& line, std::size_t& pos)
{
    std::string argument;
    bool quoted = false;
    while (pos < line.size()) {
        std::size_t slashes = 0;
        for (; pos < line.size() && line[pos] == '\\'; ++pos)
            ++slashes;
        if (pos < line.size() && line[pos] == '"') {
            argument.append(slashes / 2, '\\');
            const bool literal = slashes % 2 == 1 ||
                                 (quoted && pos + 1 < line.size() && line[pos + 1] == '"');
            if (literal)
                argument += '"';
            else
                quoted = !quoted;
            pos += (literal && slashes % 2 == 0) ? 2 : 1;
            continue;
        }
        argument.append(slashes, '\\');
        if (pos == line.size() || (!quoted && isBlank(line[pos])))
            break;
        argument += line[pos++];
    }
    return argument;
}

// 0 when path names an executable regular file, else the reason it does not.
int executableError(const std::string& path)
{
    struct stat status;
    if (::stat(path.c_str(), &status) != 0)
        return errno;
    if (!S_ISREG(status.st_mode))
        return EACCES;
    return ::access(path.c_str(), X_OK) == 0 ? 0 : errno;
}

std::string inDirectory(const std::string& directory, const std::string& name)
{
    return directory.empty() ? name : directory + "/" + name;
}

// The program found along PATH, as an absolute path (the child runs elsewhere).
std::string searchPath(const std::string& name)
{
    const char* variable = std::getenv("PATH");
    const std::string path = variable != nullptr ? variable : defaultSearchPath;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find(':', start);
        if (end == std::string::npos)
            end = path.size();
        const std::string entry = end > start ? path.substr(start, end - start) : ".";
        const std::string candidate = entry + "/" + name;
        std::error_code ignored;
        if (executableError(candidate) == 0)
            return std::filesystem::absolute(candidate, ignored).string();
        start = end + 1;
    }
    failToStart(ENOENT);
}

// The path to execute for the program word, as seen from the child's working
// directory: the word itself when it has a directory part, else the file of that
// name in the working directory, else the first one along PATH.
std::string locateProgram(const std::string& name, const std::string& directory)
{
    if (name.empty())
        failToStart(ENOENT);
    if (name.find('/') != std::string::npos) {
        const int error = executableError(name[0] == '/' ? name : inDirectory(directory, name));
        if (error != 0)
            failToStart(error);
        return name;
    }
    if (executableError(inDirectory(directory, name)) == 0)
        return "./" + name;
    return searchPath(name);
}

// posix_spawn's two attribute objects, owned for one start.
class SpawnSetup {
public:
    SpawnSetup()
    {
        check(posix_spawn_file_actions_init(&actions));
        if (const int error = posix_spawnattr_init(&attributes)) {
            posix_spawn_file_actions_destroy(&actions);
            failToStart(error);
        }
    }
    ~SpawnSetup()
    {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    static void check(int error)
    {
        if (error != 0)
            failToStart(error);
    }

    posix_spawn_file_actions_t actions; // working directory and standard input
    posix_spawnattr_t attributes;       // session and signal dispositions
};

// A child of its own session with no input and default signal handling.
void prepareConsole(SpawnSetup& setup, const std::string& directory)
{
    if (!directory.empty())
        SpawnSetup::check(posix_spawn_file_actions_addchdir_np(&setup.actions, directory.c_str()));
    SpawnSetup::check(posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null",
                                                       O_RDONLY, 0));
    sigset_t signals;
    sigemptyset(&signals);
    SpawnSetup::check(posix_spawnattr_setsigmask(&setup.attributes, &signals));
    for (const int signal : defaultSignals)
        sigaddset(&signals, signal);
    SpawnSetup::check(posix_spawnattr_setsigdefault(&setup.attributes, &signals));
    SpawnSetup::check(posix_spawnattr_setflags(
        &setup.attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF));
}

pid_t spawn(const std::string& path, std::vector<std::string>& words, const std::string& directory)
{
    SpawnSetup setup;
    prepareConsole(setup, directory);
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_t child = -1;
    SpawnSetup::check(
        posix_spawn(&child, path.c_str(), &setup.actions, &setup.attributes, argv.data(), environ));
    return child;
}

// Collects the child's exit status once it ends, without making anyone wait.
void reapLater(pid_t child)
{
    if (::waitpid(child, nullptr, WNOHANG) != 0)
        return; // already ended (now reaped), or no longer ours
    try {
        std::thread([child] {
            while (::waitpid(child, nullptr, 0) == -1 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the ended child stays listed until this process ends.
    }
}

} // namespace

Process::Process(const std::string& program, const std::string& arguments,
                 const std::string& workingDirectory, bool /*hideWindow*/)
    : handle_(-1)
{
    const std::string directory = expand(workingDirectory);
    std::vector<std::string> words = splitCommandLine(expand(program) + " " + arguments);
    const std::string path = locateProgram(words.front(), directory);
    handle_ = spawn(path, words, directory);
}

Process::~Process()
{
    if (handle_ > 0)
        reapLater(handle_);
}

std::string Process::expand(const std::string& text)
{
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t open = text.find('%', pos);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            result.append(text, pos, std::string::npos);
            break;
        }
        result.append(text, pos, open - pos);
        const std::string name = text.substr(open + 1, close - open - 1);
        const bool valid = !name.empty() && name.find('=') == std::string::npos;
        const char* value = valid ? std::getenv(name.c_str()) : nullptr;
        if (value != nullptr)
            result += value;
        else
            result.append(text, open, close - open + 1);
        pos = close + 1;
    }
    return result;
}

bool Process::expand(const std::string& text, std::string& result)
{
    result = expand(text);
    return !text.empty();
}

std::vector<std::string> Process::splitCommandLine(const std::string& commandLine)
{
    std::size_t pos = 0;
    std::vector<std::string> words{readProgramWord(commandLine, pos)};
    for (;;) {
        while (pos < commandLine.size() && isBlank(commandLine[pos]))
            ++pos;
        if (pos == commandLine.size())
            return words;
        words.push_back(readArgument(commandLine, pos));
    }
}

} // namespace Utils
