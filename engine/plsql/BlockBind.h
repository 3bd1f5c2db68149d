// One client bind as a block sees it: the element it holds in the running
// iteration, and the way a value the block assigns goes back. The call
// interface's bind handles implement it, so the block language knows nothing
// else of the client's buffers.
#pragma once

#include "base/BindTarget.h"
#include "base/ColumnValue.h"
#include "oratypes.h"
#include "plsql/ConvertedElements.h"

namespace engine {

class BlockBind {
public:
    // A value converted to the bind's external type, ready for its buffers.
    using OutValue = ConvertedElements::Element;

    // Sets `target` to element `iteration` as it would be bound; `copy`: the
    // target must copy the bytes it keeps.
    virtual void element(BindTarget& target, ub4 iteration, bool copy) const = 0;
    // Adds `value` converted for this bind to `into`. ORA-06502 when it does
    // not fit the element or is no number for a numeric type, ORA-01405 for a
    // NULL without an indicator, ORA-03115 for a data-at-exec bind (its values
    // come in pieces).
    virtual void convertOut(const ColumnValue& value, ConvertedElements& into) const = 0;
    // Writes `value` into element `iteration`, with its indicator, length and
    // return code.
    virtual void storeOut(const OutValue& value, ub4 iteration) const = 0;

    // A PL/SQL table bind: one value of tableLength() elements for the call.
    virtual bool isTable() const = 0;
    virtual ub4 tableLength() const = 0;
    // Sets `target` to element `index` (0-based) of the table; its bytes stay
    // until the next element is asked for.
    virtual void tableElement(BindTarget& target, ub4 index) = 0;
    // Gives the client the table's new elements: through its callbacks, or
    // into its array with the count (ORA-06513 when they do not fit).
    virtual void storeTable(const ConvertedElements& elements) = 0;

protected:
    ~BlockBind() = default;
};

}  // namespace engine
