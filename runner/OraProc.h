// The interpreter's database side: the numbered connections, the statements of an
// EXECUTE and the lock shared with the worker threads of timed execution.
#pragma once

namespace Transl {

// The lock base (a re-entrant Utils::Mutex, not public) joins this class once the
// shared utilities provide it.
class OraProc {
public:
    OraProc() = default;
    virtual ~OraProc() = default;
    OraProc(const OraProc&) = delete;
    OraProc& operator=(const OraProc&) = delete;
};

} // namespace Transl
