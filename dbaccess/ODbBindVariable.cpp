#include "ODbBindVariable.h"

namespace Oracle {

ODbBindVariable::ODbBindVariable() : bindPos_(-1), hasName_(false), flag_(false) {}

ODbBindVariable::~ODbBindVariable() = default;

void ODbBindVariable::setBindName(const char* name)
{
    hasName_ = name != nullptr;
    bindName_ = hasName_ ? name : "";
}

} // namespace Oracle
