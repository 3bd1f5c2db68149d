// Kinds of schema object reported by the schema describe.
#pragma once

namespace Oracle {

enum ObjectType {
    ObjAll = 0, // filter value only: every kind
    ObjTable = 1,
    ObjView = 2,
    ObjProcedure = 3,
    ObjFunction = 4,
    ObjPackage = 5,
    ObjSequence = 6,
    ObjSynonym = 7,
    ObjOther = 8
};

} // namespace Oracle
