#include "ODbLongRawArr.h"

namespace Oracle {

ODbLongRawArr::ODbLongRawArr(const ODbDynamicVariable& var) : ODbLongRaw(var) {}

ODbLongRawArr::ODbLongRawArr(const ODbLongRawArr& other) = default;

ODbLongRawArr& ODbLongRawArr::operator=(const ODbLongRawArr& other) = default;

ODbLongRawArr::~ODbLongRawArr() = default;

void ODbLongRawArr::getUnchainedRaw(const unsigned char*& bytes, unsigned int& length, ODbSignedIndex index)
{
    setAind(index);
    getUnchainedRaw(bytes, length);
}

void ODbLongRawArr::setUnchainedRaw(const unsigned char* bytes, unsigned int length, ODbSignedIndex index)
{
    setAind(index);
    setUnchainedRaw(bytes, length);
}

char* ODbLongRawArr::getCString(ODbSignedIndex index)
{
    setAind(index);
    return getCString();
}

} // namespace Oracle
