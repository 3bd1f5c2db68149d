// The variable table of one interpreter scope, with a link to the table that
// encloses it, and the statements that declare and assign variables.
#pragma once

#include "CommonVar.h"
#include "ExprForm.h"
#include "ExprValue.h"
#include "Token.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>

namespace Transl {

class Interpreter;

// A type with its size and bounds, as written in a declaration or a parameter list.
struct VarSpec {
    TypeCode type = TypeCode::None;
    int size = 1;           // declared size of texts and raw values
    std::int32_t lower = 1; // array bounds; 1 and 1 for scalars
    std::int32_t upper = 1;

    unsigned int count() const { return static_cast<unsigned int>(upper - lower + 1); }
};

// What the first run of an assignment without an index found out: the variable
// it assigns and the form of its expression.
struct AssignmentForm {
    CommonVar* target = nullptr;     // not owned
    bool isResult = false;           // the target is RESULT, which is replaced wholesale
    std::unique_ptr<ExprForm> value;
};

class VarProcessor {
public:
    VarProcessor() = default;
    virtual ~VarProcessor() = default;
    VarProcessor(const VarProcessor&) = delete;
    VarProcessor& operator=(const VarProcessor&) = delete;

    // True when the name is declared here or in an enclosing table.
    bool isDeclared(const std::string& name) const;
    // Adds a variable of the given type to this table, every element null. A name
    // this table holds already, or an unknown type, is an internal failure.
    void declareVar(const std::string& name, const VarSpec& spec);
    // The variable of a name; where several tables of the chain declare it, the
    // outermost one wins. An unknown name is an internal failure (callers test
    // isDeclared first).
    CommonVar& getVar(const std::string& name);
    // The variable getVar would give, or null for a name not declared.
    CommonVar* findVar(const std::string& name);
    // Looks names up in `enclosing` too (not owned; it must outlive this table).
    void setEnclosing(VarProcessor* enclosing) { enclosing_ = enclosing; }

    // The slot of the kept form of the expression whose first token is at a
    // position of this interpreter's token history; empty before it was read.
    // Tokens never change their position, so a loop body reads each expression
    // once.
    std::unique_ptr<ExprForm>& formSlot(std::int32_t position) { return forms_[position]; }
    // The kept assignment whose target name is at a position, or null.
    AssignmentForm* findAssignment(std::int32_t position);

    // The variable the identifier at a token position named when it was read
    // before, or null. A declared name keeps its variable for good (tables only
    // grow, and an inner table never gains a name of its enclosing one), so only
    // a new function of that name can change what it means: forgetNames, which
    // forgets the kept forms and assignments too.
    CommonVar* findNamed(std::int32_t position) const;
    void keepNamed(std::int32_t position, CommonVar& variable);
    void forgetNames();

    // Reads a type with its size and bounds; the current token is its type keyword.
    static VarSpec readTypeSpec(Interpreter& interpreter);
    // The declaration statement; the current token is its type keyword.
    void readDeclaration(Interpreter& interpreter);
    // The assignment statement from its target name (the next token) to the end of
    // its expression; the caller checks the ";". An assignment without an index
    // is kept at the position of its target name.
    void readAssignment(Interpreter& interpreter);
    // A kept assignment run again; the last token of its expression is current.
    void runAssignment(Interpreter& interpreter, AssignmentForm& assignment);
    // The variable the current token names (error 6 for an undeclared name).
    CommonVar& namedVariable(Interpreter& interpreter);

private:
    static void assign(const AssignmentForm& assignment, ExprValue value);

    std::map<std::string, CommonVar, std::less<>> variables_;  // names compared byte by byte
    VarProcessor* enclosing_ = nullptr;  // a running function's parameter table; not owned
    std::unordered_map<std::int32_t, std::unique_ptr<ExprForm>> forms_;  // by first token
    std::unordered_map<std::int32_t, AssignmentForm> assignments_;       // by target name
    std::unordered_map<std::int32_t, CommonVar*> named_;     // by token position; not owned
};

} // namespace Transl
