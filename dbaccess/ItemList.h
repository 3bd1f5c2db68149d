// The 1-based list of variable pointers that a statement registers with its
// cursor. The list does not own the variables: the statement that made them does.
#pragma once

#include <vector>

namespace Oracle {

template <class T> class ItemList {
public:
    // No list yet: the count is -1 until create.
    ItemList() : created_(false) {}

    // Starts an empty list (count 0), dropping any earlier entries.
    void create()
    {
        items_.clear();
        created_ = true;
    }
    // Back to no list (count -1).
    void destroy()
    {
        items_.clear();
        created_ = false;
    }
    void add(T* item) { items_.push_back(item); }

    bool isCreated() const { return created_; }
    // Number of entries, or -1 when no list exists.
    int getCount() const { return created_ ? static_cast<int>(items_.size()) : -1; }
    // Entry at 1-based position i; unchecked, as it sits on the fetch path.
    T* getItem(int i) const { return items_[static_cast<std::size_t>(i - 1)]; }

private:
    std::vector<T*> items_; // not owned
    bool created_;          // a list exists (it may be empty)
};

} // namespace Oracle
