// Base of the searches that find a variable in an ItemList by a key.
#pragma once

#include "ItemList.h"
#include "ODbException.h"

namespace Oracle {

// Scans the list from 1 to its count; a key that matches nothing throws an
// ODbException with an empty message.
template <class T, class K> class FObj {
public:
    explicit FObj(const ItemList<T>& list) : list_(&list) {}
    virtual ~FObj() = default;

    T& operator()(K key) const
    {
        for (int i = 1; i <= list_->getCount(); ++i) {
            T* item = list_->getItem(i);
            if (item != nullptr && matches(*item, key))
                return *item;
        }
        throw ODbException();
    }

protected:
    virtual bool matches(const T& item, K key) const = 0;

private:
    const ItemList<T>* list_; // not owned
};

} // namespace Oracle
