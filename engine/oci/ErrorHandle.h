// The error handle (OCI_HTYPE_ERROR): holds the record of the last failed call
// made with it, which OCIErrorGet reads.
#pragma once

#include "oci/ErrorRecords.h"
#include "oci/Handle.h"

namespace engine {

class ErrorHandle : public Handle {
public:
    ErrorHandle() : Handle(OCI_HTYPE_ERROR) {}
    ErrorRecords& records() { return records_; }

private:
    ErrorRecords records_;  // the last error reported through this handle
};

}  // namespace engine
