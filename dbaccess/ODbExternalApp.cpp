// Starting Oracle's client programs and finding the Oracle home.
#include "ODbExternalApp.h"

#include "ODbException.h"
#include "ODbOraGlobal.h"
#include "Process.h"

namespace Oracle {

namespace {

// Folder of the programs below the Oracle home.
constexpr const char* binFolder = "/BIN";

} // namespace

ODbExternalApp::ODbExternalApp() = default;

ODbExternalApp::~ODbExternalApp() = default;

void ODbExternalApp::requireArgument(const char* argument)
{
    if (argument == nullptr)
        throw ODbException(ArgumentNull, 0, nullptr);
}

void ODbExternalApp::setPath(const char* path)
{
    if (path == nullptr || *path == '\0')
        throw ODbException(ArgumentNull, 0, nullptr);
    path_ = path;
}

void ODbExternalApp::setApp(const char* application)
{
    requireArgument(application);
    application_ = application;
}

void ODbExternalApp::addParam(const char* parameter)
{
    requireArgument(parameter);
    parameters_.emplace_back(parameter);
}

void ODbExternalApp::clearParam() { parameters_.clear(); }

bool ODbExternalApp::execute()
{
    std::string joined;
    for (std::size_t i = 0; i < parameters_.size(); ++i)
        joined += (i == 0 ? "" : " ") + parameters_[i];
    // The handle is given up at once: the child outlives this call and the object.
    Utils::Process child(application_, joined, path_, false);
    return true;
}

std::string ODbExternalApp::getOraHome(OraHomeLoc location)
{
    switch (location) {
    case LocRegistry:
        return readOraHomeFromReg();
    case LocEnvironment: {
        const char* variable = ODbOraGlobal::Ptr->getOraHomeVar();
        return variable != nullptr ? Utils::Process::expand(variable) : std::string();
    }
    case LocSetting: {
        const char* home = ODbOraGlobal::Ptr->getOraHomePath();
        requireArgument(home);
        return home;
    }
    }
    return std::string();
}

std::string ODbExternalApp::getBinFolder(OraHomeLoc location)
{
    const std::string home = getOraHome(location);
    if (home.empty())
        throw ODbException(ArgumentNull, 0, nullptr);
    return home + binFolder;
}

std::string ODbExternalApp::readOraHomeFromReg() { return std::string(); }

} // namespace Oracle
