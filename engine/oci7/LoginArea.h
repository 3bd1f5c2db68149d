// The object behind a login data area: one session, owning what a release-8
// logon owns (environment, error, server, service-context and session
// handles), and the cursor areas opened on it, which close with it.
#pragma once

#include "oci.h"
#include "oci7/DataArea.h"

#include <memory>
#include <mutex>
#include <set>
#include <string>

namespace engine {

// Who logs on where: the parts of olog's arguments.
struct Credentials {
    std::string user;
    std::string password;
    std::string database;  // the alias a release-8 attach takes; empty for the default
};

class LoginArea : public DataArea {
public:
    explicit LoginArea(cda_def& fields);
    ~LoginArea() override;

    LoginArea& login() override { return *this; }

    // Attaches and begins the session; throws the server's error (ORA-01017
    // for a wrong password) and then holds no session.
    void logon(const Credentials& credentials);
    // Closes the session's cursor areas and ends the session, which commits.
    void logoff();
    void commit();
    void rollback();

    OCIEnv* environment() const { return environment_.get(); }
    OCISvcCtx* context() const { return context_; }
    OCIError* errors() const { return errors_; }

    // The cursor areas opened on this session, taken out of the registry when
    // it ends.
    void addCursor(const DataArea& cursor);
    void removeCursor(const DataArea& cursor);

private:
    struct EnvironmentRelease {
        void operator()(OCIEnv* environment) const { OCIHandleFree(environment, OCI_HTYPE_ENV); }
    };
    void closeCursors();

    std::unique_ptr<OCIEnv, EnvironmentRelease> environment_;  // frees the handles below with it
    OCIError* errors_ = nullptr;
    OCIServer* server_ = nullptr;
    OCISvcCtx* context_ = nullptr;
    OCISession* session_ = nullptr;
    bool loggedOn_ = false;  // the session began and has not ended
    std::mutex cursorsMutex_;  // guards cursors_: cursors close on their own threads
    std::set<const DataArea*> cursors_;
};

}  // namespace engine
