// Internal-failure exception: reports itself when it is made.
#include "Exception.h"

#include "Interpreter.h"

namespace Transl {

Exception::Exception(std::string detail) : detail_(std::move(detail))
{
    if (currentInterpreter != nullptr)
        currentInterpreter->reportInternalFailure(detail_);
}

} // namespace Transl
