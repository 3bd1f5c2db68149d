// The library's exception filled from a data area of the call interface.
#pragma once

#include <ociapr.h>

#include "ODbException.h"

namespace Oracle {

// Code -1; the message is the server's text for the area's return code.
class ODbExceptionImpl : public ODbException {
public:
    // `area` is the login or cursor data area of the failed call.
    ODbExceptionImpl(cda_def& area, const char* stmText);
};

} // namespace Oracle
