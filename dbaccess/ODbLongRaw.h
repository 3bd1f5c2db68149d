// View of one element of a LONG RAW variable as bytes or hexadecimal text.
#pragma once

#include <vector>

#include "ODbDataInterface.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbLongRaw : public ODbDataInterface {
public:
    // var must be a LONG RAW variable (empty-message ODbException otherwise).
    explicit ODbLongRaw(const ODbDynamicVariable& var);
    ODbLongRaw(const ODbLongRaw& other);
    ODbLongRaw& operator=(const ODbLongRaw& other);
    ~ODbLongRaw() override;

    // The element's bytes, held by the view until the next call; null and 0 for
    // a NULL element.
    void getUnchainedRaw(const unsigned char*& bytes, unsigned int& length);
    // Replaces the element's pieces by the bytes; no bytes make the element NULL.
    void setUnchainedRaw(const unsigned char* bytes, unsigned int length);
    // Upper-case hexadecimal text of the bytes, or null when there are none.
    char* getCString();

    void assign(ODbDynamicVariable& var) const override;

private:
    std::vector<unsigned char> bytes_; // last bytes handed out
    std::vector<char> text_;           // last text handed out; empty when none
};

} // namespace Oracle
