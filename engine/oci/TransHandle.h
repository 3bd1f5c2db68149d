// The transaction handle (OCI_HTYPE_TRANS). Transactions are the session's
// (Connection); the handle only has to exist and be attached to the service
// context, as clients of the vendor's interface expect.
#pragma once

#include "oci/Handle.h"

namespace engine {

class TransHandle : public Handle {
public:
    TransHandle() : Handle(OCI_HTYPE_TRANS) {}
};

}  // namespace engine
