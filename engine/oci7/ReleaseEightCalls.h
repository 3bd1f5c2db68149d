// The release-7 face runs on the engine's release-8 call interface: these
// turn a release-8 call's status into the exception the face reports, with
// the error record the call left on its error handle.
#pragma once

#include "base/OraError.h"
#include "oci.h"

#include <string>

namespace engine {

// The failure a call that ended with `status` recorded on `errors`.
OraError failureOf(sword status, OCIError* errors);
// Throws failureOf() unless `status` is a success (with or without
// information). OCI_NEED_DATA is a failure here: callers that expect a piece
// request look at it first.
void require(sword status, OCIError* errors);
// A handle of `type` allocated from `environment`.
void* allocateHandle(OCIEnv* environment, ub4 type);
// A text as a client argument the release-8 calls take.
inline OraText* clientText(const std::string& text) {
    return reinterpret_cast<OraText*>(const_cast<char*>(text.c_str()));
}

}  // namespace engine
