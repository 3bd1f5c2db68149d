// The bind variables of a statement, owned, with one accessor handed out.
#pragma once

#include <memory>
#include <vector>

#include "ItemList.h"
#include "ODbBindVariable.h"
#include "ODbException.h"
#include "ODbPointedAccessor.h"

namespace Oracle {

// T is ODbParam or ODbArrayData. Positions are 1-based.
template <class T> class ODbBind {
public:
    ODbBind() = default;
    ODbBind(const ODbBind&) = delete;
    ODbBind& operator=(const ODbBind&) = delete;
    virtual ~ODbBind() = default;

    // A new list of n fresh (not initialised) bind variables, replacing any old one.
    virtual void create(int n)
    {
        destroyVariables();
        list_.create();
        for (int i = 0; i < n; ++i)
            add();
    }
    // Deletes the list and its variables; throws an empty-message
    // ODbException when no list exists.
    virtual void destroy()
    {
        if (!list_.isCreated())
            throw ODbException();
        destroyVariables();
    }
    // Variable at 1-based position i (unchecked).
    virtual ODbBindVariable* getVariable(int i) const { return list_.getItem(i); }
    // Number of variables, -1 when no list exists.
    virtual int getCount() const { return list_.getCount(); }
    // The accessor pointed at variable i (element 0).
    virtual T& getBindObj(int i) { return accessor_.point(*list_.getItem(i), 0); }

    // What a cursor is given to register.
    const ItemList<ODbBindVariable>& getList() const { return list_; }

protected:
    ODbBindVariable& add()
    {
        variables_.emplace_back(new ODbBindVariable());
        list_.add(variables_.back().get());
        return *variables_.back();
    }
    T& point(ODbBindVariable& var) { return accessor_.point(var, 0); }

    ItemList<ODbBindVariable> list_;

private:
    void destroyVariables()
    {
        list_.destroy();
        variables_.clear();
    }

    std::vector<std::unique_ptr<ODbBindVariable>> variables_; // owned, in list order
    ODbPointedAccessor<T> accessor_;                          // the one handed out
};

} // namespace Oracle
