// The script output stream: everything PRINT and DPRINT write.
#pragma once

namespace Transl {

class Out {
public:
    Out() = default;
    virtual ~Out() = default;
    Out(const Out&) = delete;
    Out& operator=(const Out&) = delete;
};

} // namespace Transl
