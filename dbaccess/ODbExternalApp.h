// Base of the classes that start Oracle's own client programs (SQL*Plus, export,
// import) as child processes: program name, working directory, parameters, and
// the Oracle home they are found in.
#pragma once

#include <string>
#include <vector>

#include "OraHomeLoc.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbExternalApp {
public:
    virtual ~ODbExternalApp();

protected:
    ODbExternalApp();

    // The child's working directory; may hold %NAME% references. Null or empty
    // throws "An argument must not be null".
    void setPath(const char* path);
    // The program put first on the command line; may hold %NAME% references.
    void setApp(const char* application);
    // Appends one parameter; parameters are joined with single blanks, as written.
    void addParam(const char* parameter);
    void clearParam();
    // Starts "application parameters..." in the path and returns true; the child
    // is not waited for. Throws Utils::ResourceFailure (creating a process) with
    // the system's text when the program cannot be started.
    bool execute();
    // The Oracle home from the given location; empty when there is none. LocSetting
    // while the Oracle-home-path setting is null throws "An argument must not be null".
    std::string getOraHome(OraHomeLoc location);
    // The BIN folder of the Oracle home from the location, where the tools are
    // found. An empty home throws "An argument must not be null": the tools must
    // not be looked for in a BIN folder of whatever directory happens to be current.
    std::string getBinFolder(OraHomeLoc location);

    // Throws "An argument must not be null" for a null argument.
    static void requireArgument(const char* argument);

    // Fixed messages of the external tools.
    static constexpr const char* ArgumentNull = "An argument must not be null";
    static constexpr const char* MustBeClosed = "The instance must be close";
    static constexpr const char* MustBeOpen = "The instance must be open";
private:
    // There is no registry on this platform: the location exists and reads empty.
    std::string readOraHomeFromReg();

    std::string path_;                    // working directory of the child
    std::string application_;             // program name, first on the command line
    std::vector<std::string> parameters_; // command-line parameters in order
};

} // namespace Oracle
