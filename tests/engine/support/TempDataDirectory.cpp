// Temporary data directories for engine tests.
#include "TempDataDirectory.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace engine_test {

TempDataDirectory::TempDataDirectory() {
    const char* base = std::getenv("VOR_TEST_TMP");
    const std::string parent = base != nullptr && *base != '\0' ? base : "/tmp";
    std::filesystem::create_directories(parent);
    std::string pattern = parent + "/engine-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed under " + parent);
    path_ = buffer.data();
    setenv("VOR_DATA_DIR", path_.c_str(), 1);
}

TempDataDirectory::~TempDataDirectory() {
    unsetenv("VOR_DATA_DIR");
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

}  // namespace engine_test
