// Exceptions for failed operating-system calls, shared by every deliverable.
// An exception carries an error key, a context key (which operation failed) and
// the operating system's own message for the failure.
#pragma once

#include <array>
#include <cstddef>
#include <string>

// Utils classes are compiled into the library and into the program alike; their
// type information must be visible across the library boundary so that an
// exception thrown inside the library is caught by its concrete type outside it.
#define VOR_UTILS_VISIBLE __attribute__((visibility("default")))

namespace Utils {

// The error key of every failure of an operating-system call.
inline constexpr const char* osErrorKey = "util_exc_OsError";

// Category names: one text per category, fixed for the life of the process.
enum class Category {
    BadArgument,
    AccessRejected,
    NoSuchObject,
    TransactionFailure,
    OperationFailed,
    InternalException,
    ResourceFailure,
    IntegrityViolation,
    Count
};

inline constexpr std::array<const char*, 8> categoryNames = {
    "Bad Argument",        "Access Rejected",  "No Such Object",     "Transaction Failure",
    "Operation Failed",    "Internal Exception", "Resource Failure", "Integrity Violation"};
static_assert(categoryNames.size() == static_cast<std::size_t>(Category::Count),
              "one name per category");

inline constexpr const char* categoryName(Category category)
{
    return categoryNames[static_cast<std::size_t>(category)];
}

// The operation that failed.
enum class ContextKey {
    CreatingThread,
    DestroyingThread,
    WaitingForThread,
    KillingThread,
    ResumingThread,
    CreatingProcess,
    DestroyingProcess,
    Count
};

inline constexpr std::array<const char*, 7> contextKeys = {
    "util_ctx_Threading_CreatingThread",   "util_ctx_Threading_DestroyingThread",
    "util_ctx_Threading_WaitingForThread", "util_ctx_Threading_KillingThread",
    "util_ctx_Threading_ResumingThread",   "util_ctx_Threading_CreatingProcess",
    "util_ctx_Threading_DestroyingProcess"};
static_assert(contextKeys.size() == static_cast<std::size_t>(ContextKey::Count),
              "one text per context key");

inline constexpr const char* contextKeyText(ContextKey key)
{
    return contextKeys[static_cast<std::size_t>(key)];
}

// Abstract base: the three texts, copied at construction and returned as copies.
class VOR_UTILS_VISIBLE Exception {
public:
    Exception(const std::string& errorKey, const std::string& contextKey,
              const std::string& detail);
    Exception(const Exception&) = default;
    Exception& operator=(const Exception&) = default;
    // Virtual although exceptions are caught by concrete type: a polymorphic
    // class whose destructor is not virtual is a trap for any owner by base pointer.
    virtual ~Exception();

    virtual std::string category() const = 0;
    virtual std::string errorKey() const;
    virtual std::string contextKey() const;
    virtual std::string detail() const;

private:
    std::string errorKey_;   // kind of failure, "util_exc_OsError"
    std::string contextKey_; // operation that failed, one of contextKeys
    std::string detail_;     // the operating system's message
};

// The one concrete exception the utilities throw.
class VOR_UTILS_VISIBLE ResourceFailure : public Exception {
public:
    using Exception::Exception;
    // An operating-system failure of the given operation with the system's text.
    ResourceFailure(ContextKey context, const std::string& detail);

    std::string category() const override;
};

} // namespace Utils
