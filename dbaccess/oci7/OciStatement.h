// A cursor data area of one connection with a parsed statement: opened and
// parsed in the constructor, closed in the destructor.
#pragma once

#include <ociapr.h>

#include "OciCheck.h"

namespace Oracle {

class ODbConnectImpl;

class OciStatement {
public:
    // `text` must stay alive as long as the statement. Failures name
    // `reportedText`, or `text` when it is null. The parse is deferred to the
    // first execute or describe, whose failure reports a bad statement.
    OciStatement(ODbConnectImpl& connection, const char* text, const char* reportedText = nullptr);
    OciStatement(const OciStatement&) = delete;
    OciStatement& operator=(const OciStatement&) = delete;
    ~OciStatement();

    // The cursor area; throws "Not connected to Oracle" once the connection
    // logged off or logged on anew, since the cursor went with its session.
    cda_def* get();
    ODbConnectImpl& connection() const { return connection_; }
    const char* text() const { return text_; }
    // The checking helper for calls on this cursor.
    OciCheck check() { return OciCheck(area_, reportedText_); }
    // Closes the cursor now, with the result checked.
    void free();

private:
    bool stale() const;

    ODbConnectImpl& connection_;
    const char* text_;         // the caller's text, not copied
    const char* reportedText_; // the statement text of exceptions
    unsigned long sessionId_;  // the connection's session when opened
    cda_def area_;             // opaque to the library but for rc and rpc
    bool open_;                // the area holds an open cursor
};

} // namespace Oracle
