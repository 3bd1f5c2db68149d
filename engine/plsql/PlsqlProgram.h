// The compiled form of the block language: what PlsqlCompiler makes of a
// program's text once, and PlsqlInterpreter runs as often as it is called.
// Names are resolved at compile time where they are local (frame slots, the
// own package's variables, placeholder occurrences, exceptions); calls of
// other program units are resolved by name when they run, so a unit replaced
// in the meantime is called in its new form.
#pragma once

#include "plsql/PlsqlType.h"
#include "plsql/PlsqlValue.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace engine {

struct PlsqlExpr;
struct PlsqlStmt;
using ExprPtr = std::unique_ptr<PlsqlExpr>;
using StmtPtr = std::unique_ptr<PlsqlStmt>;
using StmtList = std::vector<StmtPtr>;

// Where a statement or expression starts in the unit's text, 1-based.
struct SourcePlace {
    std::size_t line = 1;
    std::size_t column = 1;
};

// A variable, or a part of one, that can be read and assigned.
struct PlsqlPlace {
    enum class Root : std::uint8_t { Local, Package, Host };
    struct Step {
        ExprPtr index;   // a table element t(index)
        int field = -1;  // a record field, by position
    };
    Root root = Root::Local;
    int slot = 0;            // Local: frame slot; Package: state slot; Host: placeholder occurrence
    std::string package;     // Package: the package whose state it is
    std::vector<Step> steps;
    TypeRef type;            // the declared type of the place (null for a host variable)
    bool constant = false;   // a CONSTANT or an IN argument: not assignable
};

// A call of a procedure or function, standalone or in a package.
struct PlsqlCall {
    std::string package;                 // empty for a standalone unit or one of the own package
    std::string name;                    // dictionary name
    std::vector<ExprPtr> arguments;      // positional first, then named
    std::vector<std::string> argumentNames;  // "" for a positional argument
    bool ownPackage = false;             // a subprogram of the calling unit's package
};

struct PlsqlExpr {
    enum class Op : std::uint8_t {
        Literal,   // literal
        Read,      // place
        Negate,    // -args[0]
        Arith,     // args[0] symbol args[1]: + - * /
        Concat,    // args[0] || args[1]
        Compare,   // args[0] symbol args[1]: = <> < <= > >=
        And,
        Or,
        Not,
        IsNull,    // args[0] IS NULL (negated: IS NOT NULL)
        Like,      // args[0] LIKE args[1] (negated: NOT LIKE)
        Case,      // args: when1, then1, ..., [else]; symbol "searched" or operand first
        Call,      // call (a function)
        SqlFunction,  // sql: "SELECT f(?1, ...)" over args, the dialect's functions
        Method,    // place.symbol: COUNT FIRST LAST NEXT PRIOR EXISTS
        SqlCode,
        SqlErrm,   // optionally of args[0]
        Cursor     // symbol: ROWCOUNT FOUND NOTFOUND ISOPEN of the last SQL statement
    };
    Op op = Op::Literal;
    bool negated = false;
    std::string symbol;
    PlsqlValue literal;
    PlsqlPlace place;
    std::vector<ExprPtr> args;
    PlsqlCall call;
    std::string sql;
    SourcePlace at;
};

// An SQL statement inside a program: the dialect's SQLite text with one
// parameter per variable it reads.
struct PlsqlSql {
    enum class Kind : std::uint8_t { SelectInto, Change, Query };
    Kind kind = Kind::Change;
    std::string sql;                  // SQLite text
    std::vector<ExprPtr> parameters;  // the value of SQLite parameter k + 1
    std::vector<PlsqlPlace> into;     // SelectInto: the targets (one record takes every column)
    bool isCommit = false;            // COMMIT or ROLLBACK rather than SQL text
    bool isRollback = false;
    // A change that runs no code but its own: no function, no query (a view
    // could call one). Such a statement fails as a whole, undone by SQLite.
    bool selfContained = false;
};

inline constexpr char kApplicationError[] = "RAISE_APPLICATION_ERROR";
inline constexpr char kOthers[] = "OTHERS";

struct PlsqlHandler {
    std::vector<std::string> exceptions;  // predefined names, user exception keys, or kOthers
    StmtList body;
};

struct PlsqlDeclaration {
    int slot = 0;
    TypeRef type;
    ExprPtr initial;  // may be null
    bool notNull = false;
};

struct PlsqlStmt {
    enum class Kind : std::uint8_t {
        Null, Assign, If, Loop, While, ForRange, ForQuery, Exit, Return, Call, Sql, Raise, Block, Sleep,
        Evaluate  // value evaluated for its effect (a collection's DELETE, an output call)
    };
    Kind kind = Kind::Null;
    SourcePlace at;
    PlsqlPlace target;                 // Assign
    ExprPtr value;                     // Assign, Return, Exit WHEN, While, Raise(app error number), Sleep
    ExprPtr second;                    // ForRange upper bound, application error text
    std::vector<ExprPtr> conditions;   // If
    std::vector<StmtList> branches;    // If: one per condition, then ELSE
    StmtList body;                     // loops, Block
    int loopSlot = 0;                  // ForRange, ForQuery
    bool reverse = false;
    std::string label;                 // a loop's label; Exit: the label it leaves
    PlsqlSql sql;                      // Sql, ForQuery
    PlsqlCall call;                    // Call
    // Raise: a predefined exception's name or a user exception's key; empty
    // to raise the handled exception again; kApplicationError for
    // RAISE_APPLICATION_ERROR(value, second).
    std::string exception;
    std::vector<PlsqlDeclaration> declarations;  // Block
    std::vector<PlsqlHandler> handlers;           // Block
    bool hasHandlers = false;
    // Nothing of its routine runs after it: it ends the routine's body, an
    // enclosing block or branch of an IF that ends it, or a handler there.
    bool endsRoutine = false;
};

// A formal argument of a procedure or function.
struct PlsqlArgument {
    enum class Mode : std::uint8_t { In = 0, Out = 1, InOut = 2 };
    std::string name;
    Mode mode = Mode::In;
    TypeRef type;
    ExprPtr defaultValue;  // null when the argument has none
};

// The server's error number behind a predefined exception's name, or 0.
int predefinedExceptionNumber(const std::string& name);

// A procedure or function: standalone, in a package, or an anonymous block.
struct PlsqlRoutine {
    std::string name;                 // dictionary name; empty for an anonymous block
    bool isFunction = false;
    std::vector<PlsqlArgument> arguments;  // slot i holds argument i
    TypeRef returnType;               // functions only
    std::unique_ptr<PlsqlStmt> body;  // a Block; null for a declaration only
    int frameSize = 0;                // slots of arguments and locals
    SourcePlace at;
};

// One compiled program unit.
struct PlsqlUnit {
    enum class Kind : std::uint8_t { Procedure, Function, Package, PackageBody, Anonymous };
    Kind kind = Kind::Anonymous;
    std::string name;                 // dictionary name
    std::vector<std::shared_ptr<PlsqlRoutine>> routines;  // a package: in declaration order
    // A package: its variables (state slots), their declarations, its types
    // and exceptions by name, so that a body and other units find them.
    std::vector<PlsqlDeclaration> variables;
    std::map<std::string, int> variableSlots;
    std::map<std::string, bool> constants;
    std::map<std::string, TypeRef> types;
    std::vector<std::string> exceptions;
    std::unique_ptr<PlsqlStmt> initialization;  // a body's BEGIN part
    int stateSize = 0;
    std::int64_t version = 0;         // the stored object's version when compiled
    bool valid = true;                // false: stored with errors; such a unit has no routines
};

}  // namespace engine
