// The variable table of one interpreter scope.
#pragma once

namespace Transl {

class VarProcessor {
public:
    VarProcessor() = default;
    virtual ~VarProcessor() = default;
};

} // namespace Transl
