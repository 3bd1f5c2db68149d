#include "ODbDataInterface.h"

#include "ODbDynamicVariable.h"
#include "ODbException.h"

namespace Oracle {

ODbDataInterface::ODbDataInterface() : var_(nullptr), index_(-1) {}

ODbDataInterface::ODbDataInterface(const ODbDynamicVariable& var) : var_(&var), index_(-1) {}

ODbDataInterface::ODbDataInterface(const ODbDataInterface& other) = default;

ODbDataInterface& ODbDataInterface::operator=(const ODbDataInterface& other) = default;

ODbDataInterface::~ODbDataInterface() = default;

void ODbDataInterface::setAind(ODbSignedIndex index) const
{
    const ODbDynamicVariable& var = variable();
    if (index < 0 || static_cast<ODbIndex>(index) >= var.getArraySize())
        throw ODbException();
    index_ = index;
}

const ODbDynamicVariable& ODbDataInterface::variable() const
{
    if (var_ == nullptr)
        throw ODbException();
    return *var_;
}

ODbIndex ODbDataInterface::selected() const
{
    // The variable may have shrunk since the element was selected.
    if (index_ < 0 || static_cast<ODbIndex>(index_) >= variable().getArraySize())
        throw ODbException();
    return static_cast<ODbIndex>(index_);
}

} // namespace Oracle
