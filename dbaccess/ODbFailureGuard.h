// Runs an undo action when a scope is left by an exception, so that a step
// that fails part-way leaves its object as it was. Private to the library.
#pragma once

#include <exception>

namespace Oracle {

// The undo runs only when the scope unwinds because of an exception thrown
// after the guard was made.
template <class Undo> class ODbFailureGuard {
public:
    explicit ODbFailureGuard(Undo undo) : undo_(undo), exceptions_(std::uncaught_exceptions()) {}
    ODbFailureGuard(const ODbFailureGuard&) = delete;
    ODbFailureGuard& operator=(const ODbFailureGuard&) = delete;
    ~ODbFailureGuard()
    {
        if (std::uncaught_exceptions() > exceptions_)
            undo_();
    }

private:
    Undo undo_;
    int exceptions_; // exceptions in flight when the guard was made
};

} // namespace Oracle
