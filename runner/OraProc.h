// The interpreter's database side: the numbered connections, the statements of an
// EXECUTE and the lock shared with the worker threads of timed execution.
#pragma once

#include "Mutex.h"

#include <cstdint>

namespace Transl {

// The mutex is re-entrant and guards the connection table and every copy between
// script variables and library parameters; it is not part of the public face.
class OraProc : protected Utils::Mutex {
public:
    OraProc() = default;
    virtual ~OraProc() = default;
    OraProc(const OraProc&) = delete;
    OraProc& operator=(const OraProc&) = delete;

    // Seconds that every later EXECUTE may take; zero or less means no limit.
    void setTimeout(std::int32_t seconds) { timeout_ = seconds; }
    std::int32_t timeout() const { return timeout_; }

private:
    std::int32_t timeout_ = -1;  // set by TIMEOUT; -1 until then
};

} // namespace Transl
