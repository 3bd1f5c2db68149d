// Helpers of the tests that run EXECUTE items through OraProc against the engine.
#pragma once

#include "CommonVar.h"
#include "ExecItem.h"
#include "OraProc.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace ExecTest {

// Points VOR_DATA_DIR at a fresh, empty directory `<prefix>-<pid>` under
// VOR_TEST_TMP (or the system's temporary directory): the databases of one suite.
inline void useFreshDataDirectory(const std::string& prefix)
{
    const char* root = std::getenv("VOR_TEST_TMP");
    const std::filesystem::path dir =
        std::filesystem::path(root != nullptr ? root : std::filesystem::temp_directory_path().string()) /
        (prefix + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    ::setenv("VOR_DATA_DIR", dir.c_str(), 1);
}

// A script variable of `count` elements.
inline Transl::CommonVar variable(Transl::TypeCode type, int size, unsigned int count = 1)
{
    Transl::CommonVar value;
    value.initAs(type, size, count);
    return value;
}

// An SQL item of `proc` running `text` on connection number `connection`.
inline std::unique_ptr<Transl::ExecItem> sqlItem(Transl::OraProc& proc, std::int32_t connection,
                                                 const std::string& text)
{
    auto item = std::make_unique<Transl::ExecItem>(proc);
    item->connectionNumber = connection;
    item->statementText = text;
    return item;
}

} // namespace ExecTest
