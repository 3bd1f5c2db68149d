// The names the engine stores for the server's identifiers, and the names of
// its own objects.
//
// Identifiers. The server's dictionary is case-sensitive and folds unquoted
// names to upper case; SQLite compares names without regard to case. So the
// translator folds unquoted identifiers (aliases included) to upper case and
// writes a double-quoted identifier in an encoding whose text has no lower-case
// ASCII letters: each lower-case letter becomes '^' and its upper-case form, and
// '^' becomes "^^". "ABC", ABC and abc are then one name, "abc" another.
// decodeIdentifier() turns an encoded name (a column name SQLite reports, a table
// name in its schema) back into the name as the client knows it. Engine objects
// are named with the prefix "^$", which no encoded user name can begin with.
#pragma once

#include "base/InternalApi.h"

#include <string>
#include <string_view>

namespace engine {

// Stored names of the engine's own tables and SQL functions, which translated
// text refers to and the catalog installs. The "^$" prefix keeps them apart
// from every user name (see above).
inline constexpr char kEnginePrefix[] = "^$";
inline constexpr char kDualTable[] = "^$DUAL";  // a view of one row
inline constexpr char kSequenceTable[] = "^$SEQUENCES";
inline constexpr char kUserTable[] = "^$USERS";
inline constexpr char kNextvalFunction[] = "^$NEXTVAL";
inline constexpr char kCurrvalFunction[] = "^$CURRVAL";
inline constexpr char kSysdateFunction[] = "^$SYSDATE";
inline constexpr char kSubstrFunction[] = "^$SUBSTR";
inline constexpr char kNameFunction[] = "^$NAME";
inline constexpr char kSizeConstraint[] = "^$SIZE";  // the length check of a sized column
inline constexpr char kUserObjectsView[] = "^$USER_OBJECTS";
inline constexpr char kUserTablesView[] = "^$USER_TABLES";
inline constexpr char kUserViewsView[] = "^$USER_VIEWS";
inline constexpr char kUserSequencesView[] = "^$USER_SEQUENCES";
inline constexpr char kChainFunction[] = "^$CHAIN";
inline constexpr char kProgramTable[] = "^$PROGRAMS";        // stored procedures, functions, packages
inline constexpr char kSourceTable[] = "^$SOURCE";           // their text line by line
inline constexpr char kProgramErrorTable[] = "^$PROGRAM_ERRORS";  // their compilation errors
inline constexpr char kUserSourceView[] = "^$USER_SOURCE";
inline constexpr char kUserErrorsView[] = "^$USER_ERRORS";
inline constexpr char kDivisorFunction[] = "^$DIVISOR";
inline constexpr char kFiniteConstraint[] = "^$FINITE";  // the check that a number column holds no infinity

// The stored (SQLite) form of an identifier written `text` in the client's SQL:
// quoted text ("..." with "" for a quote) exact, unquoted text folded to upper
// case, both encoded. Optional "schema." prefixes are not handled here.
ENGINE_INTERNAL_API std::string encodeIdentifier(const std::string& text);

// The dictionary name (what a client sees) of the identifier `text` written in
// the client's SQL: quoted text exact, unquoted folded to upper case.
ENGINE_INTERNAL_API std::string identifierName(const std::string& text);

// The stored form of the exact dictionary name `name` (no folding).
ENGINE_INTERNAL_API std::string encodeName(const std::string& name);

// The dictionary name of a stored (encoded) name: the inverse of encodeName().
ENGINE_INTERNAL_API std::string decodeIdentifier(const std::string& stored);

// `stored` written as an SQLite identifier: double-quoted, quotes doubled.
ENGINE_INTERNAL_API std::string quoteStored(const std::string& stored);

// `text` with its ASCII letters in upper case, as the server folds names.
ENGINE_INTERNAL_API std::string upperCaseAscii(std::string_view text);

// True for the names of the engine's own objects (and SQLite's), which never
// appear in a describe or a schema listing.
ENGINE_INTERNAL_API bool isInternalName(const std::string& stored);

}  // namespace engine
