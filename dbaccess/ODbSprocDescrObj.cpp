// The description of one stored procedure with the block that calls it.
#include "ODbSprocDescrObj.h"

#include "ODbClassfactory.h"
#include "ODbDescribeProc.h"
#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbSprocDescrObj::ODbSprocDescrObj() = default;

ODbSprocDescrObj::ODbSprocDescrObj(ODbConnect& connection, const char* name, const char* package)
{
    init(connection, name, package);
}

ODbSprocDescrObj::ODbSprocDescrObj(const ODbSprocDescrObj& other) = default;

ODbSprocDescrObj& ODbSprocDescrObj::operator=(const ODbSprocDescrObj& other) = default;

ODbSprocDescrObj::~ODbSprocDescrObj() = default;

void ODbSprocDescrObj::init(ODbConnect& connection, const char* name, const char* package)
{
    if (isInitialised())
        throw ODbException();
    const Utils::RefCountPtr<ODbDescribeProc> describe =
        ODbClassfactory::createODbDescribeProc(connection, name, package);
    if (describe->isFunction())
        throw ODbException(Messages::NotAProcedure, 0, nullptr);
    arguments_ = describe->getDescription();
    positions_ = describe->getNumcols();
    procedure_ = name;
    package_ = package != nullptr ? package : "";
    buildBlock();
}

const ODbColumnDesc& ODbSprocDescrObj::getColumnDescr(int position) const
{
    const auto found = arguments_.find(position);
    if (found == arguments_.end())
        throw ODbException(Messages::NoSuchArgument, 0, nullptr);
    return found->second;
}

int ODbSprocDescrObj::getFieldName(const char* name) const
{
    const auto found = name != nullptr ? positions_.find(name) : positions_.end();
    if (found == positions_.end())
        throw ODbException(Messages::NoSuchArgument, 0, nullptr);
    return found->second;
}

const std::map<int, ODbColumnDesc>& ODbSprocDescrObj::getDescriptiveMap() const
{
    return arguments_;
}

const std::map<std::string, int>& ODbSprocDescrObj::getFieldNamesMap() const
{
    return positions_;
}

const char* ODbSprocDescrObj::getBlock() const
{
    return block_.c_str();
}

int ODbSprocDescrObj::getArgumentCount() const
{
    return static_cast<int>(arguments_.size());
}

bool ODbSprocDescrObj::isInitialised() const
{
    return !procedure_.empty();
}

// Placeholders carry the described names, so each argument is bound by name
// whatever the order in which the server lists them.
void ODbSprocDescrObj::buildBlock()
{
    block_ = "begin ";
    if (!package_.empty())
        block_ += package_ + ".";
    block_ += procedure_ + "(";
    for (auto it = arguments_.begin(); it != arguments_.end(); ++it) {
        if (it != arguments_.begin())
            block_ += " ,";
        block_ += ":" + std::string(it->second.name);
    }
    block_ += "); end;";
}

} // namespace Oracle
