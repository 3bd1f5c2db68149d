// Values a block assigned to a client's bind, converted to its external type
// and kept until the block has succeeded: their bytes end to end in one
// buffer, so that a table of thousands of elements takes two blocks of
// memory instead of a buffer per element.
#pragma once

#include "oratypes.h"

#include <cstddef>
#include <vector>

namespace engine {

class ConvertedElements {
public:
    // One element as it goes to the client's buffers.
    struct Element {
        const ub1* bytes;  // nothing to copy for NULL
        std::size_t size;
        ub4 length;        // its returned length
        bool null;         // indicator -1
    };

    // Room for the next element's `size` bytes (zeroed), which the caller
    // writes, then gives their returned length to setLength.
    ub1* add(std::size_t size);
    void setLength(ub4 length);
    void addNull();
    // Makes room for `count` elements, their bytes as many as the first added
    // one's each: every element of a bind takes the same room.
    void reserve(std::size_t count);

    std::size_t size() const { return places_.size(); }
    Element operator[](std::size_t index) const;

private:
    struct Place {
        std::size_t offset;  // of its bytes; they end where the next element's begin
        ub4 length;
        bool null;
    };

    std::vector<ub1> bytes_;
    std::vector<Place> places_;
    std::size_t reserved_ = 0;  // elements reserve asked room for
};

}  // namespace engine
