// LONG RAW view with index-taking forms.
#pragma once

#include "ODbLongRaw.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbLongRawArr : public ODbLongRaw {
public:
    explicit ODbLongRawArr(const ODbDynamicVariable& var);
    ODbLongRawArr(const ODbLongRawArr& other);
    ODbLongRawArr& operator=(const ODbLongRawArr& other);
    ~ODbLongRawArr() override;

    using ODbLongRaw::getCString;
    using ODbLongRaw::getUnchainedRaw;
    using ODbLongRaw::setUnchainedRaw;
    // Select element index (setAind), then act as the index-free forms.
    void getUnchainedRaw(const unsigned char*& bytes, unsigned int& length, ODbSignedIndex index);
    void setUnchainedRaw(const unsigned char* bytes, unsigned int length, ODbSignedIndex index);
    char* getCString(ODbSignedIndex index);
};

} // namespace Oracle
