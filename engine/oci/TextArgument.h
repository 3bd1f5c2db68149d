// Text a client passes to the call interface with its length.
#pragma once

#include "base/CallError.h"
#include "oci.h"

#include <string>

namespace engine {

// The text at `text`: a length below 0 means NUL-terminated. A null text is
// empty, or ORA-21560 naming `argument` when a length was given for it.
inline std::string textArgument(const OraText* text, long length, const char* argument) {
    if (text == nullptr) {
        if (length > 0) throw CallError(CallCode::InvalidArgument, argument);
        return {};
    }
    const char* chars = reinterpret_cast<const char*>(text);
    return length < 0 ? std::string(chars) : std::string(chars, static_cast<std::size_t>(length));
}

}  // namespace engine
