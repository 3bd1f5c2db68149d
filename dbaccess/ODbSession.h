// A value-like owner of one connection, with the connection's own surface.
#pragma once

#include "ODbConnect.h"
#include "RefCountPtr.h"
#include "TransKind.h"
#include "VorDbApi.h"

namespace Oracle {

// Statements built on a session hold their own references to its connection.
class VORDB_API ODbSession {
public:
    // A connection that is not logged on.
    ODbSession();
    // A connection logged on with `connStr`; a failed logon leaves the constructor.
    explicit ODbSession(const char* connStr);
    ODbSession(const ODbSession& other) = default;
    ODbSession& operator=(const ODbSession& other) = default;
    ~ODbSession();

    bool logon(const char* connStr);
    void logoff();
    void startTrans(TransKind kind);
    void commit();
    void rollback();
    bool isConnected() const;
    char* getUserName() const;
    char* getConnStr() const;

    // The held connection, so a session goes wherever a connection is expected.
    operator ODbConnect&() const;

private:
    ODbConnect& connection() const;

    Utils::RefCountPtr<ODbConnect> connection_; // holds one reference
};

} // namespace Oracle
