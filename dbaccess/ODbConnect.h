// A connection: one logged-on database session of one user. This abstract
// class holds the parsed connect string and the connected flag; the back end
// implements the session operations.
#pragma once

#include <memory>

#include "RefCounted.h"
#include "TransKind.h"
#include "VorDbApi.h"

namespace Oracle {

// Objects come from ODbClassfactory and live as long as a RefCountPtr holds them.
class VORDB_API ODbConnect : public virtual Utils::RefCounted {
public:
    // Longest connect string accepted: its working copy has 100 bytes.
    static constexpr unsigned int MaxConnStrLength = 99;

    ODbConnect(const ODbConnect&) = delete;
    ODbConnect& operator=(const ODbConnect&) = delete;
    ~ODbConnect() override;

    // Logs on with "user/password[@database]" ("/" and "@" separate alike).
    virtual bool logon(const char* connStr) = 0;
    // Ends the session; never throws.
    virtual void logoff() = 0;
    virtual void startTrans(TransKind kind) = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    // Interrupts the call that another thread is running on this session, which
    // then fails with ORA-01013 ("user requested cancel"); the session stays
    // logged on and usable. On an idle session it does nothing. Safe from any
    // thread while the session is in use, but not while it logs on or off.
    // Throws ODbException when the session is not logged on.
    virtual void breakRunningCall() = 0;

    bool isConnected() const;
    // The user name of the last connect string; null when not logged on.
    char* getUserName() const;
    // The last connect string as given; null when not logged on.
    char* getConnStr() const;

protected:
    using Text = std::unique_ptr<char[]>;

    ODbConnect();

    // Splits a connect string into user name, password and database and keeps
    // a copy of the whole; throws ODbException (code 0) for a string it refuses.
    void parseConnStr(const char* connStr);
    void connStrFree();
    // The parts; the database is null when the string names none.
    const char* database() const { return database_.get(); }
    const char* userName() const { return userName_.get(); }
    const char* password() const { return password_.get(); }
    void setConnected(bool connected) { connected_ = connected; }

private:
    Text database_; // third part: the server attach string, or null
    Text userName_; // first part
    Text password_; // second part
    bool connected_;
    Text connStr_;  // the whole string last given to logon
};

} // namespace Oracle
