// The piece a statement waits for while an execute or fetch returns
// OCI_NEED_DATA, as OCIStmtGetPieceInfo reports it, and the client's answer
// as OCIStmtSetPieceInfo gives it.
#pragma once

#include "oci.h"

namespace engine {

class Handle;

struct PieceRequest {
    Handle* handle = nullptr;  // the bind or define that needs the piece; null when none is pending
    ub4 handleType = 0;        // OCI_HTYPE_BIND or OCI_HTYPE_DEFINE
    ub1 direction = 0;         // OCI_PARAM_IN (bind) or OCI_PARAM_OUT (define)
    ub4 iteration = 0;         // 0-based iteration (bind) or row within the batch (define)
    ub1 piece = OCI_FIRST_PIECE;  // OCI_FIRST_PIECE or OCI_NEXT_PIECE

    // For output pieces: where the client wants the piece written.
    void* buffer = nullptr;
    ub4* length = nullptr;        // in: room at buffer; out: bytes written
    sb2* indicator = nullptr;
    ub2* returnCode = nullptr;
    bool answered = false;        // OCIStmtSetPieceInfo came for this request
};

}  // namespace engine
