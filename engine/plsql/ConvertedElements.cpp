// Converted values kept end to end.
#include "plsql/ConvertedElements.h"

namespace engine {

ub1* ConvertedElements::add(std::size_t size) {
    const std::size_t offset = bytes_.size();
    if (bytes_.capacity() == 0) bytes_.reserve(reserved_ * size);
    bytes_.resize(offset + size);
    places_.push_back({offset, 0, false});
    return bytes_.data() + offset;
}

void ConvertedElements::setLength(ub4 length) { places_.back().length = length; }

void ConvertedElements::reserve(std::size_t count) {
    reserved_ = count;
    places_.reserve(count);
}

void ConvertedElements::addNull() { places_.push_back({bytes_.size(), 0, true}); }

ConvertedElements::Element ConvertedElements::operator[](std::size_t index) const {
    const Place& place = places_.at(index);
    const std::size_t end = index + 1 < places_.size() ? places_[index + 1].offset : bytes_.size();
    return {bytes_.data() + place.offset, end - place.offset, place.length, place.null};
}

}  // namespace engine
