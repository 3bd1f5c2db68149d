// Runs SQL*Plus scripts: "sqlplus.exe -s <connect string> @<file>..." in the
// BIN folder of the Oracle home.
#pragma once

#include "ODbExternalApp.h"

namespace Oracle {

class VORDB_API ODbExternalScript : public ODbExternalApp {
public:
    // Finds the Oracle home at the location; an empty home throws "An argument
    // must not be null". Not open.
    explicit ODbExternalScript(OraHomeLoc location);
    // The same, then open with the connect string.
    ODbExternalScript(OraHomeLoc location, const char* connectString, bool flag);

    // Adds "-s" and the connect string to the command line. Throws "The instance
    // must be close" when open, "An argument must not be null" for a null or empty
    // connect string. The flag is accepted and has no effect.
    void open(const char* connectString, bool flag);
    // Forgets every parameter. Throws "The instance must be open" when closed.
    void close();
    // Adds "@file" and starts SQL*Plus; returns true. Each call adds one more
    // script, so a later call runs the earlier scripts again before its own, until
    // close. A null file throws "An argument must not be null".
    bool execute(const char* file);

private:
    bool open_; // "-s" and a connect string are on the command line
};

} // namespace Oracle
