// The grammar of the block language: anonymous blocks and the text of stored
// procedures, functions, package headers and bodies, compiled into
// the form of PlsqlProgram.h. Each parse function reads one rule and gives it
// in its comment. The first error ends the compilation with the compiler's
// "PLS-nnnnn" text and its place (PlsqlCompileError).
#pragma once

#include "plsql/PlsqlCatalog.h"
#include "plsql/PlsqlProgram.h"
#include "sql/SqlTokenCursor.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct PlsqlCompileError {
    SourcePlace at;
    std::string text;  // "PLS-nnnnn: ..." or "PL/SQL: ORA-nnnnn: ..." with its follow-up lines
};

class PlsqlCompiler : private SqlTokenCursor {
public:
    // `significant` are the tokens of `text` without blanks and comments:
    // an anonymous block, or a unit's text from its kind's keyword on.
    PlsqlCompiler(const std::vector<SqlToken>& significant, std::string_view text, PlsqlCatalog& catalog);

    // [DECLARE declarations] BEGIN statements [EXCEPTION handlers] END [;]
    std::shared_ptr<PlsqlUnit> compileAnonymous();
    // PROCEDURE ... | FUNCTION ... | PACKAGE ... | PACKAGE BODY ...; a body
    // is compiled against `header`, its package's compiled header.
    std::shared_ptr<PlsqlUnit> compileUnit(std::shared_ptr<const PlsqlUnit> header = nullptr);

private:
    struct Local {
        int slot = 0;
        TypeRef type;
        bool constant = false;
        bool package = false;  // a package variable: slot is its state slot
    };
    struct Scope {
        std::map<std::string, Local> variables;
        std::map<std::string, TypeRef> types;
        std::map<std::string, std::string> exceptions;  // name -> key
    };
    // Levels of the tree being compiled, counted while it is read: a nested
    // statement or parenthesis, a unary operator, each operator of a chain
    // (it makes the tree one level deeper). Bounded, so that neither
    // compiling nor running a program exhausts the stack.
    class Nesting {
    public:
        // Takes `levels` at once: a statement or a parenthesis recurses
        // through several functions per level, so it takes more than one.
        explicit Nesting(PlsqlCompiler& compiler, int levels = 0) : compiler_(compiler) { deeper(levels); }
        ~Nesting() { compiler_.nesting_ -= taken_; }
        Nesting(const Nesting&) = delete;
        Nesting& operator=(const Nesting&) = delete;
        void deeper(int levels = 1);

    private:
        PlsqlCompiler& compiler_;
        int taken_ = 0;
    };
    // A dotted name as written: its parts and where it starts.
    struct NameChain {
        std::vector<std::string> parts;
        std::size_t start = 0;  // token index
    };

    // Units and declarations.
    std::shared_ptr<PlsqlRoutine> routineHeading(bool isFunction);
    void arguments(PlsqlRoutine& routine);
    void routineBody(PlsqlRoutine& routine);
    void packageItems(bool body);
    void packageRoutine(bool body);
    void declarations(std::vector<PlsqlDeclaration>& out, bool package);
    bool declaration(std::vector<PlsqlDeclaration>& out, bool package);
    void typeDeclaration();
    TypeRef type();
    TypeRef scalarType(const std::string& word);
    TypeRef anchoredType(const NameChain& name);
    int declareVariable(const std::string& name, TypeRef type, bool constant, bool package);
    void endName(const std::string& expected);

    // Statements.
    std::unique_ptr<PlsqlStmt> block(bool withDeclare);
    StmtList statements(std::initializer_list<std::string_view> enders);
    StmtPtr statement();
    StmtPtr ifStatement();
    StmtPtr loopStatement(std::string label);
    StmtPtr forStatement(std::string label);
    StmtPtr exitStatement();
    StmtPtr returnStatement();
    StmtPtr raiseStatement();
    StmtPtr sqlStatement(PlsqlSql::Kind kind);
    StmtPtr nameStatement();
    StmtPtr callStatement(NameChain name);
    std::vector<PlsqlHandler> handlers();
    void expectEndOf(const char* what);

    // Expressions, lowest precedence first.
    ExprPtr expression();
    ExprPtr conjunction();
    ExprPtr negation();
    ExprPtr comparison();
    ExprPtr additive();
    ExprPtr multiplicative();
    ExprPtr unary();
    ExprPtr primary();
    ExprPtr caseExpression();
    ExprPtr nameExpression();
    ExprPtr placeExpression(PlsqlPlace place, const NameChain& name);
    ExprPtr functionCall(NameChain name);
    ExprPtr sqlFunction(const NameChain& name);
    void callArguments(PlsqlCall& call);

    // Names.
    NameChain nameChain();
    std::optional<PlsqlPlace> resolvePlace(const NameChain& name, std::size_t& consumed);
    PlsqlPlace place(bool assignable);
    void placeSteps(PlsqlPlace& place, const NameChain& name, std::size_t consumed);
    bool resolveCall(const NameChain& name, PlsqlCall& call, bool& isFunction);
    const Local* findLocal(const std::string& name) const;
    TypeRef findType(const NameChain& name) const;
    std::string exceptionKey(const NameChain& name) const;
    std::string hostPlace(std::size_t index);

    // SQL inside the program.
    PlsqlSql embeddedSql(PlsqlSql::Kind kind, std::size_t first, std::size_t end, const SourcePlace& at);
    std::size_t statementEnd(std::size_t from) const;
    std::size_t closingParenthesis(std::size_t open) const;

    // Errors.
    SourcePlace placeOf(std::size_t tokenIndex) const;
    SourcePlace here() const { return placeOf(pos_); }
    [[noreturn]] void fail(const SourcePlace& at, const std::string& text) const;
    [[noreturn]] void unexpected(const char* expected) const;
    void expectWord(std::string_view word, const char* expected = nullptr);
    void expectSymbol(std::string_view symbol);
    std::string expectName();

    PlsqlCatalog& catalog_;                      // the database's other units
    std::shared_ptr<PlsqlUnit> unit_;            // what is being compiled
    std::shared_ptr<const PlsqlUnit> header_;      // a body's package header
    std::vector<Scope> scopes_;                  // innermost last
    PlsqlRoutine* routine_ = nullptr;            // the routine being compiled
    int nextSlot_ = 0;                           // next free frame slot
    int loopDepth_ = 0;                          // EXIT is legal inside a loop only
    int nesting_ = 0;                            // levels taken by Nesting
};

}  // namespace engine
