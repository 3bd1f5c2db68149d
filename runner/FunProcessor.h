// The function table of one interpreter: built-in and script-defined functions.
#pragma once

namespace Transl {

class FunProcessor {
public:
    FunProcessor() = default;
    virtual ~FunProcessor() = default;
};

} // namespace Transl
