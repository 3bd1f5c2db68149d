// The elements of an index-by table, by index, in index order. Most tables
// are filled 1, 2, 3, ... and read in that order (a host array passed in, a
// loop that builds a result), so the elements are kept side by side in
// blocks while their indexes are consecutive: an element is reached by
// subtraction, and the table takes a few large blocks of memory instead of a
// node per element. The first element that breaks the run (a gap, one before
// the first, a DELETE other than of the last) moves them all into a map, which
// remembers the element last reached, so that a loop over the indexes goes
// from one element to its neighbour instead of searching from the root each
// time. A copy remembers nothing of the original's place.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

namespace engine {

struct PlsqlValue;

class PlsqlElements {
    using Map = std::map<std::int64_t, PlsqlValue>;

public:
    // An element as the table shows it: its index and its value.
    template <bool Const>
    struct Element {
        std::int64_t first;
        std::conditional_t<Const, const PlsqlValue, PlsqlValue>& second;
    };

private:
    // An element of either form; `Const` for one that reads only. In the
    // run, an element is its offset from the first.
    template <bool Const>
    class Position {
        using MapPosition = std::conditional_t<Const, Map::const_iterator, Map::iterator>;
        // What -> points at: the element, held by the position's result.
        struct Arrow {
            Element<Const> element;
            const Element<Const>* operator->() const { return &element; }
        };

    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = Element<Const>;
        using difference_type = std::ptrdiff_t;
        using pointer = Arrow;
        using reference = Element<Const>;

        Position() = default;
        Position(const PlsqlElements* owner, std::size_t offset) : owner_(owner), offset_(offset) {}
        explicit Position(MapPosition sparse) : sparse_(sparse), inMap_(true) {}
        // A writable position reads as well.
        template <bool OtherConst, typename = std::enable_if_t<Const && !OtherConst>>
        Position(const Position<OtherConst>& other)
            : owner_(other.owner_), offset_(other.offset_), sparse_(other.sparse_), inMap_(other.inMap_) {}

        reference operator*() const {
            if (inMap_) return {sparse_->first, sparse_->second};
            return {owner_->keyAt(offset_), owner_->valueAt(offset_)};
        }
        pointer operator->() const { return {**this}; }
        Position& operator++() {
            inMap_ ? static_cast<void>(++sparse_) : static_cast<void>(++offset_);
            return *this;
        }
        Position& operator--() {
            inMap_ ? static_cast<void>(--sparse_) : static_cast<void>(--offset_);
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
            return left.inMap_ ? left.sparse_ == right.sparse_ : left.offset_ == right.offset_;
        }
        friend bool operator!=(const Position& left, const Position& right) { return !(left == right); }

    private:
        template <bool>
        friend class Position;

        const PlsqlElements* owner_ = nullptr;
        std::size_t offset_ = 0;
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
    std::size_t erase(std::int64_t key);
    void clear();

    std::size_t size() const { return inMap() ? map_.size() : runLength_; }
    bool empty() const { return size() == 0; }
    std::size_t count(std::int64_t key) const;
    const_iterator begin() const;
    const_iterator end() const;
    const_iterator upper_bound(std::int64_t key) const;
    const_iterator lower_bound(std::int64_t key) const;

private:
    // Elements of the run per block: blocks of a fixed size never move, so
    // that a growing run copies nothing and takes no more memory than it holds.
    static constexpr std::size_t kBlockShift = 8;
    static constexpr std::size_t kBlockSize = std::size_t{1} << kBlockShift;

    bool inMap() const { return !map_.empty(); }
    std::int64_t keyAt(std::size_t offset) const { return runFirst_ + static_cast<std::int64_t>(offset); }
    PlsqlValue& valueAt(std::size_t offset) const;
    // The offset in the nonempty run of index `key`, which may lie outside it.
    std::int64_t offsetOf(std::int64_t key) const;
    iterator writableEnd() const;
    // The element after the run's last, of index `key` when the run is empty.
    PlsqlValue& extendRun(std::int64_t key);
    // Moves the elements into the map, for an index that breaks the run.
    void toMap();

    // The elements while their indexes run without a gap: runLength_ of them
    // from index runFirst_, in blocks of kBlockSize.
    std::vector<std::unique_ptr<PlsqlValue[]>> blocks_;
    std::size_t runLength_ = 0;
    std::int64_t runFirst_ = 0;
    // The elements otherwise (the run then empty). Mutable so that a lookup,
    // which moves last_, works on a table read as a const one too.
    mutable Map map_;
    mutable Map::iterator last_;  // the element last reached, or end()
};

}  // namespace engine
