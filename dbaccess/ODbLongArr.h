// LONG view with index-taking forms.
#pragma once

#include "ODbLong.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbLongArr : public ODbLong {
public:
    explicit ODbLongArr(const ODbDynamicVariable& var);
    ODbLongArr(const ODbLongArr& other);
    ODbLongArr& operator=(const ODbLongArr& other);
    ~ODbLongArr() override;

    using ODbLong::getCString;
    using ODbLong::setCString;
    // Select element index (setAind), then act as the index-free forms.
    char* getCString(ODbSignedIndex index);
    void setCString(const char* text, ODbSignedIndex index);
};

} // namespace Oracle
