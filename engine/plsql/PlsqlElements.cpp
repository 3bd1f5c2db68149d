// The elements of an index-by table.
#include "plsql/PlsqlElements.h"

#include "plsql/PlsqlValue.h"

#include <utility>

namespace engine {

PlsqlElements::PlsqlElements() : last_(map_.end()) {}

PlsqlElements::PlsqlElements(const PlsqlElements& other)
    : runFirst_(other.runFirst_), map_(other.map_), last_(map_.end()) {
    for (std::size_t offset = 0; offset < other.runLength_; ++offset) extendRun(runFirst_) = other.valueAt(offset);
}

PlsqlElements& PlsqlElements::operator=(const PlsqlElements& other) {
    if (this != &other) {
        PlsqlElements copy(other);
        blocks_.swap(copy.blocks_);
        std::swap(runLength_, copy.runLength_);
        std::swap(runFirst_, copy.runFirst_);
        map_.swap(copy.map_);
        last_ = map_.end();
    }
    return *this;
}

PlsqlElements::~PlsqlElements() = default;

PlsqlValue& PlsqlElements::valueAt(std::size_t offset) const {
    return blocks_[offset >> kBlockShift][offset & (kBlockSize - 1)];
}

std::int64_t PlsqlElements::offsetOf(std::int64_t key) const {
    // Unsigned, so that an index far from the run wraps to an offset outside it instead of overflowing.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(key) - static_cast<std::uint64_t>(runFirst_));
}

PlsqlElements::iterator PlsqlElements::writableEnd() const {
    return inMap() ? iterator(map_.end()) : iterator(this, runLength_);
}

PlsqlValue& PlsqlElements::extendRun(std::int64_t key) {
    if (runLength_ == 0) runFirst_ = key;
    if (runLength_ == blocks_.size() * kBlockSize) blocks_.push_back(std::make_unique<PlsqlValue[]>(kBlockSize));
    return valueAt(runLength_++);
}

// In the map, the element last reached and its successor are tried first.
PlsqlElements::iterator PlsqlElements::find(std::int64_t key) const {
    if (!inMap()) {
        const std::int64_t offset = runLength_ == 0 ? -1 : offsetOf(key);
        const bool inRun = offset >= 0 && offset < static_cast<std::int64_t>(runLength_);
        return iterator(this, inRun ? static_cast<std::size_t>(offset) : runLength_);
    }
    if (last_ != map_.end()) {
        if (last_->first == key) return iterator(last_);
        const Map::iterator next = std::next(last_);
        if (next != map_.end() && next->first == key) return iterator(last_ = next);
    }
    const Map::iterator found = map_.find(key);
    if (found != map_.end()) last_ = found;
    return iterator(found);
}

std::size_t PlsqlElements::count(std::int64_t key) const { return find(key) == writableEnd() ? 0 : 1; }

PlsqlValue& PlsqlElements::operator[](std::int64_t key) {
    if (!inMap()) {
        const std::int64_t offset = runLength_ == 0 ? 0 : offsetOf(key);
        if (offset == static_cast<std::int64_t>(runLength_)) return extendRun(key);
        if (offset >= 0 && offset < static_cast<std::int64_t>(runLength_)) return valueAt(static_cast<std::size_t>(offset));
        toMap();
    }
    if (key > map_.rbegin()->first) {
        append(key, PlsqlValue());
        return last_->second;
    }
    const iterator found = find(key);
    if (found != writableEnd()) return found->second;
    last_ = map_.emplace(key, PlsqlValue()).first;
    return last_->second;
}

void PlsqlElements::append(std::int64_t key, PlsqlValue value) {
    if (!inMap() && (runLength_ == 0 || offsetOf(key) == static_cast<std::int64_t>(runLength_))) {
        extendRun(key) = std::move(value);
        return;
    }
    toMap();
    last_ = map_.emplace_hint(map_.end(), key, std::move(value));
}

// Only the run's last element leaves the run as it is.
std::size_t PlsqlElements::erase(std::int64_t key) {
    if (!inMap()) {
        const iterator found = find(key);
        if (found == writableEnd()) return 0;
        if (key != keyAt(runLength_ - 1)) {
            toMap();
            return erase(key);
        }
        valueAt(--runLength_) = PlsqlValue();
        return 1;
    }
    last_ = map_.end();
    return map_.erase(key);
}

void PlsqlElements::clear() {
    blocks_.clear();
    runLength_ = 0;
    map_.clear();
    last_ = map_.end();
}

void PlsqlElements::toMap() {
    for (std::size_t offset = 0; offset < runLength_; ++offset)
        map_.emplace_hint(map_.end(), keyAt(offset), std::move(valueAt(offset)));
    blocks_.clear();
    runLength_ = 0;
    last_ = map_.end();
}

PlsqlElements::const_iterator PlsqlElements::begin() const {
    return inMap() ? const_iterator(map_.cbegin()) : const_iterator(this, 0);
}

PlsqlElements::const_iterator PlsqlElements::end() const { return writableEnd(); }

// In the run, the first index past `key` is found by subtraction too.
PlsqlElements::const_iterator PlsqlElements::upper_bound(std::int64_t key) const {
    if (inMap()) return const_iterator(map_.upper_bound(key));
    if (runLength_ == 0 || key >= keyAt(runLength_ - 1)) return end();
    return lower_bound(key + 1);
}

PlsqlElements::const_iterator PlsqlElements::lower_bound(std::int64_t key) const {
    if (inMap()) return const_iterator(map_.lower_bound(key));
    if (runLength_ == 0 || key <= runFirst_) return begin();
    if (key > keyAt(runLength_ - 1)) return end();
    return const_iterator(this, static_cast<std::size_t>(offsetOf(key)));
}

}  // namespace engine
