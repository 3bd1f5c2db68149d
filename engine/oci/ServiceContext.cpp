// Service-context attributes and the lookup of its parts.
#include "oci/ServiceContext.h"

#include "base/CallError.h"
#include "oci/HandleRegistry.h"
#include "oci/ServerHandle.h"
#include "oci/SessionHandle.h"
#include "session/Connection.h"

namespace engine {

const void** ServiceContext::slot(ub4 attribute) {
    switch (attribute) {
    case OCI_ATTR_SERVER: return &server_;
    case OCI_ATTR_SESSION: return &session_;
    case OCI_ATTR_TRANS: return &transaction_;
    default: return nullptr;
    }
}

void ServiceContext::getAttribute(ub4 attribute, void* value, ub4* size) const {
    const void** target = const_cast<ServiceContext*>(this)->slot(attribute);
    if (target == nullptr) Handle::getAttribute(attribute, value, size);
    putAttribute<const void*>(value, size, *target);
}

void ServiceContext::setAttribute(ub4 attribute, void* value, ub4 size) {
    const void** target = slot(attribute);
    if (target == nullptr) Handle::setAttribute(attribute, value, size);
    // The attribute codes SERVER, SESSION and TRANS are 6, 7, 8; the handle
    // types they take are 8, 9, 10.
    static_assert(OCI_HTYPE_SESSION - OCI_ATTR_SESSION == OCI_HTYPE_SERVER - OCI_ATTR_SERVER &&
                      OCI_HTYPE_TRANS - OCI_ATTR_TRANS == OCI_HTYPE_SERVER - OCI_ATTR_SERVER,
                  "handle-valued attributes map to their handle types by one offset");
    const ub4 handleType = attribute + (OCI_HTYPE_SERVER - OCI_ATTR_SERVER);
    if (HandleRegistry::instance().find(value, handleType) == nullptr) {
        throw InvalidHandle("attributep");
    }
    *target = value;
}

ServerHandle& ServiceContext::server() const {
    Handle* handle = HandleRegistry::instance().find(server_, OCI_HTYPE_SERVER);
    if (handle == nullptr) throw CallError(CallCode::NoServerAttach);
    return static_cast<ServerHandle&>(*handle);
}

SessionHandle& ServiceContext::session(const void* fallback) const {
    const void* address = fallback != nullptr ? fallback : session_;
    Handle* handle = HandleRegistry::instance().find(address, OCI_HTYPE_SESSION);
    if (handle == nullptr) throw CallError(CallCode::NotLoggedOn);
    return static_cast<SessionHandle&>(*handle);
}

std::shared_ptr<Connection> ServiceContext::connection() const { return session().connection(); }

}  // namespace engine
