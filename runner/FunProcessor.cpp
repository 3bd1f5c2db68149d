// Function definitions, calls and argument passing; built-in functions; the run
// of a script function's body in an interpreter of its own.
#include "FunProcessor.h"

#include "CommonVar.h"
#include "Exception.h"
#include "Expression.h"
#include "Interpreter.h"
#include "ScriptType.h"

#include <array>
#include <cmath>
#include <new>
#include <string_view>

namespace Transl {

namespace {

// The result variable in every script function's parameter table.
const std::string kResultName = "RESULT";

struct BuiltinParam {
    std::string_view name;
    bool byReference;
};

struct BuiltinEntry {
    std::string_view name;
    Builtin code;
    TypeCode result;
    std::size_t parameterCount;
    std::array<BuiltinParam, 2> parameters;
};

// Indexed by code - 1.
constexpr std::array<BuiltinEntry, 4> kBuiltins{{
    {"COS", Builtin::Cos, TypeCode::Number, 1, {{{"x", false}, {}}}},
    {"SIN", Builtin::Sin, TypeCode::Number, 1, {{{"x", false}, {}}}},
    {"ARRAYSIZE", Builtin::ArraySize, TypeCode::Number, 1, {{{"x", false}, {}}}},
    {"ARRAYRESIZE", Builtin::ArrayResize, TypeCode::Number, 2, {{{"a", true}, {"n", false}}}},
}};
static_assert(kBuiltins.size() == static_cast<std::size_t>(Builtin::ArrayResize),
              "one entry per built-in function");

constexpr bool builtinsInCodeOrder()
{
    for (std::size_t i = 0; i < kBuiltins.size(); ++i)
        if (static_cast<std::size_t>(kBuiltins[i].code) != i + 1)
            return false;
    return true;
}
static_assert(builtinsInCodeOrder(), "entry i holds code i + 1");

FunDef builtinDefinition(const BuiltinEntry& entry)
{
    FunDef definition;
    definition.builtin = entry.code;
    definition.slots.push_back(ParamSlot{nullptr, std::string(), entry.result, true});
    for (std::size_t k = 0; k < entry.parameterCount; ++k) {
        const BuiltinParam& parameter = entry.parameters[k];
        definition.slots.push_back(ParamSlot{nullptr, std::string(parameter.name),
                                             TypeCode::Number, parameter.byReference});
    }
    return definition;
}

// fn applied to every element: a NUMBER for one element, else a NUMBERARR.
CommonVar mapElements(const CommonVar& x, double (*fn)(double))
{
    x.requireInitialised();
    CommonVar result;
    result.initAs(x.count() == 1 ? TypeCode::Number : TypeCode::NumberArr, -1, x.count());
    for (unsigned int i = 0; i < x.count(); ++i)
        result.setDouble(fn(x.getDouble(i)), i);
    return result;
}

// ARRAYRESIZE: a negative count, or one beyond what a variable may occupy, is
// refused instead of asking the allocator for gigabytes.
void resizeArray(CommonVar& array, const CommonVar& count)
{
    count.requireInitialised();
    const std::int32_t n = toInt32(count.getDouble(0));
    const std::uint64_t bytes =
        static_cast<std::uint64_t>(n < 0 ? 0 : n) * (array.elementSize() + kElementOverheadBytes);
    if (n < 0)
        currentInterpreter->reportError(ErrorCode::InvalidBounds,
                                        "negative element count " + std::to_string(n));
    const std::string detail = "not enough memory for " + std::to_string(n) + " elements";
    if (bytes > kMaxVariableBytes)
        currentInterpreter->reportError(ErrorCode::InvalidBounds, detail);
    try {
        array.resizeArray(static_cast<unsigned int>(n));
    } catch (const std::bad_alloc&) {
        currentInterpreter->reportError(ErrorCode::InvalidBounds, detail);
    }
}

void runBuiltin(const FunDef& definition)
{
    CommonVar& result = *definition.slots[0].value;
    const CommonVar& first = *definition.slots[1].value;
    switch (definition.builtin) {
    case Builtin::Cos:
        result = mapElements(first, [](double v) { return std::cos(v); });
        return;
    case Builtin::Sin:
        result = mapElements(first, [](double v) { return std::sin(v); });
        return;
    case Builtin::ArraySize:
        result = CommonVar::number(first.count());
        return;
    case Builtin::ArrayResize:
        resizeArray(*definition.slots[1].value, *definition.slots[2].value);
        result = CommonVar::number(-1);
        return;
    default:
        throw Exception();
    }
}

// A string constant written back as the tokenizer reads it: a backslash makes
// the next character literal, so quotes and backslashes get one.
std::string quotedText(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// A token as text that reads back as the same token.
std::string bodyText(const Token& token)
{
    switch (token.kind) {
    case TokenKind::String:
        return quotedText(token.text);
    case TokenKind::Raw:
        return "'" + token.text + "'";
    default:
        return token.text;
    }
}

bool isKeyword(const Token& token, Keyword keyword)
{
    return token.kind == TokenKind::Keyword && token.keyword == keyword;
}

bool writesBack(const FunDef& definition)
{
    for (std::size_t k = 1; k < definition.slots.size(); ++k)
        if (definition.slots[k].byReference)
            return true;
    return false;
}

// Points a definition's slots at one call's result and arguments for as long as
// the call runs.
class SlotBinding {
public:
    SlotBinding(FunDef& definition, CommonVar& result, const std::vector<CommonVar*>& arguments)
        : definition_(definition)
    {
        definition_.slots[0].value = &result;
        for (std::size_t k = 1; k < definition_.slots.size(); ++k)
            definition_.slots[k].value = arguments[k - 1];
    }
    ~SlotBinding()
    {
        for (ParamSlot& slot : definition_.slots)
            slot.value = nullptr;
    }
    SlotBinding(const SlotBinding&) = delete;
    SlotBinding& operator=(const SlotBinding&) = delete;

private:
    FunDef& definition_;
};

// Makes an interpreter current for a scope, then the one before it again.
class CurrentInterpreter {
public:
    explicit CurrentInterpreter(Interpreter& interpreter) : previous_(currentInterpreter)
    {
        currentInterpreter = &interpreter;
    }
    ~CurrentInterpreter() { currentInterpreter = previous_; }
    CurrentInterpreter(const CurrentInterpreter&) = delete;
    CurrentInterpreter& operator=(const CurrentInterpreter&) = delete;

private:
    Interpreter* previous_;
};

} // namespace

FunProcessor::FunProcessor()
{
    for (const BuiltinEntry& entry : kBuiltins)
        addFunction(std::string(entry.name), builtinDefinition(entry));
}

FunProcessor::~FunProcessor() = default;

void FunProcessor::addFunction(const std::string& name, FunDef definition)
{
    if (!functions_.try_emplace(name, std::move(definition)).second)
        throw Exception();
}

FunDef& FunProcessor::getFunction(const std::string& name)
{
    const auto found = functions_.find(name);
    if (found == functions_.end())
        throw Exception();
    return found->second;
}

// FUN type name "(" [ parameter { "," parameter } ] ")" statements EFUN ";"
void FunProcessor::readDefinition(Interpreter& interpreter)
{
    interpreter.nextToken();
    if (interpreter.currentToken().kind != TokenKind::TypeName)
        interpreter.reportError(ErrorCode::SyntaxError);
    const TypeCode resultType = interpreter.currentToken().type;
    FunDef definition;
    definition.slots.push_back(ParamSlot{nullptr, std::string(), resultType, true});
    definition.parameters = std::make_unique<VarProcessor>();
    definition.parameters->declareVar(kResultName, VarSpec{resultType, 1, 1, 1});
    interpreter.nextToken();
    const std::string name = interpreter.currentToken().text;
    // Defining a name twice (a FUN inside a loop, say) is the script's mistake.
    if (isFunction(name))
        interpreter.reportError(ErrorCode::DoubleDeclaration);
    interpreter.expectChar('(');
    readParameters(interpreter, definition);
    interpreter.expectChar(')');
    definition.body = readBody(interpreter);
    interpreter.expectChar(';');
    addFunction(name, std::move(definition));
    // A name that meant a variable may mean the new function from now on.
    interpreter.forgetNames();
}

// [ parameter { "," parameter } ] up to, not including, the ")"
void FunProcessor::readParameters(Interpreter& interpreter, FunDef& definition)
{
    if (interpreter.acceptChar(')')) {
        interpreter.ungetToken();
        return;
    }
    do
        readParameter(interpreter, definition);
    while (interpreter.acceptChar(','));
}

// parameter: [ OUT ] type-spec name
void FunProcessor::readParameter(Interpreter& interpreter, FunDef& definition)
{
    interpreter.nextToken();
    const bool byReference = isKeyword(interpreter.currentToken(), Keyword::Out);
    if (byReference)
        interpreter.nextToken();
    if (interpreter.currentToken().kind != TokenKind::TypeName)
        interpreter.reportError(ErrorCode::SyntaxError);
    const VarSpec spec = VarProcessor::readTypeSpec(interpreter);
    interpreter.nextToken();
    if (interpreter.currentToken().kind != TokenKind::Identifier)
        interpreter.reportError(ErrorCode::SyntaxError);
    const std::string name = interpreter.currentToken().text;
    if (definition.parameters->isDeclared(name))
        interpreter.reportError(ErrorCode::DoubleDeclaration);
    definition.slots.push_back(ParamSlot{nullptr, name, spec.type, byReference});
    definition.parameters->declareVar(name, spec);
}

// The tokens up to EFUN, rebuilt as one line of text that reads back as the
// same tokens.
std::string FunProcessor::readBody(Interpreter& interpreter)
{
    std::string body;
    for (interpreter.nextToken(); !isKeyword(interpreter.currentToken(), Keyword::Efun);
         interpreter.nextToken()) {
        const Token& token = interpreter.currentToken();
        if (token.kind == TokenKind::EndOfInput)
            interpreter.reportError(ErrorCode::TokenExpected, "EFUN");
        body += ' ';
        body += bodyText(token);
        body += ' ';
    }
    return body;
}

CommonVar FunProcessor::callFunction(Interpreter& caller, const std::string& name,
                                     const std::vector<CommonVar*>& arguments,
                                     Expression& expression)
{
    FunDef& definition = getFunction(name);
    if (writesBack(definition))
        expression.detachHeld();
    CommonVar result;
    {
        const SlotBinding binding(definition, result, arguments);
        caller.call(name);
    }
    result.setName("<function \"" + name + "\" call>");
    return result;
}

void FunProcessor::runFunction(Interpreter& caller, const std::string& name)
{
    FunDef& definition = getFunction(name);
    if (definition.builtin != Builtin::None)
        runBuiltin(definition);
    else
        runBody(caller, definition);
}

// Arguments are copied in wholesale, the body runs in a fresh interpreter that
// writes where the caller writes, and RESULT and the OUT parameters are copied
// out. Parameters and RESULT keep their values for the next call.
void FunProcessor::runBody(Interpreter& caller, FunDef& definition)
{
    const auto callee = std::make_unique<Interpreter>();
    callee->shareStreams(caller);
    callee->openText(definition.body);
    callee->setEnclosing(definition.parameters.get());
    VarProcessor& parameters = *definition.parameters;
    for (std::size_t k = 1; k < definition.slots.size(); ++k)
        parameters.getVar(definition.slots[k].name) = *definition.slots[k].value;
    {
        const CurrentInterpreter current(*callee);
        callee->run();
    }
    *definition.slots[0].value = parameters.getVar(kResultName);
    for (std::size_t k = 1; k < definition.slots.size(); ++k)
        if (definition.slots[k].byReference)
            *definition.slots[k].value = parameters.getVar(definition.slots[k].name);
}

} // namespace Transl
