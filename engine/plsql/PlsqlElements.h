// The elements of an index-by table, by index, in index order. Most tables
// are filled 1, 2, 3, ... and read in that order (a host array passed in, a
// loop that builds a result), so the elements are kept side by side in one
// vector while their indexes are consecutive: an element is reached by
// subtraction, and the table takes one block of memory instead of a node per
// element. The first element that breaks the run (a gap, one before the
// first, a DELETE other than of the last) moves them all into a map, which
// remembers the element last reached, so that a loop over the indexes goes
// from one element to its neighbour instead of searching from the root each
// time. A copy remembers nothing of the original's place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <type_traits>
#include <utility>
#include <vector>

namespace engine {

struct PlsqlValue;

class PlsqlElements {
public:
    using Entry = std::pair<const std::int64_t, PlsqlValue>;

private:
    using Map = std::map<std::int64_t, PlsqlValue>;

    // An element of either form; `Const` for one that reads only.
    template <bool Const>
    class Position {
        using EntryType = std::conditional_t<Const, const Entry, Entry>;
        using MapPosition = std::conditional_t<Const, Map::const_iterator, Map::iterator>;

    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = EntryType*;
        using reference = EntryType&;

        Position() = default;
        explicit Position(EntryType* dense) : dense_(dense), inMap_(false) {}
        explicit Position(MapPosition sparse) : sparse_(sparse), inMap_(true) {}
        // A writable position reads as well.
        template <bool OtherConst, typename = std::enable_if_t<Const && !OtherConst>>
        Position(const Position<OtherConst>& other) : dense_(other.dense_), sparse_(other.sparse_), inMap_(other.inMap_) {}

        reference operator*() const { return inMap_ ? *sparse_ : *dense_; }
        pointer operator->() const { return &**this; }
        Position& operator++() {
            inMap_ ? static_cast<void>(++sparse_) : static_cast<void>(++dense_);
            return *this;
        }
        Position& operator--() {
            inMap_ ? static_cast<void>(--sparse_) : static_cast<void>(--dense_);
            return *this;
        }
        Position operator++(int) {
            Position before = *this;
            ++*this;
            return before;
        }
        Position operator--(int) {
            Position before = *this;
            --*this;
            return before;
        }
        friend bool operator==(const Position& left, const Position& right) {
            return left.inMap_ ? left.sparse_ == right.sparse_ : left.dense_ == right.dense_;
        }
        friend bool operator!=(const Position& left, const Position& right) { return !(left == right); }

    private:
        template <bool>
        friend class Position;

        EntryType* dense_ = nullptr;
        MapPosition sparse_{};
        bool inMap_ = false;
    };

public:
    using iterator = Position<false>;
    using const_iterator = Position<true>;

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
    // Makes room for `count` elements, for a table about to be filled in order.
    void reserve(std::size_t count);
    std::size_t erase(std::int64_t key);
    void clear();

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    std::size_t count(std::int64_t key) const;
    const_iterator begin() const;
    const_iterator end() const;
    const_iterator upper_bound(std::int64_t key) const;
    const_iterator lower_bound(std::int64_t key) const;

private:
    bool inMap() const { return !map_.empty(); }
    // The position in the nonempty dense_ of index `key`, which may lie outside it.
    std::int64_t offsetOf(std::int64_t key) const;
    iterator denseAt(std::size_t offset) const;
    iterator writableEnd() const;
    // Moves the elements into the map, for an index that breaks the run.
    void toMap();

    // Mutable so that a lookup, which moves last_, works on a table read as a const one too.
    mutable std::vector<Entry> dense_;  // the elements while their indexes run without a gap
    mutable Map map_;                   // the elements otherwise (dense_ then empty)
    mutable Map::iterator last_;        // in the map: the element last reached, or end()
};

}  // namespace engine
