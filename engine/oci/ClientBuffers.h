#pragma once

// The client's buffers as a bind or define call hands them over; the engine reads
// and writes them in place during execute and fetch.

#include "oci.h"

#include <algorithm>
#include <cstddef>
#include <limits>
#include <type_traits>

namespace engine {

struct ClientBuffers {
    void* value = nullptr;      // first element of the value array
    sb4 valueSize = 0;          // bytes of one element
    ub2 type = 0;               // external type code (SQLT_*)
    sb2* indicators = nullptr;  // per-element NULL indicators, or null
    ub2* lengths = nullptr;     // per-element actual lengths, or null
    ub2* returnCodes = nullptr; // per-element column return codes, or null
    ub4 mode = OCI_DEFAULT;     // OCI_DEFAULT, OCI_DATA_AT_EXEC or OCI_DYNAMIC_FETCH
};

// What OCIBindByPos / OCIBindByName were given. A bind with a count pointer
// stands for a PL/SQL table: one array value for a block's call, holding
// *currentElements elements (of at most maxElements).
struct BindSpec : ClientBuffers {
    ub4 maxElements = 0;
    ub4* currentElements = nullptr;
};
// What OCIDefineByPos was given.
using DefineSpec = ClientBuffers;

// Return codes the server reports per element: a NULL value, a cut one.
constexpr ub2 kReturnNull = 1405;
constexpr ub2 kReturnTruncated = 1406;

// Element `index` of a client array whose elements lie `skip` bytes apart; null
// when the client gave no array.
template <typename T>
T* clientElement(T* base, ub4 skip, ub4 index) {
    if (base == nullptr) return nullptr;
    auto* bytes = reinterpret_cast<unsigned char*>(const_cast<std::remove_const_t<T>*>(base));
    return reinterpret_cast<T*>(bytes + static_cast<std::size_t>(skip) * index);
}

// Bytes between the elements of the status arrays: packed unless the client
// set other skips (an array of structures).
struct StatusSkips {
    ub4 indicator = sizeof(sb2);
    ub4 length = sizeof(ub2);
    ub4 returnCode = sizeof(ub2);
};

// Writes element `index`'s indicator, actual length (capped to the ub2 the
// client keeps it in) and return code, into those of the arrays it gave.
inline void setElementStatus(const ClientBuffers& buffers, const StatusSkips& skips, ub4 index, sb2 indicator,
                             ub4 length, ub2 returnCode) {
    if (sb2* slot = clientElement(buffers.indicators, skips.indicator, index)) *slot = indicator;
    if (ub2* slot = clientElement(buffers.lengths, skips.length, index))
        *slot = static_cast<ub2>(std::min<ub4>(length, std::numeric_limits<ub2>::max()));
    if (ub2* slot = clientElement(buffers.returnCodes, skips.returnCode, index)) *slot = returnCode;
}

} // namespace engine
