// odessp: the arguments of a stored procedure or function, named alone
// ("PROC") or with its package ("PKG.PROC"), as rows of the parallel arrays
// the release-7 call fills. It walks the release-8 describe of the program.
//
// Rows come in argument order; a record's fields and a table's element follow
// their argument as rows one level deeper, to any depth. A function's return
// value is the row at position 0 with an empty name. Every overload of a
// packaged name gives its rows: the overload number is 0 when the name is not
// overloaded, else 1, 2, ... in the package's declaration order.
#pragma once

#include "oci.h"

#include <string>
#include <vector>

namespace engine {

class LoginArea;

// One row of the result arrays.
struct ArgumentRow {
    ub2 overload = 0;
    ub2 position = 0;  // 0 for a function's return value
    ub2 level = 0;     // 0 for an argument, deeper for fields and elements
    std::string name;  // empty for a return value and a table's element
    ub2 type = 0;      // internal datatype code (250 record, 251 table)
    ub1 hasDefault = 0;
    ub1 mode = 0;      // 0 IN, 1 OUT, 2 IN OUT
    ub4 size = 0;
    sb2 precision = 0;
    sb2 scale = 0;
    ub1 radix = 0;
};

class ProcedureDescriber {
public:
    explicit ProcedureDescriber(LoginArea& session);
    ~ProcedureDescriber();
    ProcedureDescriber(const ProcedureDescriber&) = delete;
    ProcedureDescriber& operator=(const ProcedureDescriber&) = delete;

    // The rows of `name`; ORA-04043 when there is no such program.
    std::vector<ArgumentRow> describe(const std::string& name);

private:
    // The describe's root for `name` as an object of type `ptype`, or null
    // when there is none.
    void* describeObject(const std::string& name, ub1 ptype);
    std::vector<void*> packagedRoutines(const std::string& package, const std::string& routine);
    void addArguments(void* owner, ub4 firstPosition, ub2 overload, std::vector<ArgumentRow>& rows);
    ArgumentRow argumentRow(void* argument, ub2 overload);

    LoginArea& session_;
    OCIDescribe* describe_ = nullptr;  // freed with this object
};

}  // namespace engine
