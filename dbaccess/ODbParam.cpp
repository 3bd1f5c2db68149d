#include "ODbParam.h"

#include "ODbColumnDesc.h"
#include "ODbDynamicVariable.h"

namespace Oracle {

namespace {

// A size below 1 stands for "none given".
int normalisedSize(int size)
{
    return size >= 1 ? size : -1;
}

} // namespace

ODbParam::ODbParam() = default;

ODbParam::ODbParam(const ODbParam& other) = default;

ODbParam& ODbParam::operator=(const ODbParam& other)
{
    ODbArrayData::operator=(other);
    return *this;
}

ODbParam& ODbParam::operator=(ODbDynamicVariable& var)
{
    ODbArrayData::operator=(var);
    return *this;
}

ODbParam::~ODbParam() = default;

void ODbParam::initParam(const ODbColumnDesc& desc, ODbIndex arraySize)
{
    ODbDynamicVariable& var = variable();
    if (var.getFtype() == extNone)
        initVar(var, desc, arraySize);
}

ExtTypes ODbParam::initParam(IntTypes type, int size, ODbIndex arraySize)
{
    ODbDynamicVariable& var = variable();
    if (var.getFtype() != extNone)
        return var.getFtype();
    ExtTypes ext = extNone;
    int elemSize = 0;
    ODbMap::mapFtype(type, normalisedSize(size), ext, elemSize); // the map's own rule, not an override
    var.init(ext, elemSize, arraySize);
    return ext;
}

void ODbParam::initParam(SupportTypes type, int size, ODbIndex arraySize)
{
    ODbDynamicVariable& var = variable();
    if (var.getFtype() != extNone)
        return;
    ExtTypes ext = extNone;
    int elemSize = 0;
    mapFtype(type, normalisedSize(size), ext, elemSize);
    var.init(ext, elemSize, arraySize);
    var.setSupportType(type); // after init, which records supNone
}

void ODbParam::resetParam()
{
    ODbDynamicVariable& var = variable();
    if (var.getFtype() != extNone)
        var.deleteData();
}

bool ODbParam::isParInit() const
{
    return variable().getFtype() != extNone;
}

SupportTypes ODbParam::getSupportType() const
{
    return variable().getSupportType();
}

} // namespace Oracle
