// Reader of the attributes of one handle or parameter descriptor.
#include "OciParam.h"

#include <algorithm>
#include <cstring>

namespace Oracle {

OciParam::OciParam(const void* handle, ub4 handleType, OCIError* error, const OciCheck& check)
    : handle_(handle), handleType_(handleType), error_(error), check_(check)
{
}

std::string OciParam::text(ub4 attr, std::size_t maxLength) const
{
    OraText* value = nullptr;
    ub4 length = 0;
    check_(OCIAttrGet(handle_, handleType_, &value, &length, attr, error_));
    if (value == nullptr)
        return std::string();
    return std::string(reinterpret_cast<const char*>(value), std::min<std::size_t>(length, maxLength));
}

OciParam OciParam::descriptor(ub4 attr) const
{
    return OciParam(get<OCIParam*>(attr), OCI_DTYPE_PARAM, error_, check_);
}

OciParam OciParam::at(ub4 position) const
{
    void* param = nullptr;
    check_(OCIParamGet(handle_, handleType_, error_, &param, position));
    return OciParam(param, OCI_DTYPE_PARAM, error_, check_);
}

ODbColumnDesc OciParam::column(PrecisionWidth width) const
{
    ODbColumnDesc desc;
    desc.dataType = static_cast<short>(get<ub2>(OCI_ATTR_DATA_TYPE));
    desc.dataSize = get<ub2>(OCI_ATTR_DATA_SIZE);
    const std::string name = text(OCI_ATTR_NAME, ODbColumnDesc::NameCapacity - 1);
    std::memcpy(desc.name, name.c_str(), name.size() + 1);
    desc.nameLength = static_cast<unsigned int>(name.size());
    desc.precision = width == SelectListPrecision ? get<sb2>(OCI_ATTR_PRECISION)
                                                  : get<ub1>(OCI_ATTR_PRECISION);
    desc.scale = get<sb1>(OCI_ATTR_SCALE);
    desc.nullable = get<ub1>(OCI_ATTR_IS_NULL);
    return desc;
}

} // namespace Oracle
