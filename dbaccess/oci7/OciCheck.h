// The one place where a result of the call interface is judged: a failure
// becomes an ODbExceptionImpl with the server's text from the data area and
// the statement text.
#pragma once

#include <initializer_list>

#include <ociapr.h>

namespace Oracle {

class OciCheck {
public:
    // Failures are described from `area` (a login or cursor data area), which
    // must outlive the helper.
    OciCheck(cda_def& area, const char* stmText);

    // Returns 0 when the call succeeded (status 0), the area's return code
    // when it failed with one of `accepted` (no data, need a piece); throws
    // otherwise.
    ub2 operator()(sword status, std::initializer_list<ub2> accepted = {}) const;

    // Results of releasing calls (cursor close, logoff) cannot be reported:
    // they run in destructors and on teardown paths that must not throw, and
    // the area is released either way.
    static void teardown(sword status) noexcept;

private:
    [[noreturn]] void fail() const;

    cda_def* area_;       // area whose return code describes a failure
    const char* stmText_; // statement text for the exception, or null
};

} // namespace Oracle
