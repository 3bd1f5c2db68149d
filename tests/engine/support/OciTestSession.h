// One logged-on session driven only through the call interface, the way the
// library drives it: environment, error, server, service-context, session and
// transaction handles, with helpers to run statements and read errors.
#pragma once

#include "oci.h"

#include <string>
#include <vector>

namespace engine_test {

// The text of the last error on `error` (record 1), without the newline the
// interface ends it with; empty when there is none.
std::string errorText(OCIError* error);

class OciTestSession {
public:
    OciTestSession();  // handles allocated, not logged on
    ~OciTestSession(); // logs off normally when still logged on, then frees all
    OciTestSession(const OciTestSession&) = delete;
    OciTestSession& operator=(const OciTestSession&) = delete;

    // Attaches to `alias` and begins a session; the status of the first call
    // that fails (or OCI_SUCCESS).
    sword logon(const std::string& user, const std::string& password, const std::string& alias = "test");
    // The normal end: OCISessionEnd and OCIServerDetach.
    void logoff();
    // Frees the session handle without ending the session, as a crashed
    // client's resources are torn down.
    void abandon();

    OCIEnv* env() const { return env_; }
    OCIError* err() const { return err_; }
    OCISvcCtx* svc() const { return svc_; }
    OCIServer* server() const { return server_; }
    std::string lastError() const { return errorText(err_); }

    // A new statement handle (freed with the session) prepared with `sql`.
    OCIStmt* prepare(const std::string& sql);
    // Prepares and executes `sql` once (a query: without fetching); returns
    // the status and leaves the handle for the caller's checks in `stmt`.
    sword execute(const std::string& sql, OCIStmt** stmt = nullptr);
    // Runs `sql`, failing the current test with the server's text on error.
    void run(const std::string& sql);
    // The first column of every row of query `sql`, as text ("<null>" for NULL).
    std::vector<std::string> column(const std::string& sql);
    // The single value `sql` selects, as text.
    std::string value(const std::string& sql);

private:
    OCIEnv* env_ = nullptr;
    OCIError* err_ = nullptr;
    OCIServer* server_ = nullptr;
    OCISvcCtx* svc_ = nullptr;
    OCISession* session_ = nullptr;
    OCITrans* trans_ = nullptr;
    bool loggedOn_ = false;
    std::vector<OCIStmt*> statements_;  // freed by the destructor
};

}  // namespace engine_test
