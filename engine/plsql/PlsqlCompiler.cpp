// Compiling the block language, rule by rule.
#include "plsql/PlsqlCompiler.h"

#include "base/StoredNames.h"
#include "sql/SqlDialect.h"

#include <algorithm>
#include <array>
#include <cassert>

namespace engine {
namespace {

// Levels of nesting a program may have (see Nesting): far beyond what a
// written program needs, and within what the compiler's and interpreter's
// recursion can take on a thread's stack, even a sanitized one.
constexpr int kMaxNesting = 1000;
constexpr int kStatementLevels = 4;   // a nested block, IF, LOOP: about 250 deep
constexpr int kExpressionLevels = 4;  // a parenthesis or argument: about 250 deep

using Kind = PlsqlType::Kind;

// Statements the engine does not run; a program using one is refused with
// the compiler's implementation restriction.
constexpr std::array<std::string_view, 12> kUnsupportedStatements{
    "CASE", "CLOSE", "CONTINUE", "EXECUTE", "FETCH", "FORALL", "GOTO", "LOCK", "MERGE", "OPEN", "PIPE", "SAVEPOINT"};

constexpr char kStatementStarts[] =
    "begin case declare exit for goto if loop null raise return select update while with <an identifier> "
    "<a bind variable> << close current delete fetch lock insert open rollback savepoint set sql execute commit "
    "forall merge pipe";

struct ScalarName {
    std::string_view word;
    Kind kind;
};
constexpr std::array<ScalarName, 16> kScalarTypes{{
    {"NUMBER", Kind::Number},        {"INTEGER", Kind::Number},     {"INT", Kind::Number},
    {"FLOAT", Kind::Number},         {"DECIMAL", Kind::Number},     {"VARCHAR2", Kind::Varchar2},
    {"VARCHAR", Kind::Varchar2},     {"CHAR", Kind::Char},          {"DATE", Kind::Date},
    {"RAW", Kind::Raw},              {"LONG", Kind::Long},          {"PLS_INTEGER", Kind::PlsInteger},
    {"BINARY_INTEGER", Kind::PlsInteger}, {"NATURAL", Kind::PlsInteger}, {"POSITIVE", Kind::PlsInteger},
    {"BOOLEAN", Kind::Boolean},
}};

constexpr std::array<std::string_view, 7> kCollectionMethods{"COUNT", "FIRST", "LAST", "NEXT", "PRIOR", "EXISTS",
                                                             "DELETE"};

bool isCollectionMethod(const std::string& name) {
    for (std::string_view method : kCollectionMethods) {
        if (method == name) return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& parts, std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count && i < parts.size(); ++i) text += (i ? "." : "") + parts[i];
    return text;
}

ExprPtr makeExpr(PlsqlExpr::Op op, SourcePlace at) {
    auto expr = std::make_unique<PlsqlExpr>();
    expr->op = op;
    expr->at = at;
    return expr;
}

ExprPtr binary(PlsqlExpr::Op op, std::string symbol, ExprPtr left, ExprPtr right) {
    auto expr = makeExpr(op, left->at);
    expr->symbol = std::move(symbol);
    expr->args.push_back(std::move(left));
    expr->args.push_back(std::move(right));
    return expr;
}

StmtPtr makeStmt(PlsqlStmt::Kind kind, SourcePlace at) {
    auto stmt = std::make_unique<PlsqlStmt>();
    stmt->kind = kind;
    stmt->at = at;
    return stmt;
}

// Marks `stmt`, which ends its routine, and the statements within it after
// which nothing more of the routine runs.
void markRoutineEnd(PlsqlStmt& stmt) {
    stmt.endsRoutine = true;
    auto markLast = [](StmtList& list) {
        if (!list.empty()) markRoutineEnd(*list.back());
    };
    if (stmt.kind == PlsqlStmt::Kind::Block) {
        markLast(stmt.body);
        for (PlsqlHandler& handler : stmt.handlers) markLast(handler.body);
    } else if (stmt.kind == PlsqlStmt::Kind::If) {
        for (StmtList& branch : stmt.branches) markLast(branch);
    }
}

// Whether SQL tokens [first, end) run no code but the statement's own: no
// query (a view may call a function), and no name before "(" but VALUES and
// an INSERT's table before its column list.
bool runsNoOtherCode(const std::vector<SqlToken>& tokens, std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i) {
        if (tokens[i].isWord("SELECT") || tokens[i].isWord("WITH")) return false;
        if (!tokens[i].isName() || i + 1 >= end || !tokens[i + 1].isSymbol("(") || tokens[i].isWord("VALUES")) continue;
        const bool insertTable = tokens[first].isWord("INSERT") && i > first &&
                                 (tokens[i - 1].isWord("INTO") ||
                                  (i >= first + 3 && tokens[i - 1].isSymbol(".") && tokens[i - 3].isWord("INTO")));
        if (!insertTable) return false;
    }
    return true;
}

}  // namespace

PlsqlCompiler::PlsqlCompiler(const std::vector<SqlToken>& significant, std::string_view text, PlsqlCatalog& catalog)
    : SqlTokenCursor(significant, text), catalog_(catalog) {}

// ---------------------------------------------------------------- units

std::shared_ptr<PlsqlUnit> PlsqlCompiler::compileAnonymous() {
    unit_ = std::make_shared<PlsqlUnit>();
    auto routine = std::make_shared<PlsqlRoutine>();
    routine_ = routine.get();
    scopes_.emplace_back();
    const bool declare = acceptWord("DECLARE");
    if (!declare && (peek() == nullptr || !peek()->isWord("BEGIN"))) unexpected("begin declare");
    routine->body = block(declare);
    markRoutineEnd(*routine->body);
    acceptSymbol(";");
    if (peek() != nullptr) unexpected("end-of-file");
    routine->frameSize = nextSlot_;
    unit_->routines.push_back(std::move(routine));
    return unit_;
}

std::shared_ptr<PlsqlUnit> PlsqlCompiler::compileUnit(std::shared_ptr<const PlsqlUnit> header) {
    unit_ = std::make_shared<PlsqlUnit>();
    header_ = std::move(header);
    scopes_.emplace_back();
    if (acceptWord("PROCEDURE") || acceptWord("FUNCTION")) {
        const bool isFunction = tokens_[pos_ - 1].isWord("FUNCTION");
        unit_->kind = isFunction ? PlsqlUnit::Kind::Function : PlsqlUnit::Kind::Procedure;
        std::shared_ptr<PlsqlRoutine> routine = routineHeading(isFunction);
        unit_->name = routine->name;
        if (!acceptWord("IS") && !acceptWord("AS")) unexpected("is as");
        unit_->routines.push_back(routine);
        routineBody(*routine);
    } else {
        expectWord("PACKAGE");
        const bool body = acceptWord("BODY");
        unit_->kind = body ? PlsqlUnit::Kind::PackageBody : PlsqlUnit::Kind::Package;
        unit_->name = expectName();
        if (!acceptWord("IS") && !acceptWord("AS")) unexpected("is as");
        packageItems(body);
    }
    acceptSymbol(";");
    if (peek() != nullptr) unexpected("end-of-file");
    return unit_;
}

// name [(arguments)] [RETURN type]
std::shared_ptr<PlsqlRoutine> PlsqlCompiler::routineHeading(bool isFunction) {
    auto routine = std::make_shared<PlsqlRoutine>();
    routine->at = here();
    routine->name = expectName();
    routine->isFunction = isFunction;
    if (acceptSymbol("(")) arguments(*routine);
    if (isFunction) {
        expectWord("RETURN");
        routine->returnType = type();
    }
    return routine;
}

// name [IN] [OUT] [NOCOPY] type [(:= | DEFAULT) expression] {, ...} )
void PlsqlCompiler::arguments(PlsqlRoutine& routine) {
    do {
        PlsqlArgument argument;
        argument.name = expectName();
        const bool in = acceptWord("IN");
        const bool out = acceptWord("OUT");
        acceptWord("NOCOPY");
        argument.mode = out ? (in ? PlsqlArgument::Mode::InOut : PlsqlArgument::Mode::Out) : PlsqlArgument::Mode::In;
        argument.type = type();
        if (acceptSymbol(":=") || acceptWord("DEFAULT")) argument.defaultValue = expression();
        for (const PlsqlArgument& other : routine.arguments) {
            if (other.name == argument.name)
                fail(placeOf(pos_ - 1), "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted");
        }
        routine.arguments.push_back(std::move(argument));
    } while (acceptSymbol(","));
    expectSymbol(")");
}

// declarations BEGIN statements [EXCEPTION handlers] END [name] ;
void PlsqlCompiler::routineBody(PlsqlRoutine& routine) {
    PlsqlRoutine* outer = routine_;
    const int outerSlot = nextSlot_;
    routine_ = &routine;
    nextSlot_ = 0;
    scopes_.emplace_back();
    for (const PlsqlArgument& argument : routine.arguments) {
        declareVariable(argument.name, argument.type, argument.mode == PlsqlArgument::Mode::In, false);
    }
    routine.body = block(true);
    markRoutineEnd(*routine.body);
    if (peek() != nullptr && peek()->isName() && !peek()->isSymbol(";")) endName(routine.name);
    expectSymbol(";");
    routine.frameSize = nextSlot_;
    scopes_.pop_back();
    routine_ = outer;
    nextSlot_ = outerSlot;
}

void PlsqlCompiler::endName(const std::string& expected) {
    const std::size_t at = pos_;
    const std::string name = expectName();
    if (name != expected)
        fail(placeOf(at), "PLS-00113: END identifier '" + name + "' must match '" + expected + "'");
}

// { declaration | PROCEDURE ... | FUNCTION ... } [BEGIN statements] END [name] ;
void PlsqlCompiler::packageItems(bool body) {
    if (body) {
        if (!header_) fail(placeOf(0), "PLS-00201: identifier '" + unit_->name + "' must be declared");
        Scope& scope = scopes_.front();
        for (const auto& [name, slot] : header_->variableSlots) {
            scope.variables[name] = Local{slot, header_->variables[static_cast<std::size_t>(slot)].type,
                                          header_->constants.count(name) != 0, true};
        }
        scope.types = header_->types;
        for (const std::string& key : header_->exceptions) scope.exceptions[key.substr(key.find('.') + 1)] = key;
        unit_->stateSize = header_->stateSize;
    }
    while (peek() != nullptr && !peek()->isWord("END") && !peek()->isWord("BEGIN")) {
        if (peek()->isWord("PROCEDURE") || peek()->isWord("FUNCTION")) {
            packageRoutine(body);
        } else if (!declaration(unit_->variables, true)) {
            unexpected("end function pragma procedure type <an identifier>");
        }
    }
    if (body && acceptWord("BEGIN")) {
        PlsqlRoutine initialization;
        routine_ = &initialization;
        scopes_.emplace_back();
        auto stmt = makeStmt(PlsqlStmt::Kind::Block, here());
        stmt->body = statements({"END", "EXCEPTION"});
        if (acceptWord("EXCEPTION")) {
            stmt->hasHandlers = true;
            stmt->handlers = handlers();
        }
        scopes_.pop_back();
        unit_->initialization = std::move(stmt);
        routine_ = nullptr;
    }
    expectWord("END");
    if (peek() != nullptr && peek()->isName()) endName(unit_->name);
}

// PROCEDURE heading ; | PROCEDURE heading IS body  (likewise FUNCTION)
void PlsqlCompiler::packageRoutine(bool body) {
    const bool isFunction = peek()->isWord("FUNCTION");
    ++pos_;
    std::shared_ptr<PlsqlRoutine> routine = routineHeading(isFunction);
    if (acceptSymbol(";")) {
        if (!body) unit_->routines.push_back(routine);
        return;
    }
    if (!body) unexpected(";");
    if (!acceptWord("IS") && !acceptWord("AS")) unexpected("is as ;");
    unit_->routines.push_back(routine);
    routineBody(*routine);
}

void PlsqlCompiler::declarations(std::vector<PlsqlDeclaration>& out, bool package) {
    while (peek() != nullptr && !peek()->isWord("BEGIN")) {
        if (!declaration(out, package)) unexpected("begin function pragma procedure type <an identifier>");
    }
}

// TYPE ... ; | PRAGMA ... ; | name EXCEPTION ; | name [CONSTANT] type [NOT NULL] [(:= | DEFAULT) expr] ;
bool PlsqlCompiler::declaration(std::vector<PlsqlDeclaration>& out, bool package) {
    if (acceptWord("TYPE")) {
        typeDeclaration();
        return true;
    }
    if (acceptWord("PRAGMA")) {
        while (peek() != nullptr && !acceptSymbol(";")) ++pos_;
        return true;
    }
    if (peek() == nullptr || !peek()->isName() || peek()->isWord("END") || peek()->isWord("PROCEDURE") ||
        peek()->isWord("FUNCTION"))
        return false;
    if (peek()->isWord("CURSOR"))
        fail(here(), "PLS-00999: implementation restriction (may be temporary) CURSOR declarations are not supported");
    const std::string name = expectName();
    if (acceptWord("EXCEPTION")) {
        const std::string key = package ? unit_->name + "." + name
                                        : unit_->name + ":" + std::to_string(pos_) + "." + name;
        scopes_.back().exceptions[name] = key;
        if (package) unit_->exceptions.push_back(key);
        expectSymbol(";");
        return true;
    }
    const bool constant = acceptWord("CONSTANT");
    PlsqlDeclaration declaration;
    declaration.type = type();
    if (acceptWord("NOT")) {
        expectWord("NULL");
        declaration.notNull = true;
    }
    if (acceptSymbol(":=") || acceptWord("DEFAULT")) declaration.initial = expression();
    if (constant && !declaration.initial)
        fail(here(), "PLS-00322: declaration of a constant '" + name + "' must contain an initialization assignment");
    declaration.slot = declareVariable(name, declaration.type, constant, package);
    expectSymbol(";");
    out.push_back(std::move(declaration));
    return true;
}

// TYPE name IS TABLE OF type INDEX BY index-type ; | TYPE name IS RECORD (field type, ...) ;
void PlsqlCompiler::typeDeclaration() {
    auto declared = std::make_shared<PlsqlType>();
    declared->name = expectName();
    expectWord("IS");
    if (acceptWord("TABLE")) {
        expectWord("OF");
        declared->kind = Kind::Table;
        declared->element = type();
        if (acceptWord("INDEX")) {
            expectWord("BY");
            type();
        }
    } else if (acceptWord("RECORD")) {
        declared->kind = Kind::Record;
        expectSymbol("(");
        do {
            PlsqlType::Field field{expectName(), type()};
            if (declared->fieldIndex(field.name) >= 0)
                fail(placeOf(pos_ - 1), "PLS-00410: duplicate fields in RECORD,TABLE or argument list are not permitted");
            declared->fields.push_back(std::move(field));
        } while (acceptSymbol(","));
        expectSymbol(")");
    } else {
        unexpected("table record");
    }
    expectSymbol(";");
    scopes_.back().types[declared->name] = declared;
    if (scopes_.size() == 1) unit_->types[declared->name] = declared;
}

// scalar-type [(size [BYTE|CHAR]) | (precision [, scale])] | name%TYPE | type-name
TypeRef PlsqlCompiler::type() {
    const std::size_t at = pos_;
    if (peek() == nullptr || !peek()->isName()) unexpected("<a type>");
    const NameChain name = nameChain();
    if (acceptSymbol("%")) {
        expectWord("TYPE");
        return anchoredType(name);
    }
    if (name.parts.size() == 1) {
        if (name.parts[0] == "LONG" && acceptWord("RAW")) return PlsqlType::scalar(Kind::LongRaw);
        if (TypeRef scalar = scalarType(name.parts[0])) return scalar;
    }
    if (TypeRef named = findType(name)) return named;
    fail(placeOf(at), "PLS-00201: identifier '" + joined(name.parts, name.parts.size()) + "' must be declared");
}

TypeRef PlsqlCompiler::scalarType(const std::string& word) {
    for (const ScalarName& entry : kScalarTypes) {
        if (entry.word != word) continue;
        unsigned size = 0;
        int precision = 0;
        int scale = 0;
        if (acceptSymbol("(")) {
            const std::optional<std::int64_t> first = acceptInteger();
            if (!first) unexpected("<an integer>");
            if (entry.kind == Kind::Number && acceptSymbol(",")) {
                const std::optional<std::int64_t> second = acceptInteger();
                if (!second) unexpected("<an integer>");
                scale = static_cast<int>(*second);
            }
            if (!acceptWord("BYTE")) acceptWord("CHAR");
            expectSymbol(")");
            (entry.kind == Kind::Number ? precision : reinterpret_cast<int&>(size)) = static_cast<int>(*first);
        }
        if (word == "INTEGER" || word == "INT") precision = 38;
        return PlsqlType::scalar(entry.kind, size, precision, scale);
    }
    return nullptr;
}

// variable%TYPE or table.column%TYPE
TypeRef PlsqlCompiler::anchoredType(const NameChain& name) {
    if (name.parts.size() == 1) {
        if (const Local* local = findLocal(name.parts[0])) return local->type;
    }
    if (name.parts.size() == 2) {
        if (TypeRef column = catalog_.columnType(name.parts[0], name.parts[1])) return column;
    }
    fail(placeOf(name.start), "PLS-00201: identifier '" + joined(name.parts, name.parts.size()) + "' must be declared");
}

int PlsqlCompiler::declareVariable(const std::string& name, TypeRef type, bool constant, bool package) {
    Scope& scope = scopes_.back();
    if (scope.variables.count(name) != 0)
        fail(placeOf(pos_ - 1), "PLS-00371: at most one declaration for '" + name + "' is permitted");
    const int slot = package ? unit_->stateSize++ : nextSlot_++;
    scope.variables[name] = Local{slot, std::move(type), constant, package};
    if (package) {
        unit_->variableSlots[name] = slot;
        if (constant) unit_->constants[name] = true;
    }
    return slot;
}

// ---------------------------------------------------------------- statements

// [declarations] BEGIN statements [EXCEPTION handlers] END
std::unique_ptr<PlsqlStmt> PlsqlCompiler::block(bool withDeclarations) {
    auto stmt = makeStmt(PlsqlStmt::Kind::Block, here());
    scopes_.emplace_back();
    if (withDeclarations) declarations(stmt->declarations, false);
    expectWord("BEGIN");
    stmt->body = statements({"END", "EXCEPTION"});
    if (acceptWord("EXCEPTION")) {
        stmt->hasHandlers = true;
        stmt->handlers = handlers();
    }
    expectWord("END");
    scopes_.pop_back();
    return stmt;
}

// statement { statement } up to one of `enders` (not consumed)
StmtList PlsqlCompiler::statements(std::initializer_list<std::string_view> enders) {
    StmtList list;
    for (;;) {
        const SqlToken* next = peek();
        bool ended = next == nullptr;
        for (std::string_view word : enders) ended = ended || next->isWord(word);
        if (ended) break;
        list.push_back(statement());
    }
    if (list.empty()) unexpected(kStatementStarts);
    return list;
}

StmtPtr PlsqlCompiler::statement() {
    const Nesting level(*this, kStatementLevels);
    std::string label;
    if (peek() != nullptr && peek()->isSymbol("<") && peek(1) != nullptr && peek(1)->isSymbol("<")) {
        pos_ += 2;
        label = expectName();
        expectSymbol(">");
        expectSymbol(">");
    }
    const SqlToken* token = peek();
    if (token == nullptr) unexpected(kStatementStarts);
    const SourcePlace at = here();
    if (token->isWord("LOOP") || token->isWord("WHILE")) return loopStatement(label);
    if (token->isWord("FOR")) return forStatement(label);
    if (acceptWord("NULL")) {
        expectSymbol(";");
        return makeStmt(PlsqlStmt::Kind::Null, at);
    }
    if (token->isWord("IF")) return ifStatement();
    if (token->isWord("EXIT")) return exitStatement();
    if (token->isWord("RETURN")) return returnStatement();
    if (token->isWord("RAISE")) return raiseStatement();
    if (token->isWord("DECLARE") || token->isWord("BEGIN")) {
        const bool declare = acceptWord("DECLARE");
        StmtPtr nested = block(declare);
        if (peek() != nullptr && peek()->isName()) ++pos_;
        expectSymbol(";");
        return nested;
    }
    if (token->isWord("SELECT") || token->isWord("WITH")) return sqlStatement(PlsqlSql::Kind::SelectInto);
    if (token->isWord("INSERT") || token->isWord("UPDATE") || token->isWord("DELETE") || token->isWord("COMMIT") ||
        token->isWord("ROLLBACK"))
        return sqlStatement(PlsqlSql::Kind::Change);
    for (std::string_view word : kUnsupportedStatements) {
        if (token->isWord(word))
            fail(at, "PLS-00999: implementation restriction (may be temporary) " + std::string(word) +
                         " is not supported in the engine's PL/SQL");
    }
    if (token->kind == SqlTokenKind::Placeholder || token->isName()) return nameStatement();
    unexpected(kStatementStarts);
}

// IF condition THEN statements {ELSIF condition THEN statements} [ELSE statements] END IF ;
StmtPtr PlsqlCompiler::ifStatement() {
    auto stmt = makeStmt(PlsqlStmt::Kind::If, here());
    expectWord("IF");
    do {
        stmt->conditions.push_back(expression());
        expectWord("THEN");
        stmt->branches.push_back(statements({"ELSIF", "ELSE", "END"}));
    } while (acceptWord("ELSIF"));
    if (acceptWord("ELSE")) stmt->branches.push_back(statements({"END"}));
    expectWord("END");
    expectWord("IF");
    expectSymbol(";");
    return stmt;
}

void PlsqlCompiler::expectEndOf(const char* what) {
    expectWord("END");
    expectWord(what);
    if (peek() != nullptr && peek()->isName()) ++pos_;
    expectSymbol(";");
}

// [WHILE condition] LOOP statements END LOOP [label] ;
StmtPtr PlsqlCompiler::loopStatement(std::string label) {
    const SourcePlace at = here();
    ExprPtr condition;
    if (acceptWord("WHILE")) condition = expression();
    auto stmt = makeStmt(condition ? PlsqlStmt::Kind::While : PlsqlStmt::Kind::Loop, at);
    stmt->value = std::move(condition);
    stmt->label = std::move(label);
    expectWord("LOOP");
    ++loopDepth_;
    stmt->body = statements({"END"});
    --loopDepth_;
    expectEndOf("LOOP");
    return stmt;
}

// FOR i IN [REVERSE] low .. high LOOP ... | FOR r IN (query) LOOP ...
StmtPtr PlsqlCompiler::forStatement(std::string label) {
    const SourcePlace at = here();
    expectWord("FOR");
    const std::string index = expectName();
    expectWord("IN");
    StmtPtr stmt;
    scopes_.emplace_back();
    if (peek() != nullptr && peek()->isSymbol("(") && peek(1) != nullptr &&
        (peek(1)->isWord("SELECT") || peek(1)->isWord("WITH"))) {
        stmt = makeStmt(PlsqlStmt::Kind::ForQuery, at);
        const std::size_t close = closingParenthesis(pos_);
        stmt->sql = embeddedSql(PlsqlSql::Kind::Query, pos_ + 1, close, placeOf(pos_ + 1));
        pos_ = close + 1;
        auto record = std::make_shared<PlsqlType>();
        record->kind = Kind::Record;
        for (const std::string& column : catalog_.checkSql(stmt->sql.sql)) record->fields.push_back({column, nullptr});
        stmt->loopSlot = declareVariable(index, record, false, false);
    } else {
        stmt = makeStmt(PlsqlStmt::Kind::ForRange, at);
        stmt->reverse = acceptWord("REVERSE");
        stmt->value = additive();
        expectSymbol("..");
        stmt->second = additive();
        stmt->loopSlot = declareVariable(index, PlsqlType::scalar(Kind::PlsInteger), true, false);
    }
    stmt->label = std::move(label);
    expectWord("LOOP");
    ++loopDepth_;
    stmt->body = statements({"END"});
    --loopDepth_;
    scopes_.pop_back();
    expectEndOf("LOOP");
    return stmt;
}

// EXIT [label] [WHEN condition] ;
StmtPtr PlsqlCompiler::exitStatement() {
    auto stmt = makeStmt(PlsqlStmt::Kind::Exit, here());
    expectWord("EXIT");
    if (loopDepth_ == 0) fail(stmt->at, "PLS-00376: illegal EXIT statement; it must appear inside a loop");
    if (peek() != nullptr && peek()->isName() && !peek()->isWord("WHEN")) stmt->label = expectName();
    if (acceptWord("WHEN")) stmt->value = expression();
    expectSymbol(";");
    return stmt;
}

// RETURN [expression] ;
StmtPtr PlsqlCompiler::returnStatement() {
    auto stmt = makeStmt(PlsqlStmt::Kind::Return, here());
    expectWord("RETURN");
    if (!acceptSymbol(";")) {
        if (routine_ == nullptr || !routine_->isFunction)
            fail(stmt->at, "PLS-00372: In a procedure, RETURN statement cannot contain an expression");
        stmt->value = expression();
        expectSymbol(";");
    } else if (routine_ != nullptr && routine_->isFunction) {
        fail(stmt->at, "PLS-00503: RETURN <value> statement required for this return from function");
    }
    return stmt;
}

// RAISE [exception] ;
StmtPtr PlsqlCompiler::raiseStatement() {
    auto stmt = makeStmt(PlsqlStmt::Kind::Raise, here());
    expectWord("RAISE");
    if (!acceptSymbol(";")) {
        stmt->exception = exceptionKey(nameChain());
        expectSymbol(";");
    }
    return stmt;
}

// WHEN name {OR name} THEN statements { WHEN ... }
std::vector<PlsqlHandler> PlsqlCompiler::handlers() {
    std::vector<PlsqlHandler> list;
    do {
        expectWord("WHEN");
        PlsqlHandler handler;
        do {
            if (acceptWord("OTHERS")) {
                handler.exceptions.push_back(kOthers);
            } else {
                handler.exceptions.push_back(exceptionKey(nameChain()));
            }
        } while (acceptWord("OR"));
        expectWord("THEN");
        handler.body = statements({"WHEN", "END"});
        list.push_back(std::move(handler));
    } while (peek() != nullptr && peek()->isWord("WHEN"));
    return list;
}

// SELECT ... INTO ...; INSERT ...; UPDATE ...; DELETE ...; COMMIT; ROLLBACK;
StmtPtr PlsqlCompiler::sqlStatement(PlsqlSql::Kind kind) {
    auto stmt = makeStmt(PlsqlStmt::Kind::Sql, here());
    const std::size_t end = statementEnd(pos_);
    if (acceptWord("COMMIT") || acceptWord("ROLLBACK")) {
        stmt->sql.isCommit = tokens_[pos_ - 1].isWord("COMMIT");
        stmt->sql.isRollback = !stmt->sql.isCommit;
        acceptWord("WORK");
        if (pos_ != end) unexpected(";");
    } else {
        stmt->sql = embeddedSql(kind, pos_, end, stmt->at);
        pos_ = end;
    }
    expectSymbol(";");
    return stmt;
}

// A statement that starts with a name or a placeholder: an assignment, a
// collection's DELETE, or a call.
StmtPtr PlsqlCompiler::nameStatement() {
    const SourcePlace at = here();
    if (peek()->kind == SqlTokenKind::Placeholder) {
        auto stmt = makeStmt(PlsqlStmt::Kind::Assign, at);
        stmt->target = place(true);
        expectSymbol(":=");
        stmt->value = expression();
        expectSymbol(";");
        return stmt;
    }
    const std::size_t start = pos_;
    NameChain name = nameChain();
    std::size_t consumed = 0;
    if (resolvePlace(name, consumed)) {
        pos_ = start;
        const bool deleting = name.parts.size() > consumed && name.parts.back() == "DELETE";
        if (deleting) {
            auto stmt = makeStmt(PlsqlStmt::Kind::Evaluate, at);
            stmt->value = nameExpression();
            expectSymbol(";");
            return stmt;
        }
        auto stmt = makeStmt(PlsqlStmt::Kind::Assign, at);
        stmt->target = place(true);
        expectSymbol(":=");
        stmt->value = expression();
        expectSymbol(";");
        return stmt;
    }
    return callStatement(std::move(name));
}

// [package.]procedure [(arguments)] ; and the builtin procedures
StmtPtr PlsqlCompiler::callStatement(NameChain name) {
    const SourcePlace at = placeOf(name.start);
    const std::string full = joined(name.parts, name.parts.size());
    std::vector<std::string> parts = name.parts;
    if (!parts.empty() && parts[0] == "SYS") parts.erase(parts.begin());
    const std::string called = joined(parts, parts.size());
    if (called == "DBMS_LOCK.SLEEP" || called == "DBMS_SESSION.SLEEP") {
        auto stmt = makeStmt(PlsqlStmt::Kind::Sleep, at);
        expectSymbol("(");
        stmt->value = expression();
        expectSymbol(")");
        expectSymbol(";");
        return stmt;
    }
    if (called == kApplicationError) {
        auto stmt = makeStmt(PlsqlStmt::Kind::Raise, at);
        stmt->exception = kApplicationError;
        expectSymbol("(");
        stmt->value = expression();
        expectSymbol(",");
        stmt->second = expression();
        if (acceptSymbol(",")) expression();
        expectSymbol(")");
        expectSymbol(";");
        return stmt;
    }
    if (parts.size() == 2 && parts[0] == "DBMS_OUTPUT") {
        auto stmt = makeStmt(PlsqlStmt::Kind::Evaluate, at);
        stmt->value = makeExpr(PlsqlExpr::Op::Literal, at);
        if (acceptSymbol("(")) {
            stmt->value = expression();
            expectSymbol(")");
        }
        expectSymbol(";");
        return stmt;
    }
    auto stmt = makeStmt(PlsqlStmt::Kind::Call, at);
    bool isFunction = false;
    if (!resolveCall(name, stmt->call, isFunction))
        fail(at, "PLS-00201: identifier '" + full + "' must be declared");
    if (isFunction) fail(at, "PLS-00221: '" + stmt->call.name + "' is not a procedure or is undefined");
    if (acceptSymbol("(")) callArguments(stmt->call);
    expectSymbol(";");
    return stmt;
}

// ---------------------------------------------------------------- expressions

// conjunction { OR conjunction }
ExprPtr PlsqlCompiler::expression() {
    Nesting chain(*this, kExpressionLevels);
    ExprPtr left = conjunction();
    while (acceptWord("OR")) {
        chain.deeper();
        left = binary(PlsqlExpr::Op::Or, "OR", std::move(left), conjunction());
    }
    return left;
}

// negation { AND negation }
ExprPtr PlsqlCompiler::conjunction() {
    Nesting chain(*this);
    ExprPtr left = negation();
    while (acceptWord("AND")) {
        chain.deeper();
        left = binary(PlsqlExpr::Op::And, "AND", std::move(left), negation());
    }
    return left;
}

// NOT negation | comparison
ExprPtr PlsqlCompiler::negation() {
    const SourcePlace at = here();
    if (acceptWord("NOT")) {
        const Nesting level(*this, 1);
        auto expr = makeExpr(PlsqlExpr::Op::Not, at);
        expr->args.push_back(negation());
        return expr;
    }
    return comparison();
}

// additive [ op additive | IS [NOT] NULL | [NOT] LIKE additive | [NOT] BETWEEN a AND b | [NOT] IN (list) ]
ExprPtr PlsqlCompiler::comparison() {
    ExprPtr left = additive();
    for (std::string_view op : {"=", "<>", "!=", "^=", "<=", ">=", "<", ">"}) {
        if (acceptSymbol(op)) {
            const std::string symbol = op == "!=" || op == "^=" ? "<>" : std::string(op);
            return binary(PlsqlExpr::Op::Compare, symbol, std::move(left), additive());
        }
    }
    if (acceptWord("IS")) {
        auto expr = makeExpr(PlsqlExpr::Op::IsNull, left->at);
        expr->negated = acceptWord("NOT");
        expectWord("NULL");
        expr->args.push_back(std::move(left));
        return expr;
    }
    const std::size_t start = pos_;
    const bool negated = acceptWord("NOT");
    if (acceptWord("LIKE")) {
        ExprPtr expr = binary(PlsqlExpr::Op::Like, "LIKE", std::move(left), additive());
        expr->negated = negated;
        return expr;
    }
    if (acceptWord("BETWEEN")) {
        ExprPtr low = additive();
        expectWord("AND");
        ExprPtr expr = binary(PlsqlExpr::Op::Compare, "BETWEEN", std::move(left), std::move(low));
        expr->args.push_back(additive());
        expr->negated = negated;
        return expr;
    }
    if (acceptWord("IN")) {
        auto expr = makeExpr(PlsqlExpr::Op::Compare, left->at);
        expr->symbol = "IN";
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        expectSymbol("(");
        do expr->args.push_back(expression());
        while (acceptSymbol(","));
        expectSymbol(")");
        return expr;
    }
    pos_ = start;
    return left;
}

// multiplicative { (+ | - | ||) multiplicative }
ExprPtr PlsqlCompiler::additive() {
    Nesting chain(*this);
    ExprPtr left = multiplicative();
    for (;; chain.deeper()) {
        if (acceptSymbol("+") || acceptSymbol("-")) {
            std::string symbol(tokens_[pos_ - 1].text);
            left = binary(PlsqlExpr::Op::Arith, std::move(symbol), std::move(left), multiplicative());
        } else if (acceptSymbol("||")) {
            left = binary(PlsqlExpr::Op::Concat, "||", std::move(left), multiplicative());
        } else {
            return left;
        }
    }
}

// unary { (* | /) unary }
ExprPtr PlsqlCompiler::multiplicative() {
    Nesting chain(*this);
    ExprPtr left = unary();
    while (acceptSymbol("*") || acceptSymbol("/")) {
        chain.deeper();
        std::string symbol(tokens_[pos_ - 1].text);
        left = binary(PlsqlExpr::Op::Arith, std::move(symbol), std::move(left), unary());
    }
    return left;
}

// (- | +) unary | primary
ExprPtr PlsqlCompiler::unary() {
    const SourcePlace at = here();
    if (acceptSymbol("-")) {
        const Nesting level(*this, 1);
        auto expr = makeExpr(PlsqlExpr::Op::Negate, at);
        expr->args.push_back(unary());
        return expr;
    }
    acceptSymbol("+");
    return primary();
}

// number | string | NULL | TRUE | FALSE | ( expression ) | CASE ... | SQL%attribute | SQLCODE
// | SQLERRM [(expression)] | placeholder | name ...
ExprPtr PlsqlCompiler::primary() {
    const SqlToken* token = peek();
    if (token == nullptr) unexpected("( - + case null <an identifier> <a bind variable> <a number> <a string>");
    const SourcePlace at = here();
    if (token->kind == SqlTokenKind::Number) {
        auto expr = makeExpr(PlsqlExpr::Op::Literal, at);
        expr->literal = PlsqlValue::ofNumber(*acceptNumber());
        return expr;
    }
    if (token->kind == SqlTokenKind::String) {
        auto expr = makeExpr(PlsqlExpr::Op::Literal, at);
        std::string text;
        for (std::size_t i = 1; i + 1 < token->text.size(); ++i) {
            text += token->text[i];
            if (token->text[i] == '\'') ++i;
        }
        expr->literal = PlsqlValue::ofText(std::move(text));
        ++pos_;
        return expr;
    }
    if (acceptSymbol("(")) {
        ExprPtr inner = expression();
        expectSymbol(")");
        return inner;
    }
    if (acceptWord("NULL")) return makeExpr(PlsqlExpr::Op::Literal, at);
    if (token->isWord("TRUE") || token->isWord("FALSE")) {
        auto expr = makeExpr(PlsqlExpr::Op::Literal, at);
        expr->literal = PlsqlValue::ofBoolean(token->isWord("TRUE"));
        ++pos_;
        return expr;
    }
    if (token->isWord("CASE")) return caseExpression();
    if (token->isWord("SQL") && peek(1) != nullptr && peek(1)->isSymbol("%")) {
        pos_ += 2;
        auto expr = makeExpr(PlsqlExpr::Op::Cursor, at);
        expr->symbol = expectName();
        if (expr->symbol != "ROWCOUNT" && expr->symbol != "FOUND" && expr->symbol != "NOTFOUND" &&
            expr->symbol != "ISOPEN")
            fail(at, "PLS-00208: identifier '" + expr->symbol + "' is not a legal cursor attribute");
        return expr;
    }
    if (acceptWord("SQLCODE")) return makeExpr(PlsqlExpr::Op::SqlCode, at);
    if (acceptWord("SQLERRM")) {
        auto expr = makeExpr(PlsqlExpr::Op::SqlErrm, at);
        if (acceptSymbol("(")) {
            expr->args.push_back(expression());
            expectSymbol(")");
        }
        return expr;
    }
    if (token->kind == SqlTokenKind::Placeholder) {
        auto expr = makeExpr(PlsqlExpr::Op::Read, at);
        expr->place = place(false);
        return expr;
    }
    if (token->isName()) return nameExpression();
    unexpected("( - + case null <an identifier> <a bind variable> <a number> <a string>");
}

// CASE [operand] WHEN a THEN b {WHEN ...} [ELSE c] END
ExprPtr PlsqlCompiler::caseExpression() {
    auto expr = makeExpr(PlsqlExpr::Op::Case, here());
    expectWord("CASE");
    if (!(peek() != nullptr && peek()->isWord("WHEN"))) {
        expr->symbol = "simple";
        expr->args.push_back(expression());
    }
    while (acceptWord("WHEN")) {
        expr->args.push_back(expression());
        expectWord("THEN");
        expr->args.push_back(expression());
    }
    if (acceptWord("ELSE")) {
        expr->args.push_back(expression());
        expr->negated = true;  // the last argument is the ELSE value
    }
    expectWord("END");
    return expr;
}

// A name in an expression: a variable (with its elements, fields and
// collection methods), a function call, or an SQL function.
ExprPtr PlsqlCompiler::nameExpression() {
    const std::size_t start = pos_;
    NameChain name = nameChain();
    std::size_t consumed = 0;
    if (std::optional<PlsqlPlace> found = resolvePlace(name, consumed)) {
        pos_ = start + (consumed == 1 ? 1 : 3);  // past "name" or "package . name"
        return placeExpression(std::move(*found), name);
    }
    return functionCall(std::move(name));
}

// The rest of a variable reference after its first `consumed` name parts.
ExprPtr PlsqlCompiler::placeExpression(PlsqlPlace found, const NameChain& name) {
    const SourcePlace at = placeOf(name.start);
    for (;;) {
        if (peek() != nullptr && peek()->isSymbol("(") && found.type && found.type->kind == Kind::Table) {
            ++pos_;
            PlsqlPlace::Step step;
            step.index = expression();
            expectSymbol(")");
            found.steps.push_back(std::move(step));
            found.type = found.type->element;
            continue;
        }
        if (peek() == nullptr || !peek()->isSymbol(".") || peek(1) == nullptr || !peek(1)->isName()) break;
        const std::string member = identifierName(std::string(peek(1)->text));
        if (found.type && found.type->kind == Kind::Table && isCollectionMethod(member)) {
            pos_ += 2;
            auto expr = makeExpr(PlsqlExpr::Op::Method, at);
            expr->symbol = member;
            expr->place = std::move(found);
            if (acceptSymbol("(")) {
                expr->args.push_back(expression());
                expectSymbol(")");
            }
            return expr;
        }
        const int field = found.type && found.type->kind == Kind::Record ? found.type->fieldIndex(member) : -1;
        if (field < 0) fail(placeOf(pos_ + 1), "PLS-00302: component '" + member + "' must be declared");
        pos_ += 2;
        PlsqlPlace::Step step;
        step.field = field;
        found.steps.push_back(std::move(step));
        found.type = found.type->fields[static_cast<std::size_t>(field)].type;
    }
    auto expr = makeExpr(PlsqlExpr::Op::Read, at);
    expr->place = std::move(found);
    return expr;
}

// A call of a stored or own function, or of one of the SQL functions.
ExprPtr PlsqlCompiler::functionCall(NameChain name) {
    const SourcePlace at = placeOf(name.start);
    auto expr = makeExpr(PlsqlExpr::Op::Call, at);
    bool isFunction = false;
    if (resolveCall(name, expr->call, isFunction)) {
        if (!isFunction)
            fail(at, "PLS-00222: no function with name '" + expr->call.name + "' exists in this scope");
        if (acceptSymbol("(")) callArguments(expr->call);
        return expr;
    }
    return sqlFunction(name);
}

// name [(arguments)] run as the session's SQL runs it: "SELECT name(?1, ...)",
// an identifier unless the session's SQL knows such a function. Without FROM
// DUAL the query reads no table, so it takes no lock of the file each time.
ExprPtr PlsqlCompiler::sqlFunction(const NameChain& name) {
    const SourcePlace at = placeOf(name.start);
    const std::string full = joined(name.parts, name.parts.size());
    auto expr = makeExpr(PlsqlExpr::Op::SqlFunction, at);
    const bool call = acceptSymbol("(");
    if (call && !acceptSymbol(")")) {
        do expr->args.push_back(expression());
        while (acceptSymbol(","));
        expectSymbol(")");
    }
    auto undeclared = [&] { fail(at, "PLS-00201: identifier '" + full + "' must be declared"); };
    if (name.parts.size() != 1 || (!call && name.parts[0] != "SYSDATE" && name.parts[0] != "USER")) undeclared();
    std::string text = "SELECT " + name.parts[0];
    if (call) {
        text += "(";
        for (std::size_t i = 0; i < expr->args.size(); ++i) text += (i ? ", :" : ":") + std::to_string(i + 1);
        text += ")";
    }
    TranslatedSql translated = translateSql(text);
    if (translated.error) undeclared();
    try {
        catalog_.checkSql(translated.sql);
    } catch (const OraError& error) {
        if (error.number() == 1013) throw;
        undeclared();
    }
    expr->sql = std::move(translated.sql);
    return expr;
}

// ( [name =>] expression {, [name =>] expression} )
void PlsqlCompiler::callArguments(PlsqlCall& call) {
    if (acceptSymbol(")")) return;
    do {
        std::string argumentName;
        if (peek() != nullptr && peek()->isName() && peek(1) != nullptr && peek(1)->isSymbol("=>")) {
            argumentName = expectName();
            ++pos_;
        } else if (!call.argumentNames.empty() && !call.argumentNames.back().empty()) {
            fail(here(), "PLS-00312: a positional parameter association may not follow a named association");
        }
        call.argumentNames.push_back(argumentName);
        call.arguments.push_back(expression());
    } while (acceptSymbol(","));
    expectSymbol(")");
}

// ---------------------------------------------------------------- names

// name {. name}
PlsqlCompiler::NameChain PlsqlCompiler::nameChain() {
    NameChain chain;
    chain.start = pos_;
    chain.parts.push_back(expectName());
    while (peek() != nullptr && peek()->isSymbol(".") && peek(1) != nullptr && peek(1)->isName()) {
        ++pos_;
        chain.parts.push_back(expectName());
    }
    return chain;
}

// The variable a name begins with, and how many of its parts name it: a
// local, a variable of the own package, or PKG.VARIABLE of another package.
std::optional<PlsqlPlace> PlsqlCompiler::resolvePlace(const NameChain& name, std::size_t& consumed) {
    PlsqlPlace found;
    if (const Local* local = findLocal(name.parts[0])) {
        found.root = local->package ? PlsqlPlace::Root::Package : PlsqlPlace::Root::Local;
        found.slot = local->slot;
        found.type = local->type;
        found.constant = local->constant;
        if (local->package) found.package = unit_->name;
        consumed = 1;
        return found;
    }
    if (name.parts.size() < 2) return std::nullopt;
    std::shared_ptr<const PlsqlUnit> header = catalog_.packageHeader(name.parts[0]);
    if (!header) return std::nullopt;
    const auto slot = header->variableSlots.find(name.parts[1]);
    if (slot == header->variableSlots.end()) return std::nullopt;
    found.root = PlsqlPlace::Root::Package;
    found.package = header->name;
    found.slot = slot->second;
    found.type = header->variables[static_cast<std::size_t>(slot->second)].type;
    found.constant = header->constants.count(name.parts[1]) != 0;
    consumed = 2;
    return found;
}

// A place to read or (`assignable`) assign: a placeholder or a variable
// with its elements and fields.
PlsqlPlace PlsqlCompiler::place(bool assignable) {
    const SourcePlace at = here();
    if (peek()->kind == SqlTokenKind::Placeholder) {
        PlsqlPlace host;
        host.root = PlsqlPlace::Root::Host;
        host.slot = placeholdersBefore(pos_);
        ++pos_;
        return host;
    }
    const std::size_t start = pos_;
    NameChain name = nameChain();
    std::size_t consumed = 0;
    std::optional<PlsqlPlace> found = resolvePlace(name, consumed);
    if (!found) fail(at, "PLS-00201: identifier '" + joined(name.parts, name.parts.size()) + "' must be declared");
    pos_ = start + (consumed == 1 ? 1 : 3);  // past "name" or "package . name"
    ExprPtr read = placeExpression(std::move(*found), name);
    if (read->op != PlsqlExpr::Op::Read || (assignable && read->place.constant))
        fail(at, "PLS-00363: expression '" + joined(name.parts, name.parts.size()) +
                     "' cannot be used as an assignment target");
    return std::move(read->place);
}

// The procedure or function a name calls: of the own package, PKG.NAME, or standalone.
bool PlsqlCompiler::resolveCall(const NameChain& name, PlsqlCall& call, bool& isFunction) {
    auto findIn = [&](const PlsqlUnit& unit, const std::string& routine) {
        for (const auto& candidate : unit.routines) {
            if (candidate->name == routine) {
                isFunction = candidate->isFunction;
                return true;
            }
        }
        return false;
    };
    if (name.parts.size() == 1 && (unit_->kind == PlsqlUnit::Kind::PackageBody || unit_->kind == PlsqlUnit::Kind::Package)) {
        if (findIn(*unit_, name.parts[0]) || (header_ && findIn(*header_, name.parts[0]))) {
            call.name = name.parts[0];
            call.package = unit_->name;
            call.ownPackage = true;
            return true;
        }
    }
    if (name.parts.size() == 1) {
        std::shared_ptr<const PlsqlUnit> standalone = catalog_.standalone(name.parts[0]);
        if (standalone && !standalone->valid && standalone->name != unit_->name)
            fail(placeOf(name.start), "PLS-00905: object " + catalog_.owner() + "." + name.parts[0] + " is invalid");
        if (!standalone && (unit_->kind == PlsqlUnit::Kind::Procedure || unit_->kind == PlsqlUnit::Kind::Function) &&
            unit_->name == name.parts[0]) {
            isFunction = unit_->kind == PlsqlUnit::Kind::Function;
            call.name = name.parts[0];
            return true;
        }
        if (!standalone) return false;
        isFunction = standalone->kind == PlsqlUnit::Kind::Function;
        call.name = name.parts[0];
        return true;
    }
    if (name.parts.size() != 2) return false;
    std::shared_ptr<const PlsqlUnit> header =
        name.parts[0] == unit_->name && header_ ? header_ : catalog_.packageHeader(name.parts[0]);
    if (!header) return false;
    if (!findIn(*header, name.parts[1]))
        fail(placeOf(name.start), "PLS-00302: component '" + name.parts[1] + "' must be declared");
    call.package = header->name;
    call.name = name.parts[1];
    call.ownPackage = header->name == unit_->name;
    return true;
}

const PlsqlCompiler::Local* PlsqlCompiler::findLocal(const std::string& name) const {
    for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
        const auto found = scope->variables.find(name);
        if (found != scope->variables.end()) return &found->second;
    }
    return nullptr;
}

TypeRef PlsqlCompiler::findType(const NameChain& name) const {
    if (name.parts.size() == 1) {
        for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
            const auto found = scope->types.find(name.parts[0]);
            if (found != scope->types.end()) return found->second;
        }
        return nullptr;
    }
    if (name.parts.size() != 2) return nullptr;
    std::shared_ptr<const PlsqlUnit> header =
        name.parts[0] == unit_->name && header_ ? header_ : catalog_.packageHeader(name.parts[0]);
    if (!header) return nullptr;
    const auto found = header->types.find(name.parts[1]);
    return found == header->types.end() ? nullptr : found->second;
}

// The key of the exception a handler or RAISE names.
std::string PlsqlCompiler::exceptionKey(const NameChain& name) const {
    const std::string full = joined(name.parts, name.parts.size());
    if (name.parts.size() == 1 && predefinedExceptionNumber(name.parts[0]) != 0) return name.parts[0];
    if (name.parts.size() == 1) {
        for (auto scope = scopes_.rbegin(); scope != scopes_.rend(); ++scope) {
            const auto found = scope->exceptions.find(name.parts[0]);
            if (found != scope->exceptions.end()) return found->second;
        }
    } else if (name.parts.size() == 2) {
        std::shared_ptr<const PlsqlUnit> header = catalog_.packageHeader(name.parts[0]);
        const std::string key = full;
        if (header && std::find(header->exceptions.begin(), header->exceptions.end(), key) != header->exceptions.end())
            return key;
    }
    fail(placeOf(name.start), "PLS-00201: identifier '" + full + "' must be declared");
}

// ---------------------------------------------------------------- SQL

// The SQL of tokens [first, end) with the program's variables as parameters:
// a placeholder, or a name the program declares, becomes one. A name after
// a dot, before "(" or a dot, in an INSERT's column list or left of "=" in
// an UPDATE's SET clause names a column and stays.
PlsqlSql PlsqlCompiler::embeddedSql(PlsqlSql::Kind kind, std::size_t first, std::size_t end, const SourcePlace& at) {
    PlsqlSql result;
    result.kind = kind;
    std::vector<ExprPtr> variables;
    std::string text;
    std::size_t copied = tokens_[first].offset;
    bool intoSeen = false;
    bool inSet = false;
    int depth = 0;
    std::size_t insertColumns = 0;  // depth + 1 while inside an INSERT's column list
    auto substitute = [&](std::size_t from, std::size_t to, ExprPtr value) {
        text += std::string(sql_.substr(copied, tokens_[from].offset - copied));
        text += ":V" + std::to_string(variables.size());
        variables.push_back(std::move(value));
        copied = tokens_[to - 1].offset + tokens_[to - 1].text.size();
    };
    for (std::size_t i = first; i < end; ++i) {
        const SqlToken& token = tokens_[i];
        if (token.isSymbol("(")) {
            ++depth;
            const bool afterTable = (i >= first + 3 && tokens_[i - 2].isWord("INTO")) ||
                                    (i >= first + 5 && tokens_[i - 2].isSymbol(".") && tokens_[i - 4].isWord("INTO"));
            if (tokens_[first].isWord("INSERT") && depth == 1 && afterTable && tokens_[i - 1].isName())
                insertColumns = static_cast<std::size_t>(depth);
        }
        if (token.isSymbol(")")) {
            if (insertColumns == static_cast<std::size_t>(depth)) insertColumns = 0;
            --depth;
        }
        if (depth == 0 && token.isWord("SET")) inSet = true;
        if (depth == 0 && token.isWord("WHERE")) inSet = false;
        if (kind == PlsqlSql::Kind::SelectInto && depth == 0 && token.isWord("INTO") && !intoSeen) {
            intoSeen = true;
            text += std::string(sql_.substr(copied, token.offset - copied));
            pos_ = i + 1;
            do result.into.push_back(place(true));
            while (acceptSymbol(","));
            if (peek() == nullptr || !peek()->isWord("FROM")) unexpected("from");
            i = pos_ - 1;
            copied = tokens_[pos_].offset;
            continue;
        }
        if (token.kind == SqlTokenKind::Placeholder) {
            auto read = makeExpr(PlsqlExpr::Op::Read, placeOf(i));
            read->place.root = PlsqlPlace::Root::Host;
            read->place.slot = placeholdersBefore(i);
            substitute(i, i + 1, std::move(read));
            continue;
        }
        if (!token.isName() || insertColumns != 0) continue;
        const bool afterDot = i > first && tokens_[i - 1].isSymbol(".");
        const bool beforeCall = i + 1 < end && tokens_[i + 1].isSymbol("(");
        const bool setTarget = inSet && i + 1 < end && tokens_[i + 1].isSymbol("=") &&
                               (tokens_[i - 1].isWord("SET") || tokens_[i - 1].isSymbol(","));
        if (afterDot || setTarget) continue;
        const std::string name = identifierName(std::string(token.text));
        const Local* local = findLocal(name);
        if (local == nullptr) continue;
        // Before "(" a name is a function, unless it is the program's table: t(i).
        if (beforeCall && !(local->type && local->type->kind == Kind::Table)) continue;
        const bool dotted = i + 2 < end && tokens_[i + 1].isSymbol(".") && tokens_[i + 2].isName();
        if (dotted && !(local->type && local->type->kind == Kind::Record)) continue;
        pos_ = i;
        auto read = makeExpr(PlsqlExpr::Op::Read, placeOf(i));
        read->place = place(false);
        const std::size_t stop = pos_;
        substitute(i, stop, std::move(read));
        i = stop - 1;
    }
    const SqlToken& last = tokens_[end - 1];
    text += std::string(sql_.substr(copied, last.offset + last.text.size() - copied));
    if (kind == PlsqlSql::Kind::SelectInto && !intoSeen)
        fail(at, "PLS-00428: an INTO clause is expected in this SELECT statement");
    TranslatedSql translated = translateSql(text);
    auto sqlError = [&](const std::string& what) {
        fail(at, "PL/SQL: " + what + "\nORA-06550: line " + std::to_string(at.line) + ", column " +
                     std::to_string(at.column) + ":\nPL/SQL: SQL Statement ignored");
    };
    if (translated.error) sqlError(translated.error->what());
    std::vector<std::string> columns;
    try {
        columns = catalog_.checkSql(translated.sql);
    } catch (const OraError& error) {
        if (error.number() == 1013) throw;
        sqlError(error.what());
    }
    if (kind == PlsqlSql::Kind::SelectInto) {
        const bool oneRecord = result.into.size() == 1 && result.into[0].type && result.into[0].type->kind == Kind::Record;
        const std::size_t targets = oneRecord ? result.into[0].type->fields.size() : result.into.size();
        if (columns.size() > targets) fail(at, "PL/SQL: ORA-00913: too many values");
        if (columns.size() < targets) fail(at, "PL/SQL: ORA-00947: not enough values");
    }
    for (const std::string& placeholder : translated.placeholders) {
        const std::size_t index = std::stoul(placeholder.substr(1));
        result.parameters.push_back(std::move(variables.at(index)));
    }
    result.sql = std::move(translated.sql);
    result.selfContained = kind == PlsqlSql::Kind::Change && runsNoOtherCode(tokens_, first, end);
    return result;
}

std::size_t PlsqlCompiler::statementEnd(std::size_t from) const {
    int depth = 0;
    for (std::size_t i = from; i < tokens_.size(); ++i) {
        if (tokens_[i].isSymbol("(")) ++depth;
        if (tokens_[i].isSymbol(")")) --depth;
        if (depth == 0 && tokens_[i].isSymbol(";")) return i;
    }
    return tokens_.size();
}

std::size_t PlsqlCompiler::closingParenthesis(std::size_t open) const {
    int depth = 0;
    for (std::size_t i = open; i < tokens_.size(); ++i) {
        if (tokens_[i].isSymbol("(")) ++depth;
        if (tokens_[i].isSymbol(")") && --depth == 0) return i;
    }
    const_cast<PlsqlCompiler*>(this)->pos_ = tokens_.size();
    unexpected(")");
}

// ---------------------------------------------------------------- errors

SourcePlace PlsqlCompiler::placeOf(std::size_t tokenIndex) const {
    const std::size_t offset = tokenIndex < tokens_.size() ? tokens_[tokenIndex].offset : sql_.size();
    const auto [line, column] = lineAndColumn(offset);
    return SourcePlace{line, column};
}

void PlsqlCompiler::Nesting::deeper(int levels) {
    taken_ += levels;
    compiler_.nesting_ += levels;
    if (compiler_.nesting_ > kMaxNesting)
        compiler_.fail(compiler_.here(), "PLS-00123: program too large (nesting too deep)");
}

void PlsqlCompiler::fail(const SourcePlace& at, const std::string& text) const {
    throw PlsqlCompileError{at, text};
}

void PlsqlCompiler::unexpected(const char* expected) const {
    const bool atEndOfText = pos_ >= tokens_.size();
    const std::string symbol = atEndOfText ? "end-of-file" : std::string(tokens_[pos_].text);
    fail(here(), "PLS-00103: Encountered the symbol \"" + symbol + "\" when expecting one of the following: " +
                     expected);
}

void PlsqlCompiler::expectWord(std::string_view word, const char* expected) {
    if (acceptWord(word)) return;
    const std::string lower = [&] {
        std::string text(word);
        for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        return text;
    }();
    unexpected(expected != nullptr ? expected : lower.c_str());
}

void PlsqlCompiler::expectSymbol(std::string_view symbol) {
    if (acceptSymbol(symbol)) return;
    unexpected(std::string(symbol).c_str());
}

std::string PlsqlCompiler::expectName() {
    std::optional<std::string> name = acceptName();
    if (!name) unexpected("<an identifier>");
    return *name;
}

}  // namespace engine
