// The library's three type vocabularies: the form a buffer takes in the call
// interface (ExtTypes), the database's own datatype codes (IntTypes) and the
// kinds of value a caller can ask for directly (SupportTypes).
#pragma once

namespace Oracle {

// Array indexes, array sizes, element and row counts of the public interface
// follow the integer types of the build's call-interface release: the
// release-7 build (VORDB73 defined, as its CMake target tells its users) takes
// long, the release-8 build int. A client compiles against the headers of the
// build it links with.
#ifdef VORDB73
using ODbIndex = unsigned long;
using ODbSignedIndex = long; // where -1 means "none"
#else
using ODbIndex = unsigned int;
using ODbSignedIndex = int; // where -1 means "none"
#endif

// External datatype of a dynamic variable; the values are the call interface's
// SQLT_* codes, so a variable's type is handed to the call interface as it is.
enum ExtTypes {
    extNone = 0,         // variable not initialised
    extInt = 3,          // SQLT_INT: native signed integer of 2 or 4 bytes
    extFloat = 4,        // SQLT_FLT: IEEE double
    extString = 5,       // SQLT_STR: NUL-terminated text
    extLong = 8,         // SQLT_LNG: LONG, held as a piece chain
    extDate = 12,        // SQLT_DAT: 7-byte date
    extVarRaw = 15,      // SQLT_VBI: 2-byte length prefix, then the bytes
    extLongRaw = 24,     // SQLT_LBI: LONG RAW, held as a piece chain
    extLongVarRaw = 95,  // SQLT_LVB: 4-byte length prefix, then the bytes
    extClob = 112,       // SQLT_CLOB
    extBlob = 113,       // SQLT_BLOB
    extBfile = 114       // SQLT_BFILEE
};

// Internal datatype of a described column, argument or bind parameter.
enum IntTypes {
    intVarchar2 = 1,
    intNumber = 2,
    intLong = 8,
    intRowid = 11,
    intDate = 12,
    intRaw = 23,
    intLongRaw = 24,
    intChar = 96,
    intClob = 112,
    intBlob = 113,
    intBfile = 114
};

// What a caller asks for when it types a parameter without a description.
// 9 to 11 are unused and rejected.
enum SupportTypes {
    supShortInt = 0,
    supLongInt = 1,
    supDouble = 2,
    supCString = 3,
    supBool = 4,
    supRaw = 5,
    supDate = 6,
    supLongRaw = 7,
    supLong = 8,
    supNone = 12  // not created from a support type
};

} // namespace Oracle
