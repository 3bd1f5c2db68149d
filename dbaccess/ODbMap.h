// The type map: turns a described datatype or a support type into the external
// type and element size of a dynamic variable.
#pragma once

#include "ODbTypes.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbDynamicVariable;
struct ODbColumnDesc;

// Holds no data; queries, stored procedures and parameters derive from it to
// initialise the variables they create. Failures throw ODbException and leave
// the variable unchanged.
class VORDB_API ODbMap {
public:
    ODbMap();
    ODbMap(const ODbMap& other);
    // Calls initVar(var, desc, arraySize).
    ODbMap(ODbDynamicVariable& var, const ODbColumnDesc& desc, ODbIndex arraySize);
    virtual ~ODbMap();
    // The map has no state: assignment copies nothing.
    ODbMap& operator=(const ODbMap& other);

    // Initialises a not-initialised variable for the described item with
    // arraySize elements; an initialised variable is left alone.
    virtual void initVar(ODbDynamicVariable& var, const ODbColumnDesc& desc, ODbIndex arraySize) const;

protected:
    // Support type to external type and element size; size is the caller's
    // maximum for texts and raw values and ignored for fixed-size kinds.
    virtual void mapFtype(SupportTypes type, int size, ExtTypes& ext, int& elemSize) const;
    // Described internal type to external type and element size.
    virtual void mapFtype(IntTypes type, int size, ExtTypes& ext, int& elemSize) const;
    // Element size of an external type for an item of the given size.
    virtual int datatypeSize(ExtTypes ext, int size, IntTypes type) const;

    ExtTypes int2ext(IntTypes type) const;
    // Size used for described items that report no positive size.
    int getDefSizes(short type) const;
};

} // namespace Oracle
