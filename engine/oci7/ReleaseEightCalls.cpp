// Release-8 statuses as the release-7 face's exceptions.
#include "oci7/ReleaseEightCalls.h"

#include "oci/ErrorHandle.h"
#include "oci/HandleRegistry.h"

namespace engine {
namespace {

constexpr std::size_t kPrefixLength = 11;  // "ORA-NNNNN: "

bool recorded(OCIError* errors, ErrorRecord& record) {
    Handle* handle = HandleRegistry::instance().find(errors, OCI_HTYPE_ERROR);
    return handle != nullptr && static_cast<ErrorHandle*>(handle)->records().get(record);
}

}  // namespace

OraError failureOf(sword status, OCIError* errors) {
    ErrorRecord record;
    if (!recorded(errors, record)) {
        if (status == OCI_NO_DATA) return OraError(OraCode::NoDataFound);
        return OraError(OraCode::InternalError, {"status " + std::to_string(status)});
    }
    const bool prefixed = record.text.compare(0, 4, "ORA-") == 0 && record.text.size() >= kPrefixLength;
    return OraError::withNumber(record.number, prefixed ? record.text.substr(kPrefixLength) : record.text);
}

void require(sword status, OCIError* errors) {
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) throw failureOf(status, errors);
}

void* allocateHandle(OCIEnv* environment, ub4 type) {
    void* handle = nullptr;
    if (OCIHandleAlloc(environment, &handle, type, 0, nullptr) != OCI_SUCCESS) {
        throw OraError(OraCode::OutOfMemory);
    }
    return handle;
}

}  // namespace engine
