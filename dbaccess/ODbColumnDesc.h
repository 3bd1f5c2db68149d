// One described column, procedure argument or element: what the describes
// report and the type map reads.
#pragma once

#include <vector>

namespace Oracle {

// Plain record, copied by value; a copy carries its own nested list.
struct ODbColumnDesc {
    // Longest name the server reports (240 bytes) plus the terminating NUL.
    static constexpr unsigned int NameCapacity = 241;

    char name[NameCapacity] = {};        // as the server reports it; empty for a function result
    char uniqueName[NameCapacity] = {};  // key in the name table; differs for a repeated select-list name
    unsigned int nameLength = 0;         // bytes in name
    int dataSize = 0;                    // reported size in bytes; 0 or negative when none is given
    short dataType = 0;                  // IntTypes code
    short scale = 0;
    short precision = 0;
    short nullable = 0;                  // nonzero when nulls are allowed
    int spareSize = 0;                   // 0 over release 8; the data size again over release 7.3
    bool hasDefault = false;             // procedure argument with a default value
    int mode = 2;                        // 0 in, 1 out, 2 in/out (also for select-list columns)
    short spare = 0;                     // always 0
    short position = 0;                  // 1-based select-list position; 0 where not set
    std::vector<ODbColumnDesc> elements; // record fields or the element of a PL/SQL table
};

} // namespace Oracle
