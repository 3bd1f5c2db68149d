// The server handle (OCI_HTYPE_SERVER): an attach to a database alias. Alias
// NAME is the file NAME.db in $VOR_DATA_DIR (or the current directory); the
// empty alias is "default". The sessions begun over the attach are remembered
// weakly so that OCIBreak on the server reaches them.
#pragma once

#include "oci/Handle.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace engine {

class Connection;

class ServerHandle : public Handle {
public:
    ServerHandle() : Handle(OCI_HTYPE_SERVER) {}

    void attach(const std::string& alias);
    void detach();
    bool attached() const;
    // The database file of the attach; throws ORA-24327 when not attached.
    std::string databasePath() const;

    void addSession(const std::shared_ptr<Connection>& connection);
    // Cancels the running call of every live session of this attach.
    void cancelSessions();

private:
    mutable std::mutex mutex_;  // guards the members: OCIBreak comes from other threads
    std::string path_;          // database file; empty when not attached
    std::vector<std::weak_ptr<Connection>> sessions_;  // sessions begun over this attach
};

}  // namespace engine
