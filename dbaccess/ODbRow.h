// The column variables of a result row, owned, with one accessor handed out.
#pragma once

#include <memory>
#include <vector>

#include "ItemList.h"
#include "ODbDynamicVariable.h"
#include "ODbException.h"
#include "ODbPointedAccessor.h"
#include "ODbStatementMessages.h"

namespace Oracle {

// T is ODbData. Columns are 1-based. A copy owns copies of the variables.
template <class T> class ODbRow {
public:
    ODbRow() = default;
    ODbRow(const ODbRow& other) { copyFrom(other); }
    ODbRow& operator=(const ODbRow& other)
    {
        if (this != &other)
            copyFrom(other);
        return *this;
    }
    virtual ~ODbRow() = default;

    // A new list of n fresh (not initialised) variables, replacing any old one.
    void create(int n)
    {
        clear();
        list_.create();
        for (int i = 0; i < n; ++i)
            add(new ODbDynamicVariable());
    }
    // Deletes the list and its variables; throws an empty-message
    // ODbException when no list exists.
    void destroy()
    {
        if (!list_.isCreated())
            throw ODbException();
        clear();
    }
    // Number of columns, -1 when no list exists.
    int getCount() const { return list_.getCount(); }
    // Variable of 1-based column i (unchecked).
    ODbDynamicVariable* getVariable(int i) const { return list_.getItem(i); }
    // The accessor pointed at column i (checked), element `index`.
    T& getField(int i, ODbIndex index = 0)
    {
        if (i < 1 || i > list_.getCount())
            throw ODbException(Messages::NoSuchColumn, 0, nullptr);
        return accessor_.point(*list_.getItem(i), index);
    }
    // What a cursor is given to register.
    const ItemList<ODbDynamicVariable>& getList() const { return list_; }

private:
    void add(ODbDynamicVariable* var)
    {
        variables_.emplace_back(var);
        list_.add(var);
    }
    void clear()
    {
        list_.destroy();
        variables_.clear();
    }
    void copyFrom(const ODbRow& other)
    {
        clear();
        if (!other.list_.isCreated())
            return;
        list_.create();
        for (int i = 1; i <= other.getCount(); ++i)
            add(new ODbDynamicVariable(*other.getVariable(i)));
    }

    ItemList<ODbDynamicVariable> list_;
    std::vector<std::unique_ptr<ODbDynamicVariable>> variables_; // owned, in list order
    ODbPointedAccessor<T> accessor_;                             // the one handed out
};

} // namespace Oracle
