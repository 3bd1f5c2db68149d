// Credentials and the life of a session.
#include "oci/SessionHandle.h"

#include "base/CallError.h"
#include "session/Connection.h"

namespace engine {

void SessionHandle::getAttribute(ub4 attribute, void* value, ub4* size) const {
    if (attribute != OCI_ATTR_USERNAME) Handle::getAttribute(attribute, value, size);
    *static_cast<const OraText**>(value) = reinterpret_cast<const OraText*>(userName_.c_str());
    if (size != nullptr) *size = static_cast<ub4>(userName_.size());
}

void SessionHandle::setAttribute(ub4 attribute, void* value, ub4 size) {
    if (attribute != OCI_ATTR_USERNAME && attribute != OCI_ATTR_PASSWORD) {
        Handle::setAttribute(attribute, value, size);
    }
    if (value == nullptr && size > 0) throw CallError(CallCode::InvalidArgument, "attributep");
    std::string text(static_cast<const char*>(value), value == nullptr ? 0 : size);
    (attribute == OCI_ATTR_USERNAME ? userName_ : password_) = std::move(text);
}

std::shared_ptr<Connection> SessionHandle::begin(const std::string& path) {
    auto connection = std::make_shared<Connection>(path, userName_, password_);
    std::lock_guard<std::mutex> lock(mutex_);
    connection_ = connection;
    return connection;
}

void SessionHandle::end() {
    std::shared_ptr<Connection> connection;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        connection.swap(connection_);
    }
    if (!connection) throw CallError(CallCode::NotLoggedOn);
    // Not a cancellable call: a pending break must not cost the session its work.
    auto hold = connection->holdCalls();
    connection->end();
}

std::shared_ptr<Connection> SessionHandle::connection() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!connection_) throw CallError(CallCode::NotLoggedOn);
    return connection_;
}

}  // namespace engine
