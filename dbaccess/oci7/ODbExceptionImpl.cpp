// The library's exception filled from a data area of the call interface.
#include "ODbExceptionImpl.h"

#include "OciLimits.h"

namespace Oracle {

namespace {

// Shown when the call interface itself cannot say what went wrong.
constexpr const char* NoDiagnosticsText = "INTERNAL OCI FUNCTION EXCEPTION";

// Code of every failure reported by the call interface.
constexpr int OciFailureCode = -1;

static_assert(OciLimits::MessageBytes <= static_cast<sword>(ODbException::MessageCapacity),
              "the server's message fits the exception");

} // namespace

ODbExceptionImpl::ODbExceptionImpl(cda_def& area, const char* stmText)
    : ODbException(nullptr, OciFailureCode, stmText)
{
    // The server's error number is part of the text; the code stays -1.
    const sword result = oerhms(&area, static_cast<sb2>(area.rc), reinterpret_cast<OraText*>(getErrMsg()),
                                OciLimits::MessageBytes);
    if (result < 0 || getErrMsg()[0] == '\0')
        init(NoDiagnosticsText, OciFailureCode, stmText);
}

} // namespace Oracle
