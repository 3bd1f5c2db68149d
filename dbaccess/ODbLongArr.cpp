#include "ODbLongArr.h"

namespace Oracle {

ODbLongArr::ODbLongArr(const ODbDynamicVariable& var) : ODbLong(var) {}

ODbLongArr::ODbLongArr(const ODbLongArr& other) = default;

ODbLongArr& ODbLongArr::operator=(const ODbLongArr& other) = default;

ODbLongArr::~ODbLongArr() = default;

char* ODbLongArr::getCString(ODbSignedIndex index)
{
    setAind(index);
    return getCString();
}

void ODbLongArr::setCString(const char* text, ODbSignedIndex index)
{
    setAind(index);
    setCString(text);
}

} // namespace Oracle
