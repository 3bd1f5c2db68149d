// Reader of the attributes of one call-interface handle or parameter
// descriptor, as the describes walk them; every call goes through OciCheck.
#pragma once

#include <string>

#include <oci.h>

#include "ODbColumnDesc.h"
#include "OciCheck.h"

namespace Oracle {

class OciParam {
public:
    // Width of OCI_ATTR_PRECISION: 2 bytes in a select list, 1 byte in an
    // explicit describe.
    enum PrecisionWidth { SelectListPrecision, DescribePrecision };

    // `handle` is of type `handleType` (a statement, describe handle or
    // OCI_DTYPE_PARAM descriptor); nothing is owned.
    OciParam(const void* handle, ub4 handleType, OCIError* error, const OciCheck& check);

    // A fixed-size attribute, read into a value of its own width.
    template <class T> T get(ub4 attr) const
    {
        T value{};
        check_(OCIAttrGet(handle_, handleType_, &value, nullptr, attr, error_));
        return value;
    }
    // A text attribute, cut at `maxLength` bytes.
    std::string text(ub4 attr, std::size_t maxLength) const;
    // The descriptor held in attribute `attr` (a list or the described object).
    OciParam descriptor(ub4 attr) const;
    // True for the descriptor of an absent list (a subprogram without arguments).
    bool isNull() const { return handle_ == nullptr; }
    // The entry at `position` of this list (or select list).
    OciParam at(ub4 position) const;
    // Type, size, name, precision, scale and nullability of a column.
    ODbColumnDesc column(PrecisionWidth width) const;

private:
    const void* handle_;
    ub4 handleType_;
    OCIError* error_;
    OciCheck check_;
};

} // namespace Oracle
