// Variable tables, and the declaration and assignment statements.
#include "VarProcessor.h"

#include "ExprValue.h"
#include "Exception.h"
#include "Expression.h"
#include "Interpreter.h"
#include "ScriptType.h"

#include <algorithm>
#include <new>

namespace Transl {

namespace {

// The result variable of a user function; assigning it replaces it wholesale.
const std::string kResultName = "RESULT";

// The leading digits of a number token as an integer, held below a ceiling far
// beyond every limit so that a long digit string cannot overflow.
std::int64_t leadingInteger(const std::string& text)
{
    constexpr std::int64_t kCeiling = std::int64_t{1} << 40;
    std::int64_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            break;
        value = std::min(value * 10 + (c - '0'), kCeiling);
    }
    return value;
}

// Reads a Number token as a size or bound.
std::int64_t readInteger(Interpreter& interpreter)
{
    interpreter.nextToken();
    if (interpreter.currentToken().kind != TokenKind::Number)
        interpreter.reportError(ErrorCode::SyntaxError);
    return leadingInteger(interpreter.currentToken().text);
}

// Bytes of one element as the library lays it out, with its per-element arrays.
std::uint64_t bytesPerElement(TypeCode type, std::int64_t size)
{
    const auto sized = static_cast<std::uint64_t>(size);
    switch (kScriptTypes[static_cast<std::size_t>(type) - 1].support) {
    case Oracle::supCString:
        return sized + 1 + kElementOverheadBytes;
    case Oracle::supRaw:
        return sized + 4 + kElementOverheadBytes;
    default:
        return sizeof(double) + kElementOverheadBytes;
    }
}

[[noreturn]] void refuseMemory(Interpreter& interpreter, std::uint64_t count)
{
    interpreter.reportError(ErrorCode::InvalidBounds,
                            "not enough memory for " + std::to_string(count) + " elements");
}

void readSize(Interpreter& interpreter, VarSpec& spec)
{
    interpreter.expectChar('(');
    const std::int64_t size = readInteger(interpreter);
    interpreter.expectChar(')');
    if (size == 0)
        interpreter.reportError(ErrorCode::IntegerExpected);
    if (size > kMaxValueSize)
        interpreter.reportError(ErrorCode::SizeMismatch,
                                "size " + std::to_string(size) + " exceeds the largest size " +
                                    std::to_string(kMaxValueSize));
    spec.size = static_cast<int>(size);
}

void readBounds(Interpreter& interpreter, VarSpec& spec)
{
    interpreter.expectChar('[');
    const std::int64_t lower = readInteger(interpreter);
    interpreter.expectChar(',');
    const std::int64_t upper = readInteger(interpreter);
    interpreter.expectChar(']');
    if (lower == 0 || upper == 0)
        interpreter.reportError(ErrorCode::IntegerExpected);
    if (lower != 1)
        interpreter.reportError(ErrorCode::LowerBoundNotOne);
    if (upper - lower <= 0)
        interpreter.reportError(ErrorCode::InvalidBounds);
    const auto count = static_cast<std::uint64_t>(upper - lower + 1);
    if (upper > INT32_MAX || count * bytesPerElement(spec.type, spec.size) > kMaxVariableBytes)
        refuseMemory(interpreter, count);
    spec.lower = static_cast<std::int32_t>(lower);
    spec.upper = static_cast<std::int32_t>(upper);
}

} // namespace

bool VarProcessor::isDeclared(const std::string& name) const
{
    return variables_.count(name) != 0 || (enclosing_ != nullptr && enclosing_->isDeclared(name));
}

void VarProcessor::declareVar(const std::string& name, const VarSpec& spec)
{
    const auto [entry, inserted] = variables_.try_emplace(name);
    if (!inserted)
        throw Exception();
    CommonVar& variable = entry->second;
    variable.setName(name);
    try {
        variable.initAs(spec.type, spec.type == TypeCode::Number || spec.type == TypeCode::NumberArr
                                       ? -1
                                       : spec.size,
                        spec.count());
    } catch (const std::bad_alloc&) {
        variables_.erase(entry);
        refuseMemory(*currentInterpreter, spec.count());
    }
}

CommonVar* VarProcessor::findVar(const std::string& name)
{
    if (enclosing_ != nullptr) {
        if (CommonVar* outer = enclosing_->findVar(name))
            return outer;
    }
    const auto found = variables_.find(name);
    return found != variables_.end() ? &found->second : nullptr;
}

AssignmentForm* VarProcessor::findAssignment(std::int32_t position)
{
    const auto found = assignments_.find(position);
    return found != assignments_.end() ? &found->second : nullptr;
}

CommonVar* VarProcessor::findNamed(std::int32_t position) const
{
    const auto found = named_.find(position);
    return found != named_.end() ? found->second : nullptr;
}

void VarProcessor::keepNamed(std::int32_t position, CommonVar& variable)
{
    named_[position] = &variable;
}

// Only a table that holds something is cleared: clearing walks the whole bucket
// array, and this runs before every statement outside a loop.
void VarProcessor::forgetNames()
{
    if (!named_.empty())
        named_.clear();
    if (!forms_.empty())
        forms_.clear();
    if (!assignments_.empty())
        assignments_.clear();
}

CommonVar& VarProcessor::getVar(const std::string& name)
{
    VarProcessor* table = this;
    while (table->enclosing_ != nullptr && table->enclosing_->isDeclared(name))
        table = table->enclosing_;
    const auto found = table->variables_.find(name);
    if (found != table->variables_.end())
        return found->second;
    if (table->enclosing_ == nullptr)
        throw Exception();
    return table->variables_[name];
}

CommonVar& VarProcessor::namedVariable(Interpreter& interpreter)
{
    const std::int32_t position = interpreter.tokenPosition();
    if (CommonVar* known = findNamed(position))
        return *known;
    CommonVar* found = findVar(interpreter.currentToken().text);
    if (found == nullptr)
        interpreter.reportError(ErrorCode::NotDeclared);
    keepNamed(position, *found);
    return *found;
}

// type [ "(" size ")" ] [ "[" lower "," upper "]" ]
VarSpec VarProcessor::readTypeSpec(Interpreter& interpreter)
{
    VarSpec spec;
    spec.type = interpreter.currentToken().type;
    const ScriptTypeEntry& entry = kScriptTypes.at(static_cast<std::size_t>(spec.type) - 1);
    if (entry.sized)
        readSize(interpreter, spec);
    if (entry.array)
        readBounds(interpreter, spec);
    return spec;
}

// type-spec name [ "=" expr ] { "," name [ "=" expr ] } ";"
void VarProcessor::readDeclaration(Interpreter& interpreter)
{
    const VarSpec spec = readTypeSpec(interpreter);
    do {
        interpreter.nextToken();
        const Token& token = interpreter.currentToken();
        if (token.kind != TokenKind::Identifier)
            interpreter.reportError(ErrorCode::SyntaxError);
        const std::string name = token.text;
        if (isDeclared(name))
            interpreter.reportError(ErrorCode::DoubleDeclaration);
        declareVar(name, spec);
        if (interpreter.acceptChar('=')) {
            // Back to the name: the initialisation is an ordinary assignment.
            interpreter.ungetToken();
            interpreter.ungetToken();
            readAssignment(interpreter);
        }
    } while (interpreter.acceptChar(','));
    interpreter.expectChar(';');
}

// name [ "[" expr "]" ] "=" expr
void VarProcessor::readAssignment(Interpreter& interpreter)
{
    interpreter.nextToken();
    const Token& token = interpreter.currentToken();
    if (token.kind != TokenKind::Identifier)
        interpreter.reportError(ErrorCode::SyntaxError);
    const std::int32_t position = interpreter.tokenPosition();
    const bool isResult = token.text == kResultName;
    CommonVar& target = namedVariable(interpreter);
    Expression expression(interpreter);
    if (isArrayType(target.type()) && interpreter.acceptChar('[')) {
        ExprValue index = expression.evaluateValue();
        interpreter.expectChar(']');
        interpreter.expectChar('=');
        const Expression::Hold holdIndex(expression, &index);
        const ExprValue value = expression.evaluateValue();
        if (!value.get().isInitialised())
            interpreter.reportError(ErrorCode::WrongType);
        target.storeElement(index.get(), value.get());
        return;
    }
    interpreter.expectChar('=');
    AssignmentForm assignment{&target, isResult, nullptr};
    assign(assignment, expression.evaluateForm(assignment.value));
    assignments_.insert_or_assign(position, std::move(assignment));
}

void VarProcessor::runAssignment(Interpreter& interpreter, AssignmentForm& assignment)
{
    Expression expression(interpreter);
    assign(assignment, expression.evaluateForm(assignment.value));
}

// The store of an assignment without an index.
void VarProcessor::assign(const AssignmentForm& assignment, ExprValue value)
{
    CommonVar& target = *assignment.target;
    if (assignment.isResult)
        target = std::move(value).release();
    else if (target.type() == TypeCode::Number && value.isNumberScalar())
        target.assignNumber(value.numberValue());
    else
        target.assign(value.get());
}

} // namespace Transl
