// Export and import tools as child processes.
#include "ODbExpImp.h"

#include "ODbException.h"

namespace Oracle {

namespace {

// The one parameter of both tools: both values in double quotes, so that a file
// name with blanks stays one piece for the tool's own command-line reader.
std::string toolParameter(const char* file, const char* connectString)
{
    return std::string("userid=\"") + connectString + "\"" + " file =\"" + file + "\"";
}

} // namespace

ODbExpImp::ODbExpImp() : open_(false) {}

void ODbExpImp::open(const char* exportProgram, const char* importProgram)
{
    if (open_)
        throw ODbException("", 0, nullptr);
    requireArgument(exportProgram);
    requireArgument(importProgram);
    exportProgram_ = exportProgram;
    importProgram_ = importProgram;
    open_ = true;
}

bool ODbExpImp::exportData(OraHomeLoc location, const char* file, const char* connectString)
{
    return run(exportProgram_, location, file, connectString);
}

bool ODbExpImp::import(OraHomeLoc location, const char* file, const char* connectString)
{
    return run(importProgram_, location, file, connectString);
}

void ODbExpImp::close()
{
    if (!open_)
        throw ODbException("", 0, nullptr);
    exportProgram_.clear();
    importProgram_.clear();
    open_ = false;
}

bool ODbExpImp::run(const std::string& program, OraHomeLoc location, const char* file,
                    const char* connectString)
{
    requireArgument(file);
    requireArgument(connectString);
    // Without program names there is nothing to start: say so rather than fail
    // to find a program with an empty name.
    if (!open_)
        throw ODbException(MustBeOpen, 0, nullptr);
    clearParam();
    setApp(program.c_str());
    setPath(getBinFolder(location).c_str());
    addParam(toolParameter(file, connectString).c_str());
    return execute();
}

} // namespace Oracle
