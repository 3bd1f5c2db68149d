// A fresh data directory for one test: made under $VOR_TEST_TMP (or /tmp),
// named in VOR_DATA_DIR while it lives, removed with everything in it after.
#pragma once

#include <string>

namespace engine_test {

class TempDataDirectory {
public:
    TempDataDirectory();
    ~TempDataDirectory();
    TempDataDirectory(const TempDataDirectory&) = delete;
    TempDataDirectory& operator=(const TempDataDirectory&) = delete;

    const std::string& path() const { return path_; }
    // The database file of alias `alias`.
    std::string databaseFile(const std::string& alias) const { return path_ + "/" + alias + ".db"; }

private:
    std::string path_;  // the directory
};

}  // namespace engine_test
