// Runs Oracle's export and import tools:
// "<program> userid="<connect string>" file ="<file>"" in the BIN folder of the
// Oracle home.
#pragma once

#include <string>

#include "ODbExternalApp.h"

namespace Oracle {

class VORDB_API ODbExpImp : public ODbExternalApp {
public:
    ODbExpImp();

    // Stores the export and the import program names. Throws an exception with an
    // empty message when open, "An argument must not be null" for a null name.
    void open(const char* exportProgram, const char* importProgram);
    // Starts the export program with the dump file and the connect string in the
    // BIN folder of the Oracle home from the location; returns true. A null file or
    // connect string throws "An argument must not be null", a closed object "The
    // instance must be open". (Not named "export": that is a reserved word.)
    bool exportData(OraHomeLoc location, const char* file, const char* connectString);
    // The same with the import program.
    bool import(OraHomeLoc location, const char* file, const char* connectString);
    // Forgets the program names. Throws an exception with an empty message when
    // closed.
    void close();

private:
    // Shared body of exportData and import.
    bool run(const std::string& program, OraHomeLoc location, const char* file,
             const char* connectString);

    bool open_;                  // program names are stored
    std::string exportProgram_;  // export tool, as given to open
    std::string importProgram_;  // import tool, as given to open
    std::string reserved_;       // kept for the class's layout; always empty
};

} // namespace Oracle
