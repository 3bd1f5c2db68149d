// Helpers shared by the utility tests: a scratch directory per test and bounded
// waits for files written by child processes.
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

namespace UtilTest {

// How long a child may take to write its record before the test gives up.
constexpr std::chrono::seconds childBound{20};

// A fresh, empty directory under VOR_TEST_TMP (or the system's temp dir), removed
// at the end of the test.
class ScratchDir {
public:
    explicit ScratchDir(const std::string& name)
    {
        const char* root = std::getenv("VOR_TEST_TMP");
        path_ = std::filesystem::path(root != nullptr ? root : std::filesystem::temp_directory_path().string()) /
                ("util-" + name + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        path_ = std::filesystem::canonical(path_);
    }
    ~ScratchDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Polls until the file exists or until the bound has passed.
inline bool waitForFile(const std::filesystem::path& file,
                        std::chrono::steady_clock::duration bound = childBound)
{
    const auto deadline = std::chrono::steady_clock::now() + bound;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

inline std::string readFile(const std::filesystem::path& file)
{
    std::ifstream in(file);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace UtilTest
