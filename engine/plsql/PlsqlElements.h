// The elements of an index-by table, by index, in index order: a map that
// remembers the element last reached, so that a loop over the indexes goes
// from one element to its neighbour instead of searching from the root each
// time, and an element added past the last one goes in without a search.
// A copy remembers nothing of the original's place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>

namespace engine {

struct PlsqlValue;

class PlsqlElements {
    using Map = std::map<std::int64_t, PlsqlValue>;

public:
    using iterator = Map::iterator;
    using const_iterator = Map::const_iterator;

    PlsqlElements();
    PlsqlElements(const PlsqlElements& other);
    PlsqlElements& operator=(const PlsqlElements& other);
    ~PlsqlElements();

    // The element of index `key`, or end().
    iterator find(std::int64_t key) const;
    // The element of index `key`, made (NULL) when there is none.
    PlsqlValue& operator[](std::int64_t key);
    // Adds an element of an index past every other one.
    void append(std::int64_t key, PlsqlValue value);
    std::size_t erase(std::int64_t key);
    void clear();

    std::size_t size() const { return map_.size(); }
    bool empty() const { return map_.empty(); }
    std::size_t count(std::int64_t key) const;
    const_iterator begin() const { return map_.begin(); }
    const_iterator end() const { return map_.end(); }
    Map::const_reverse_iterator rbegin() const { return map_.rbegin(); }
    const_iterator upper_bound(std::int64_t key) const { return map_.upper_bound(key); }
    const_iterator lower_bound(std::int64_t key) const { return map_.lower_bound(key); }

private:
    // Mutable so that a lookup, which moves last_, works on a table read as a const one too.
    mutable Map map_;
    mutable iterator last_;  // the element last reached, or end()
};

}  // namespace engine
