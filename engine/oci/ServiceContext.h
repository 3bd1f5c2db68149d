// The service context (OCI_HTYPE_SVCCTX): ties a server attach, a session and a
// transaction handle together. It keeps their addresses and looks them up in
// the handle registry at each use, so a freed handle is refused, not touched.
#pragma once

#include "oci/Handle.h"

#include <memory>

namespace engine {

class Connection;
class ServerHandle;
class SessionHandle;

class ServiceContext : public Handle {
public:
    ServiceContext() : Handle(OCI_HTYPE_SVCCTX) {}

    void getAttribute(ub4 attribute, void* value, ub4* size) const override;
    void setAttribute(ub4 attribute, void* value, ub4 size) override;

    // The attached server; ORA-24327 when none is set.
    ServerHandle& server() const;
    // The session set on this context, or `fallback` when it is null.
    SessionHandle& session(const void* fallback = nullptr) const;
    // The logged-on connection of the session; ORA-01012 when there is none.
    std::shared_ptr<Connection> connection() const;

private:
    // Slot for a handle-valued attribute, or null for any other attribute.
    const void** slot(ub4 attribute);

    const void* server_ = nullptr;       // OCI_ATTR_SERVER
    const void* session_ = nullptr;      // OCI_ATTR_SESSION
    const void* transaction_ = nullptr;  // OCI_ATTR_TRANS
};

}  // namespace engine
