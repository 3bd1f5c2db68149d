// View of one element of a LONG variable as text.
#pragma once

#include <vector>

#include "ODbDataInterface.h"
#include "VorDbApi.h"

namespace Oracle {

class VORDB_API ODbLong : public ODbDataInterface {
public:
    // var must be a LONG variable (empty-message ODbException otherwise); no
    // element is selected until setAind.
    explicit ODbLong(const ODbDynamicVariable& var);
    ODbLong(const ODbLong& other);
    ODbLong& operator=(const ODbLong& other);
    ~ODbLong() override;

    // The element's text, held by the view until the next call; null for a
    // NULL element.
    char* getCString();
    // Replaces the element's pieces by the text cut in pieces of at most
    // PieceChunk::Size bytes; a null or empty text makes the element NULL.
    void setCString(const char* text);

    // When var is not the viewed variable, its chain becomes a copy of the
    // viewed one's; var must be a LONG variable (empty-message ODbException).
    void assign(ODbDynamicVariable& var) const override;

private:
    std::vector<char> text_; // last text handed out; empty when none
};

} // namespace Oracle
