// The one place where a status of the call interface is judged: a failure
// becomes an ODbExceptionImpl with the server's text and the statement text.
#pragma once

#include <oci.h>

namespace Oracle {

class OciCheck {
public:
    // Failures are described from `source`, a handle of type `sourceType`
    // (the error handle, or the environment handle before one exists).
    OciCheck(const void* source, ub4 sourceType, const char* stmText);

    // Returns the status when it is OCI_SUCCESS; throws otherwise (success
    // with information included).
    sword operator()(sword status) const;
    // The same, also accepting `accepted` (no data, need data).
    sword operator()(sword status, sword accepted) const;
    sword operator()(sword status, sword accepted, sword alsoAccepted) const;

    // Results of releasing calls (handle frees, session end) cannot be
    // reported: they run in destructors and on teardown paths that must not
    // throw, and the resource is gone either way.
    static void teardown(sword status) noexcept;

private:
    [[noreturn]] void fail() const;

    const void* source_;  // handle whose diagnostics describe a failure
    ub4 sourceType_;      // its handle type
    const char* stmText_; // statement text for the exception, or null
};

} // namespace Oracle
