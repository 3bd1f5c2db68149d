// The elements of an index-by table.
#include "plsql/PlsqlElements.h"

#include "plsql/PlsqlValue.h"

#include <utility>

namespace engine {

PlsqlElements::PlsqlElements() : last_(map_.end()) {}

PlsqlElements::PlsqlElements(const PlsqlElements& other)
    : dense_(other.dense_), map_(other.map_), last_(map_.end()) {}

PlsqlElements& PlsqlElements::operator=(const PlsqlElements& other) {
    // The vector's own assignment would assign to the constant indexes.
    std::vector<Entry> dense(other.dense_);
    dense_.swap(dense);
    map_ = other.map_;
    last_ = map_.end();
    return *this;
}

PlsqlElements::~PlsqlElements() = default;

std::size_t PlsqlElements::size() const { return inMap() ? map_.size() : dense_.size(); }

std::int64_t PlsqlElements::offsetOf(std::int64_t key) const {
    // Unsigned, so that an index far from the run wraps to an offset outside it instead of overflowing.
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(key) - static_cast<std::uint64_t>(dense_.front().first));
}

PlsqlElements::iterator PlsqlElements::denseAt(std::size_t offset) const { return iterator(dense_.data() + offset); }

PlsqlElements::iterator PlsqlElements::writableEnd() const {
    return inMap() ? iterator(map_.end()) : denseAt(dense_.size());
}

// In the map, the element last reached and its successor are tried first.
PlsqlElements::iterator PlsqlElements::find(std::int64_t key) const {
    if (!inMap()) {
        if (dense_.empty()) return writableEnd();
        const std::int64_t offset = offsetOf(key);
        const bool inRun = offset >= 0 && offset < static_cast<std::int64_t>(dense_.size());
        return denseAt(inRun ? static_cast<std::size_t>(offset) : dense_.size());
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
        const std::int64_t offset = dense_.empty() ? 0 : offsetOf(key);
        if (offset == static_cast<std::int64_t>(dense_.size())) {
            dense_.emplace_back(key, PlsqlValue());
            return dense_.back().second;
        }
        if (offset >= 0 && offset < static_cast<std::int64_t>(dense_.size()))
            return dense_[static_cast<std::size_t>(offset)].second;
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
    if (!inMap() && (dense_.empty() || offsetOf(key) == static_cast<std::int64_t>(dense_.size()))) {
        dense_.emplace_back(key, std::move(value));
        return;
    }
    toMap();
    last_ = map_.emplace_hint(map_.end(), key, std::move(value));
}

void PlsqlElements::reserve(std::size_t count) {
    if (!inMap()) dense_.reserve(count);
}

std::size_t PlsqlElements::erase(std::int64_t key) {
    if (!inMap()) {
        const iterator found = find(key);
        if (found == writableEnd()) return 0;
        if (&*found != &dense_.back()) {
            toMap();
            return erase(key);
        }
        dense_.pop_back();
        return 1;
    }
    last_ = map_.end();
    return map_.erase(key);
}

void PlsqlElements::clear() {
    dense_.clear();
    map_.clear();
    last_ = map_.end();
}

void PlsqlElements::toMap() {
    for (Entry& entry : dense_) map_.emplace_hint(map_.end(), entry.first, std::move(entry.second));
    std::vector<Entry>().swap(dense_);
    last_ = map_.end();
}

PlsqlElements::const_iterator PlsqlElements::begin() const {
    return inMap() ? const_iterator(map_.cbegin()) : const_iterator(dense_.data());
}

PlsqlElements::const_iterator PlsqlElements::end() const { return writableEnd(); }

// In the run, the first index past `key` is found by subtraction too.
PlsqlElements::const_iterator PlsqlElements::upper_bound(std::int64_t key) const {
    if (inMap()) return const_iterator(map_.upper_bound(key));
    if (dense_.empty() || key >= dense_.back().first) return end();
    return lower_bound(key + 1);
}

PlsqlElements::const_iterator PlsqlElements::lower_bound(std::int64_t key) const {
    if (inMap()) return const_iterator(map_.lower_bound(key));
    if (dense_.empty() || key <= dense_.front().first) return begin();
    if (key > dense_.back().first) return end();
    return denseAt(static_cast<std::size_t>(offsetOf(key)));
}

}  // namespace engine
