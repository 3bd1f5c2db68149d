// Cleanups bound to a scope: OnUnwind runs one when the scope is left by an
// exception, so that a call that fails part-way leaves its object in a
// consistent state; OnExit runs one however the scope is left.
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

template <typename Cleanup>
class OnExit {
public:
    explicit OnExit(Cleanup cleanup) : cleanup_(std::move(cleanup)) {}
    ~OnExit() { cleanup_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

private:
    Cleanup cleanup_;  // what to do on leaving
};

}  // namespace engine
