// Common result shape of the describes.
#include "ODbDescribeTv.h"

#include "ODbException.h"
#include "ODbStatementMessages.h"

namespace Oracle {

ODbDescribeTv::ODbDescribeTv() = default;

ODbDescribeTv::~ODbDescribeTv() = default;

std::map<int, ODbColumnDesc>& ODbDescribeTv::getDescription()
{
    return description_;
}

const std::map<int, ODbColumnDesc>& ODbDescribeTv::getDescription() const
{
    return description_;
}

std::map<std::string, int>& ODbDescribeTv::getNumcols()
{
    return numcols_;
}

const std::map<std::string, int>& ODbDescribeTv::getNumcols() const
{
    return numcols_;
}

std::string ODbDescribeTv::selectAllFrom(const char* name)
{
    return std::string("select * from \"") + requiredName(name) + "\"";
}

const char* ODbDescribeTv::requiredName(const char* name)
{
    if (name == nullptr || *name == '\0')
        throw ODbException(Messages::ParameterNull, 0, nullptr);
    return name;
}

} // namespace Oracle
