#pragma once

// The client's buffers as a bind or define call hands them over; the engine reads
// and writes them in place during execute and fetch.

#include "oci.h"

namespace engine {

struct ClientBuffers {
    void* value = nullptr;      // first element of the value array
    sb4 valueSize = 0;          // bytes of one element
    ub2 type = 0;               // external type code (SQLT_*)
    sb2* indicators = nullptr;  // per-element NULL indicators, or null
    ub2* lengths = nullptr;     // per-element actual lengths, or null
    ub2* returnCodes = nullptr; // per-element column return codes, or null
    ub4 mode = OCI_DEFAULT;     // OCI_DEFAULT, OCI_DATA_AT_EXEC or OCI_DYNAMIC_FETCH
};

// What OCIBindByPos / OCIBindByName were given.
using BindSpec = ClientBuffers;
// What OCIDefineByPos was given.
using DefineSpec = ClientBuffers;

} // namespace engine
