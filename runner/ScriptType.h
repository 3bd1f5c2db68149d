// How each script type is held in the library's buffers: its support type, whether
// it takes a declared size, whether it is an array, and its element and array forms.
// Also the limits on what one value may occupy.
#pragma once

#include "Token.h"

#include "ODbTypes.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace Transl {

struct ScriptTypeEntry {
    TypeCode code;
    Oracle::SupportTypes support;  // how the library types the value's parameter
    bool sized;                    // declared with a size in parentheses
    bool array;                    // declared with bounds; holds several elements
    TypeCode scalar;               // type of one element
    TypeCode arrayForm;            // type of an array of such elements
};

// Indexed by type code - 1.
inline constexpr std::array<ScriptTypeEntry, 6> kScriptTypes{{
    {TypeCode::Number, Oracle::supDouble, false, false, TypeCode::Number, TypeCode::NumberArr},
    {TypeCode::Varchar2, Oracle::supCString, true, false, TypeCode::Varchar2, TypeCode::Varchar2Arr},
    {TypeCode::Raw, Oracle::supRaw, true, false, TypeCode::Raw, TypeCode::RawArr},
    {TypeCode::RawArr, Oracle::supRaw, true, true, TypeCode::Raw, TypeCode::RawArr},
    {TypeCode::NumberArr, Oracle::supDouble, false, true, TypeCode::Number, TypeCode::NumberArr},
    {TypeCode::Varchar2Arr, Oracle::supCString, true, true, TypeCode::Varchar2, TypeCode::Varchar2Arr},
}};
static_assert(kScriptTypes.size() == static_cast<std::size_t>(TypeCode::Varchar2Arr),
              "one entry per type code");

constexpr bool scriptTypesInCodeOrder()
{
    for (std::size_t i = 0; i < kScriptTypes.size(); ++i)
        if (static_cast<std::size_t>(kScriptTypes[i].code) != i + 1 ||
            isArrayType(kScriptTypes[i].code) != kScriptTypes[i].array)
            return false;
    return true;
}
static_assert(scriptTypesInCodeOrder(), "entry i holds code i + 1 and agrees on arrays");

// Largest size of a text or raw value: the library marks an element not null by
// writing its size into a signed 16-bit indicator, so an element holds at most
// 32767 bytes, and up to 4 of them go to a raw value's length prefix.
inline constexpr std::int64_t kMaxValueSize = 32763;

// Most memory one variable may take (elements plus the library's per-element
// indicator, length and return-code arrays). A declaration or resize beyond it is
// refused with a diagnostic instead of failing, or thrashing, in the allocator.
inline constexpr std::uint64_t kMaxVariableBytes = std::uint64_t{1} << 30;

// Bytes the library keeps per element besides the element itself.
inline constexpr std::uint64_t kElementOverheadBytes = 10;

} // namespace Transl
