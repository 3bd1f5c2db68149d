// A prepared statement handle of one connection, with an error handle of its
// own: allocated and prepared in the constructor, freed in the destructor.
// Statements of one connection may run on several threads at once; with the
// connection's error handle, one call's diagnostics could replace another's
// before they were read.
#pragma once

#include <oci.h>

#include "OciHandle.h"

namespace Oracle {

class ODbConnectImpl;

class OciStatement {
public:
    // `text` must stay alive as long as the statement: failures name it.
    OciStatement(ODbConnectImpl& connection, const char* text);
    OciStatement(const OciStatement&) = delete;
    OciStatement& operator=(const OciStatement&) = delete;
    ~OciStatement();

    // The handle; throws "Not connected to Oracle" once the connection logged
    // off or logged on anew, since the handle went with its environment.
    OCIStmt* get() const;
    ODbConnectImpl& connection() const { return connection_; }
    const char* text() const { return text_; }
    // The error handle for calls on this statement.
    OCIError* errorHandle() const { return error_.get(); }
    // The checking helper for calls on this statement.
    OciCheck check() const;
    // Frees the handle now, with the result checked.
    void free();

private:
    bool stale() const;
    // The environment the handles came from is gone, and freed them with it.
    void abandonHandles();

    ODbConnectImpl& connection_;
    const char* text_;              // the caller's text, not copied
    unsigned long sessionId_;       // the connection's session when allocated
    OciHandle<OCIError, OCI_HTYPE_ERROR> error_;
    OciHandle<OCIStmt, OCI_HTYPE_STMT> handle_;
};

} // namespace Oracle
