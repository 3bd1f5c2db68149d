// Turning exceptions into statuses and error records.
#include "oci/CallGuard.h"

#include "base/CallError.h"
#include "base/OraError.h"

#include <cstdio>
#include <new>

namespace engine {
namespace {

constexpr int kNoDataFound = 1403;  // ORA-01403

sword record(ErrorRecords* errors, int number, const char* text, sword status) noexcept {
    if (errors != nullptr) {
        try {
            errors->set(number, text);
        } catch (...) {
            // Out of memory for the message itself: the status still tells.
        }
    }
    return status;
}

}  // namespace

sword CallGuard::report(ErrorRecords* errors) noexcept {
    try {
        throw;
    } catch (const InvalidHandle& e) {
        return record(errors, e.number(), e.what(), OCI_INVALID_HANDLE);
    } catch (const CallError& e) {
        return record(errors, e.number(), e.what(), OCI_ERROR);
    } catch (const OraError& e) {
        // An unhandled NO_DATA_FOUND ends a call with "no data", as the vendor's does.
        return record(errors, e.number(), e.what(), e.number() == kNoDataFound ? OCI_NO_DATA : OCI_ERROR);
    } catch (const std::bad_alloc&) {
        return record(errors, 4030, "ORA-04030: out of process memory", OCI_ERROR);
    } catch (const std::exception& e) {
        char text[512];
        std::snprintf(text, sizeof text, "ORA-00600: internal error code, arguments: [%s]", e.what());
        return record(errors, 600, text, OCI_ERROR);
    } catch (...) {
        return record(errors, 600, "ORA-00600: internal error code, arguments: [unknown]", OCI_ERROR);
    }
}

}  // namespace engine
