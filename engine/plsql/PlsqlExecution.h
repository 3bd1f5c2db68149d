// Runs an anonymous block on a session for the call interface, once per
// iteration of an execute, with that iteration's elements of the statement's
// binds.
//
// Within an iteration the binds are the block's host variables: a
// placeholder reads the bind's element (or what the block assigned to it so
// far); a bind of a PL/SQL table is one table of all its elements. A value is
// converted to the bind's type when it is assigned, as a define converts a
// column (so a value that does not fit fails that statement), and goes into
// the client's buffers only when the whole block has run. A block that fails
// leaves the client's buffers as they were and undoes its own changes, as the
// server rolls back a failed call; the session's earlier work stays.
#pragma once

#include "plsql/BlockBind.h"
#include "plsql/PlsqlInterpreter.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

class Connection;
class PlsqlSession;

class PlsqlExecution : private PlsqlHost {
public:
    // Compiles the block `text` for `connection`; throws ORA-06550 when it
    // does not compile. Nothing is bound yet.
    PlsqlExecution(Connection& connection, const std::string& text);

    // Runs the block with element `element` of `binds`, where binds[i] is the
    // bind of the block's placeholder occurrence i.
    void run(ub4 element, const std::vector<BlockBind*>& binds);

private:
    PlsqlValue read(int occurrence) override;
    void write(int occurrence, const PlsqlValue& value) override;
    void deliver() override;
    bool deliveryMayFail() const override;
    static PlsqlValue elementOf(BlockBind& bind, ub4 element, bool table);
    static void convert(BlockBind& bind, const PlsqlValue& value, ConvertedElements& into);

    PlsqlSession& session_;                       // the session's block language state
    std::shared_ptr<const PlsqlUnit> block_;      // the compiled block
    std::vector<BlockBind*> binds_;               // of the running iteration
    ub4 element_ = 0;                             // element of the running iteration
    std::map<BlockBind*, PlsqlValue> values_;     // the binds' values in the running iteration
    std::map<BlockBind*, ConvertedElements> assigned_;  // converted for the client, sent after it
};

}  // namespace engine
