// The function table of one interpreter: the built-in functions and those the
// script defines with FUN ... EFUN; the definition statement, the call syntax and
// argument passing shared by both kinds, and the running of a function.
#pragma once

#include "Token.h"
#include "VarProcessor.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Transl {

class CommonVar;
class Expression;
class Interpreter;

// The functions the interpreter provides itself.
enum class Builtin : std::int32_t { None, Cos, Sin, ArraySize, ArrayResize };

// One slot of a function: slot 0 is the result, slots 1 to n the parameters.
struct ParamSlot {
    CommonVar* value = nullptr;   // the argument during one call; not owned
    std::string name;             // parameter name; empty for the result
    TypeCode type = TypeCode::None;
    bool byReference = false;     // the result, and parameters written with OUT
};

struct FunDef {
    std::vector<ParamSlot> slots;
    std::string body;                    // the statements as text; empty for a built-in
    Builtin builtin = Builtin::None;
    // A script function's parameters and RESULT; they keep their values from one
    // call to the next. Null for a built-in.
    std::unique_ptr<VarProcessor> parameters;
};

class FunProcessor {
public:
    // Enters the built-in functions.
    FunProcessor();
    virtual ~FunProcessor();
    FunProcessor(const FunProcessor&) = delete;
    FunProcessor& operator=(const FunProcessor&) = delete;

    // Runs the function whose slots the caller has filled: a built-in, or a
    // script function's body in an interpreter of its own.
    virtual void call(const std::string& name) = 0;

    bool isFunction(const std::string& name) const { return functions_.count(name) != 0; }
    // Adds a definition; a name in the table already is an internal failure.
    void addFunction(const std::string& name, FunDef definition);
    // The definition of a name in the table (else an internal failure).
    FunDef& getFunction(const std::string& name);

    // The definition statement; the current token is FUN.
    void readDefinition(Interpreter& interpreter);
    // Runs a call whose arguments were read: pointers to the values in parameter
    // order, as many as the function has parameters. When the call writes
    // arguments back, the values `expression` holds get private copies first.
    // Returns the result, named after the function.
    CommonVar callFunction(Interpreter& caller, const std::string& name,
                           const std::vector<CommonVar*>& arguments, Expression& expression);

protected:
    // The body of `call`: runs a built-in or a script function for `caller`.
    void runFunction(Interpreter& caller, const std::string& name);

private:
    void readParameters(Interpreter& interpreter, FunDef& definition);
    void readParameter(Interpreter& interpreter, FunDef& definition);
    static std::string readBody(Interpreter& interpreter);
    void runBody(Interpreter& caller, FunDef& definition);

    std::map<std::string, FunDef, std::less<>> functions_;  // names compared byte by byte
};

} // namespace Transl
