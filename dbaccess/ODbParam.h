// A statement parameter: an array accessor that types its variable once with
// the type map. Also the base of the interpreter's script values.
#pragma once

#include "ODbArrayData.h"
#include "ODbMap.h"
#include "ODbTypes.h"
#include "VorDbApi.h"

namespace Oracle {

struct ODbColumnDesc;

// Does not own its variable. Untyped until one initParam succeeds; further
// initParam calls are ignored until resetParam. Operating on a parameter that
// points at no variable throws an empty-message ODbException.
class VORDB_API ODbParam : public ODbArrayData, public ODbMap {
public:
    ODbParam();
    ODbParam(const ODbParam& other);
    ODbParam& operator=(const ODbParam& other);
    ODbParam& operator=(ODbDynamicVariable& var);
    ~ODbParam() override;

    // Types the variable for the described item; ignored when typed already.
    virtual void initParam(const ODbColumnDesc& desc, ODbIndex arraySize);
    // Types the variable for an internal type; returns the variable's external
    // type (the existing one when typed already).
    ExtTypes initParam(IntTypes type, int size, ODbIndex arraySize);
    // Types the variable for a support type and records it in the variable.
    void initParam(SupportTypes type, int size, ODbIndex arraySize);
    // Empties the variable so that it can be typed again.
    void resetParam();
    bool isParInit() const;
    SupportTypes getSupportType() const;
};

} // namespace Oracle
