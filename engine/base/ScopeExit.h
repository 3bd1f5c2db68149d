// Runs a cleanup when a scope is left by an exception, so that a call that
// fails part-way leaves its object in a consistent state.
#pragma once

#include <exception>
#include <utility>

namespace engine {

template <typename Cleanup>
class OnUnwind {
public:
    explicit OnUnwind(Cleanup cleanup) : cleanup_(std::move(cleanup)) {}
    ~OnUnwind() {
        if (std::uncaught_exceptions() > exceptions_) cleanup_();
    }
    OnUnwind(const OnUnwind&) = delete;
    OnUnwind& operator=(const OnUnwind&) = delete;

private:
    Cleanup cleanup_;                                   // what to undo
    int exceptions_ = std::uncaught_exceptions();       // in flight when the scope began
};

}  // namespace engine
