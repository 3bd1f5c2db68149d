// The elements of an index-by table.
#include "plsql/PlsqlElements.h"

#include "plsql/PlsqlValue.h"

#include <iterator>
#include <utility>

namespace engine {

PlsqlElements::PlsqlElements() : last_(map_.end()) {}

PlsqlElements::PlsqlElements(const PlsqlElements& other) : map_(other.map_), last_(map_.end()) {}

PlsqlElements& PlsqlElements::operator=(const PlsqlElements& other) {
    map_ = other.map_;
    last_ = map_.end();
    return *this;
}

PlsqlElements::~PlsqlElements() = default;

// The element last reached and its successor are tried first.
PlsqlElements::iterator PlsqlElements::find(std::int64_t key) const {
    if (last_ != map_.end()) {
        if (last_->first == key) return last_;
        const iterator next = std::next(last_);
        if (next != map_.end() && next->first == key) return last_ = next;
    }
    const iterator found = map_.find(key);
    if (found != map_.end()) last_ = found;
    return found;
}

std::size_t PlsqlElements::count(std::int64_t key) const { return find(key) == map_.end() ? 0 : 1; }

PlsqlValue& PlsqlElements::operator[](std::int64_t key) {
    if (map_.empty() || key > map_.rbegin()->first) {
        append(key, PlsqlValue());
        return last_->second;
    }
    const iterator found = find(key);
    if (found != map_.end()) return found->second;
    last_ = map_.emplace(key, PlsqlValue()).first;
    return last_->second;
}

void PlsqlElements::append(std::int64_t key, PlsqlValue value) {
    last_ = map_.emplace_hint(map_.end(), key, std::move(value));
}

std::size_t PlsqlElements::erase(std::int64_t key) {
    last_ = map_.end();
    return map_.erase(key);
}

void PlsqlElements::clear() {
    map_.clear();
    last_ = map_.end();
}

}  // namespace engine
