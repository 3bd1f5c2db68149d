// Re-entrant mutex with a depth counter.
#include "Mutex.h"

#include <cassert>

namespace Utils {

Mutex::Mutex() : depth_(0) {}

Mutex::~Mutex() { assert(depth_ == 0 && "mutex destroyed while held"); }

void Mutex::enter()
{
    mutex_.lock();
    ++depth_;
}

void Mutex::leave()
{
    assert(depth_ > 0 && "leave without enter");
    --depth_;
    mutex_.unlock();
}

} // namespace Utils
