// Exception texts, system error texts and the unexpected-exception handler.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "Exception.h"
#include "SysError.h"

namespace {

TEST(ResourceFailure, CarriesItsThreeTextsAlsoAfterCopy)
{
    const Utils::ResourceFailure original("util_exc_OsError", "util_ctx_X", "detail\r");
    const Utils::ResourceFailure copy(original);
    for (const Utils::Exception* e : {static_cast<const Utils::Exception*>(&original),
                                      static_cast<const Utils::Exception*>(&copy)}) {
        EXPECT_EQ(e->category(), "Resource Failure");
        EXPECT_EQ(e->errorKey(), "util_exc_OsError");
        EXPECT_EQ(e->contextKey(), "util_ctx_X");
        EXPECT_EQ(e->detail(), "detail\r");
    }
}

TEST(ResourceFailure, ThrownForAnOperationCarriesItsContextAndTheSystemText)
{
    try {
        Utils::SysError::throwError(Utils::ContextKey::CreatingProcess, ENOENT);
        FAIL() << "nothing thrown";
    } catch (const Utils::ResourceFailure& e) {
        EXPECT_EQ(e.errorKey(), "util_exc_OsError");
        EXPECT_EQ(e.contextKey(), "util_ctx_Threading_CreatingProcess");
        EXPECT_EQ(e.detail(), std::strerror(ENOENT));
    }
}

TEST(ResourceFailure, LastErrorIsReadFromErrno)
{
    errno = EACCES;
    try {
        Utils::SysError::throwLastError(Utils::ContextKey::KillingThread);
    } catch (const Utils::Exception& e) {
        EXPECT_EQ(e.contextKey(), "util_ctx_Threading_KillingThread");
        EXPECT_EQ(e.detail(), "Permission denied");
        return;
    }
    FAIL() << "nothing thrown";
}

TEST(ErrorTables, NamesAndKeysAreTheFixedTexts)
{
    EXPECT_STREQ(Utils::categoryName(Utils::Category::BadArgument), "Bad Argument");
    EXPECT_STREQ(Utils::categoryName(Utils::Category::IntegrityViolation), "Integrity Violation");
    EXPECT_STREQ(Utils::contextKeyText(Utils::ContextKey::CreatingThread),
                 "util_ctx_Threading_CreatingThread");
    EXPECT_STREQ(Utils::contextKeyText(Utils::ContextKey::DestroyingProcess),
                 "util_ctx_Threading_DestroyingProcess");
}

void throwAnything() { throw 42; }

// Through a pointer, so the compiler cannot see that the call always throws.
void (*volatile thrower)() = &throwAnything;

void forbidsExceptions() noexcept { thrower(); }

TEST(UnexpectedExceptionDeathTest, ShowsTheMessageAndEndsTheProcess)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(forbidsExceptions(), "^Unexpected exception\\.\n$");
}

} // namespace
