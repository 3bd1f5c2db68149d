// Exceptions for failed operating-system calls.
#include "Exception.h"

namespace Utils {

Exception::Exception(const std::string& errorKey, const std::string& contextKey,
                     const std::string& detail)
    : errorKey_(errorKey), contextKey_(contextKey), detail_(detail)
{
}

Exception::~Exception() = default;

std::string Exception::errorKey() const { return errorKey_; }

std::string Exception::contextKey() const { return contextKey_; }

std::string Exception::detail() const { return detail_; }

ResourceFailure::ResourceFailure(ContextKey context, const std::string& detail)
    : Exception(osErrorKey, contextKeyText(context), detail)
{
}

std::string ResourceFailure::category() const
{
    return categoryName(Category::ResourceFailure);
}

} // namespace Utils
