// Base of the views that present one element of a LONG, LONG RAW or DATE
// variable as an object.
#pragma once

#include "ODbTypes.h"
#include "VorDbApi.h"

namespace Oracle {

class ODbDynamicVariable;

// A view points at a variable it does not own; the variable must outlive it.
class VORDB_API ODbDataInterface {
public:
    ODbDataInterface();
    ODbDataInterface(const ODbDataInterface& other);
    ODbDataInterface& operator=(const ODbDataInterface& other);
    virtual ~ODbDataInterface();

    // Writes the view's value into var (see each view for what is written).
    virtual void assign(ODbDynamicVariable& var) const = 0;

    // Selects the element the view presents; an index outside the viewed
    // variable throws an empty-message ODbException and keeps the selection.
    void setAind(ODbSignedIndex index) const;

protected:
    explicit ODbDataInterface(const ODbDynamicVariable& var);
    // The viewed variable; throws an empty-message ODbException when there is none.
    const ODbDynamicVariable& variable() const;
    // The selected index; throws an empty-message ODbException when none is selected.
    ODbIndex selected() const;

    const ODbDynamicVariable* var_; // viewed variable; not owned
    mutable ODbSignedIndex index_;  // selected element, -1 until set
};

} // namespace Oracle
