// Database aliases and the sessions of an attach.
#include "oci/ServerHandle.h"

#include "base/CallError.h"
#include "session/Connection.h"

#include <algorithm>
#include <cstdlib>

namespace engine {
namespace {

// The alias with surrounding blanks removed; "default" when nothing is left.
std::string normalisedAlias(const std::string& alias) {
    const std::size_t first = alias.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "default";
    const std::size_t last = alias.find_last_not_of(" \t\r\n");
    return alias.substr(first, last - first + 1);
}

// An alias names a file in the data directory and nothing outside it.
bool isPlainName(const std::string& alias) {
    return alias.find('/') == std::string::npos && alias != "." && alias != "..";
}

}  // namespace

void ServerHandle::attach(const std::string& alias) {
    const std::string name = normalisedAlias(alias);
    if (!isPlainName(name)) throw CallError(CallCode::UnresolvedAlias);
    const char* directory = std::getenv("VOR_DATA_DIR");
    const std::string base = directory != nullptr && *directory != '\0' ? directory : ".";
    std::lock_guard<std::mutex> lock(mutex_);
    path_ = base + "/" + name + ".db";
}

void ServerHandle::detach() {
    std::lock_guard<std::mutex> lock(mutex_);
    path_.clear();
    sessions_.clear();
}

bool ServerHandle::attached() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !path_.empty();
}

std::string ServerHandle::databasePath() const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (path_.empty()) throw CallError(CallCode::NoServerAttach);
    return path_;
}

void ServerHandle::addSession(const std::shared_ptr<Connection>& connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    sessions_.erase(std::remove_if(sessions_.begin(), sessions_.end(),
                                   [](const std::weak_ptr<Connection>& s) { return s.expired(); }),
                    sessions_.end());
    sessions_.push_back(connection);
}

void ServerHandle::cancelSessions() {
    std::vector<std::shared_ptr<Connection>> live;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (const auto& session : sessions_) {
            if (auto connection = session.lock()) live.push_back(connection);
        }
    }
    for (const auto& connection : live) connection->cancelState().request();
}

}  // namespace engine
