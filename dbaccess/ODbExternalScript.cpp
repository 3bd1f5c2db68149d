// SQL*Plus scripts as child processes.
#include "ODbExternalScript.h"

#include "ODbException.h"

namespace Oracle {

namespace {

// SQL*Plus: the program name, found in the home's BIN folder.
constexpr const char* sqlPlusProgram = "sqlplus.exe";
// Silent mode: no banner and no prompts in the child's console.
constexpr const char* silentOption = "-s";

} // namespace

ODbExternalScript::ODbExternalScript(OraHomeLoc location) : open_(false)
{
    setPath(getBinFolder(location).c_str());
    setApp(sqlPlusProgram);
}

ODbExternalScript::ODbExternalScript(OraHomeLoc location, const char* connectString, bool flag)
    : ODbExternalScript(location)
{
    open(connectString, flag);
}

void ODbExternalScript::open(const char* connectString, bool /*flag*/)
{
    if (open_)
        throw ODbException(MustBeClosed, 0, nullptr);
    if (connectString == nullptr || *connectString == '\0')
        throw ODbException(ArgumentNull, 0, nullptr);
    addParam(silentOption);
    addParam(connectString);
    open_ = true;
}

void ODbExternalScript::close()
{
    if (!open_)
        throw ODbException(MustBeOpen, 0, nullptr);
    clearParam();
    open_ = false;
}

bool ODbExternalScript::execute(const char* file)
{
    requireArgument(file);
    addParam((std::string("@") + file).c_str());
    return ODbExternalApp::execute();
}

} // namespace Oracle
