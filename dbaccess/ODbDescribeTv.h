// Common result shape of the describes: column descriptions by position and
// a table from (unique) name to position.
#pragma once

#include <map>
#include <string>

#include "ODbColumnDesc.h"
#include "RefCounted.h"
#include "VorDbApi.h"

namespace Oracle {

// Describe objects are complete once constructed and hold no call-interface
// handle afterwards; they must not outlive the connection they were made on.
class VORDB_API ODbDescribeTv : public virtual Utils::RefCounted {
public:
    // Descriptions keyed by 1-based position.
    std::map<int, ODbColumnDesc>& getDescription();
    const std::map<int, ODbColumnDesc>& getDescription() const;
    // Positions keyed by unique name (case-sensitive).
    std::map<std::string, int>& getNumcols();
    const std::map<std::string, int>& getNumcols() const;

protected:
    ODbDescribeTv();
    ~ODbDescribeTv() override;

    // "select * from " and `name` in double quotes: the query whose select
    // list describes a table or view. Throws "Parameter can not be null" for a
    // null or empty name.
    static std::string selectAllFrom(const char* name);
    // `name` itself; throws "Parameter can not be null" for a null or empty
    // name, which no object of the dictionary has.
    static const char* requiredName(const char* name);

private:
    std::map<int, ODbColumnDesc> description_;
    std::map<std::string, int> numcols_;
};

} // namespace Oracle
