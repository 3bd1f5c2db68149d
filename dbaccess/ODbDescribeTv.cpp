// Common result shape of the describes.
#include "ODbDescribeTv.h"

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

} // namespace Oracle
