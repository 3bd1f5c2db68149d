// The library's exception filled from the call interface's diagnostics.
#include "ODbExceptionImpl.h"

#include "ODbConnectImpl.h"

namespace Oracle {

namespace {

// Shown when the call interface itself cannot say what went wrong.
constexpr const char* NoDiagnosticsText = "INTERNAL OCI FUNCTION EXCEPTION";

// Code of every failure reported by the call interface.
constexpr int OciFailureCode = -1;

} // namespace

ODbExceptionImpl::ODbExceptionImpl(const ODbConnectImpl& connection, const char* stmText)
    : ODbException(nullptr, OciFailureCode, stmText)
{
    readDiagnostics(connection.diagnosticsSource(), connection.diagnosticsType(), stmText);
}

ODbExceptionImpl::ODbExceptionImpl(const void* source, ub4 sourceType, const char* stmText)
    : ODbException(nullptr, OciFailureCode, stmText)
{
    readDiagnostics(source, sourceType, stmText);
}

void ODbExceptionImpl::readDiagnostics(const void* source, ub4 sourceType, const char* stmText)
{
    // The server's error number is part of the text; the code stays -1.
    sb4 serverCode = 0;
    const sword status =
        source == nullptr
            ? OCI_INVALID_HANDLE
            : OCIErrorGet(const_cast<void*>(source), 1, nullptr, &serverCode,
                          reinterpret_cast<OraText*>(getErrMsg()), MessageCapacity, sourceType);
    if (status != OCI_SUCCESS || getErrMsg()[0] == '\0')
        init(NoDiagnosticsText, OciFailureCode, stmText);
}

} // namespace Oracle
