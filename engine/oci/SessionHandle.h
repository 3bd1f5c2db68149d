// The session handle (OCI_HTYPE_SESSION): the credentials set as attributes and,
// between OCISessionBegin and OCISessionEnd, the logged-on Connection.
// Freeing the handle of a session that was never ended ends it abnormally: its
// open work is lost.
#pragma once

#include "oci/Handle.h"

#include <memory>
#include <mutex>
#include <string>

namespace engine {

class Connection;

class SessionHandle : public Handle {
public:
    SessionHandle() : Handle(OCI_HTYPE_SESSION) {}

    void getAttribute(ub4 attribute, void* value, ub4* size) const override;
    void setAttribute(ub4 attribute, void* value, ub4 size) override;

    // Logs on to the database file `path` with the credentials set.
    std::shared_ptr<Connection> begin(const std::string& path);
    // Normal end: commits open work. ORA-01012 when not logged on.
    void end();
    // The logged-on connection; throws ORA-01012 when there is none.
    std::shared_ptr<Connection> connection() const;

private:
    mutable std::mutex mutex_;  // guards connection_: OCIBreak reads it from other threads
    std::string userName_;      // OCI_ATTR_USERNAME as given
    std::string password_;      // OCI_ATTR_PASSWORD as given
    std::shared_ptr<Connection> connection_;  // the session, while logged on
};

}  // namespace engine
