// How the release-7 calls take texts and the arguments the library leaves out.
#pragma once

#include <ociapr.h>

#include <string>

namespace Oracle {

// Length argument of a NUL-terminated text, and of an absent optional text.
constexpr sword TerminatedText = -1;
// No scale for the external types the library binds and defines.
constexpr sword NoScale = -1;

// A text as the calls take it; they only read it.
inline OraText* callText(const char* text)
{
    return reinterpret_cast<OraText*>(const_cast<char*>(text));
}

inline OraText* callText(const std::string& text)
{
    return callText(text.c_str());
}

} // namespace Oracle
