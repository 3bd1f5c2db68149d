// Kinds of SQL statement, numbered as the call interface reports statement types.
#pragma once

namespace Oracle {

enum SQLKind {
    SqlUnknown = 0, // not classified (yet)
    SqlSelect = 1,
    SqlUpdate = 2,
    SqlDelete = 3,
    SqlInsert = 4,
    SqlCreate = 5,
    SqlDrop = 6,
    SqlAlter = 7,
    SqlBegin = 8,
    SqlDeclare = 9
};

} // namespace Oracle
