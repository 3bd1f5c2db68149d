// The one guard every exported function runs its body through: no exception
// crosses the C interface. A failure becomes a status and an error record:
// a bad handle argument OCI_INVALID_HANDLE, any other failure OCI_ERROR, each
// with its "ORA-NNNNN: text" on the error (or environment) handle.
#pragma once

#include "oci.h"
#include "oci/ErrorRecords.h"

namespace engine {

class CallGuard {
public:
    // Runs `body` (returning the call's status) reporting to `errors`, which
    // may be null for calls that have nowhere to report. A call that starts
    // clears the previous record.
    template <typename Body>
    static sword run(ErrorRecords* errors, Body&& body) noexcept {
        if (errors != nullptr) errors->clear();
        try {
            return body();
        } catch (...) {
            return report(errors);
        }
    }

private:
    // Classifies the exception in flight and records it.
    static sword report(ErrorRecords* errors) noexcept;
};

}  // namespace engine
