// The library's exception filled from the call interface's diagnostics.
#pragma once

#include <oci.h>

#include "ODbException.h"

namespace Oracle {

class ODbConnectImpl;

// Code -1; the message is the server's text of the first diagnostic record.
class ODbExceptionImpl : public ODbException {
public:
    // Reads the connection's error handle (its environment handle before the
    // error handle exists).
    ODbExceptionImpl(const ODbConnectImpl& connection, const char* stmText);
    // Reads the diagnostics of `source`, a handle of type `sourceType`
    // (OCI_HTYPE_ERROR or OCI_HTYPE_ENV); a null source gives the fixed text.
    ODbExceptionImpl(const void* source, ub4 sourceType, const char* stmText);

private:
    void readDiagnostics(const void* source, ub4 sourceType, const char* stmText);
};

} // namespace Oracle
