// The next and current values of a database sequence, read with two prepared
// single-row queries that run again on each request.
#pragma once

#include <string>

#include "ODbDynamicVariable.h"
#include "RefCountPtr.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbConnect;
class ODbSelectCursor;

// The name is used between double quotes, so it is taken exactly as written.
// The sequence must not outlive its connection.
class VORDB_API ODbSequence {
public:
    ODbSequence(ODbConnect& connection, const char* name);
    ODbSequence(const ODbSequence&) = delete;
    ODbSequence& operator=(const ODbSequence&) = delete;
    ~ODbSequence();

    // Advances the sequence and returns its new value.
    long getNextval();
    // The value the last getNextval of this session gave; the server refuses
    // it before the first one.
    long getCurrval();

private:
    static long read(ODbSelectCursor& cursor, ODbDynamicVariable& value);

    // Texts and variables are declared before the cursors that point at them,
    // so the cursors go first.
    std::string nextText_;
    std::string currText_;
    ODbDynamicVariable nextValue_; // 4-byte integer, one element
    ODbDynamicVariable currValue_;
    Utils::RefCountPtr<ODbSelectCursor> nextCursor_;
    Utils::RefCountPtr<ODbSelectCursor> currCursor_;
};

} // namespace Oracle
