// The expression grammar, from the loosest level to the tightest:
//   comparison: additive { ("==" | "<" | ">" | "<=" | ">=" | "<>") additive }
//   additive:   term { ("+" | "-") term }
//   term:       power { ("*" | "/") power }
//   power:      prefixed [ "^" power ]
//   prefixed:   [ operator ] primary
//   primary:    "(" comparison ")" | operand
// Operators are Delimiter tokens; the two-character ones are two tokens.
#include "Expression.h"

#include "Interpreter.h"
#include "Limits.h"

#include <string>

namespace Transl {

namespace {

bool isDelimiter(const Token& token, char c)
{
    return token.kind == TokenKind::Delimiter && token.startsWith(c);
}

// The binding level of the operator that a token starts, if it starts one.
std::optional<OperatorLevel> levelAt(const Token& token)
{
    if (token.kind != TokenKind::Delimiter || token.text.empty())
        return std::nullopt;
    for (const OperatorEntry& entry : kOperators)
        if (entry.text.front() == token.text.front())
            return entry.level;
    return std::nullopt;
}

// The one-character operator spelled c.
Operator singleOperator(char c)
{
    for (const OperatorEntry& entry : kOperators)
        if (entry.text.size() == 1 && entry.text.front() == c)
            return entry.code;
    return Operator::None;
}

const std::string kArrayConstantName = "<array constant>";

} // namespace

Expression::Hold::Hold(Expression& expression, ExprValue* value)
    : expression_(expression), active_(value != nullptr)
{
    if (active_)
        expression_.held_.push_back(value);
}

Expression::Hold::~Hold()
{
    if (active_)
        expression_.held_.pop_back();
}

Expression::DepthGuard::DepthGuard(Expression& expression) : expression_(expression)
{
    if (++expression_.depth_ > kMaxExpressionDepth)
        expression_.in_.reportError(ErrorCode::UnrecognizedExpression,
                                    "expression nested deeper than " +
                                        std::to_string(kMaxExpressionDepth) + " levels");
}

void Expression::detachHeld()
{
    for (ExprValue* value : held_)
        value->own();
}

ExprValue Expression::evaluateValue()
{
    in_.nextToken();
    ExprValue value = comparison();
    in_.ungetToken();
    return value;
}

CommonVar Expression::evaluate()
{
    return evaluateValue().release();
}

std::vector<CommonVar> Expression::evaluateList()
{
    std::vector<CommonVar> values;
    do
        values.push_back(evaluateValue().release());
    while (in_.acceptChar(','));
    return values;
}

// Reads operands from `next` joined by the operators of one left-to-right level.
ExprValue Expression::binaryLevel(OperatorLevel level, ExprValue (Expression::*next)())
{
    ExprValue left = (this->*next)();
    while (levelAt(in_.currentToken()) == level) {
        const Operator op = takeOperator();
        in_.nextToken();
        const Hold hold(*this, &left);
        const ExprValue right = (this->*next)();
        left = combine(op, left, right);
    }
    return left;
}

// comparison: additive { ("==" | "<" | ">" | "<=" | ">=" | "<>") additive }
ExprValue Expression::comparison()
{
    return binaryLevel(OperatorLevel::Comparison, &Expression::additive);
}

// additive: term { ("+" | "-") term }
ExprValue Expression::additive()
{
    return binaryLevel(OperatorLevel::Additive, &Expression::term);
}

// term: power { ("*" | "/") power }
ExprValue Expression::term()
{
    return binaryLevel(OperatorLevel::Term, &Expression::power);
}

// power: prefixed [ "^" power ]  -- right to left: a ^ b ^ c is a ^ (b ^ c)
ExprValue Expression::power()
{
    const DepthGuard guard(*this);
    ExprValue base = prefixed();
    if (!isDelimiter(in_.currentToken(), '^'))
        return base;
    in_.nextToken();
    const Hold hold(*this, &base);
    const ExprValue exponent = power();
    return combine(Operator::Power, base, exponent);
}

// prefixed: [ operator ] primary  -- only "-" has an effect; it binds tighter than "^"
ExprValue Expression::prefixed()
{
    if (!levelAt(in_.currentToken()))
        return primary();
    const Operator op = takeOperator();
    in_.nextToken();
    ExprValue value = primary();
    if (op != Operator::Minus)
        return value;
    requireInitialised(value);
    return ExprValue(value.get().negated(), "-" + value.name());
}

// primary: "(" comparison ")" | operand
ExprValue Expression::primary()
{
    if (!isDelimiter(in_.currentToken(), '('))
        return operand();
    in_.nextToken();
    ExprValue value = comparison();
    if (!isDelimiter(in_.currentToken(), ')'))
        in_.reportError(ErrorCode::ParenthesisMismatch);
    in_.nextToken();
    value.setName("(" + value.name() + ")");
    return value;
}

// operand: function call | variable | element | constant | array constant
ExprValue Expression::operand()
{
    const Token& token = in_.currentToken();
    switch (token.kind) {
    case TokenKind::Identifier:
        return in_.isFunction(token.text) ? functionCall() : variable();
    case TokenKind::Number:
        return constant(CommonVar::numberConstant(token.text));
    case TokenKind::String:
        return constant(CommonVar::textConstant(token.text));
    case TokenKind::Raw:
        return constant(CommonVar::rawConstant(token.text));
    default:
        if (isDelimiter(token, '['))
            return arrayConstant();
        in_.reportError(ErrorCode::WrongType);
    }
}

// A constant, made from the current token; the token after it becomes current.
ExprValue Expression::constant(CommonVar value)
{
    std::string name = value.name();
    in_.nextToken();
    return ExprValue(std::move(value), std::move(name));
}

// name | name "[" comparison "]"  -- the second form for array variables only
ExprValue Expression::variable()
{
    std::string name = in_.currentToken().text;
    if (!in_.isDeclared(name))
        in_.reportError(ErrorCode::NotDeclared);
    const CommonVar& found = in_.getVar(name);
    in_.nextToken();
    if (isArrayType(found.type()) && isDelimiter(in_.currentToken(), '['))
        return element(found, name);
    return ExprValue::borrow(found, std::move(name));
}

// The "[" is current; reads the index and its "]".
ExprValue Expression::element(const CommonVar& array, const std::string& name)
{
    const ExprValue index = evaluateValue();
    in_.expectChar(']');
    requireInitialised(index);
    CommonVar value = array.element(index.get());
    std::string label = name + "[" + CommonVar::indexLabel(index.get()) + "]";
    value.setName(label);
    in_.nextToken();
    return ExprValue(std::move(value), std::move(label));
}

ExprValue Expression::functionCall()
{
    CommonVar result = in_.readCall(in_, *this);
    std::string name = result.name();
    in_.nextToken();
    return ExprValue(std::move(result), std::move(name));
}

// "[" comparison { "," comparison } "]"
ExprValue Expression::arrayConstant()
{
    // Each element is a private copy at once: a call in a later element may
    // write back into a variable named by an earlier one.
    std::vector<CommonVar> elements;
    do {
        in_.nextToken();
        ExprValue element = comparison();
        requireInitialised(element);
        elements.push_back(std::move(element).release());
    } while (isDelimiter(in_.currentToken(), ','));
    if (!isDelimiter(in_.currentToken(), ']'))
        in_.reportError(ErrorCode::TokenExpected, "]");
    std::vector<const CommonVar*> pointers;
    pointers.reserve(elements.size());
    for (const CommonVar& element : elements)
        pointers.push_back(&element);
    CommonVar value = CommonVar::arrayConstant(pointers);
    in_.nextToken();
    return ExprValue(std::move(value), kArrayConstantName);
}

// The current token starts an operator; reads its second token where it has one
// and leaves the operator's last token current.
Operator Expression::takeOperator()
{
    switch (in_.currentToken().text.front()) {
    case '<':
        if (acceptDelimiter('='))
            return Operator::LessEqual;
        return acceptDelimiter('>') ? Operator::NotEqual : Operator::Less;
    case '>':
        return acceptDelimiter('=') ? Operator::GreaterEqual : Operator::Greater;
    case '=':
        if (!acceptDelimiter('=')) {
            in_.nextToken();
            in_.reportError(ErrorCode::TokenExpected, "=");
        }
        return Operator::Equal;
    default:
        return singleOperator(in_.currentToken().text.front());
    }
}

// Reads the next token when it is the delimiter c; otherwise leaves it unread.
bool Expression::acceptDelimiter(char c)
{
    in_.nextToken();
    if (isDelimiter(in_.currentToken(), c))
        return true;
    in_.ungetToken();
    return false;
}

ExprValue Expression::combine(Operator op, const ExprValue& left, const ExprValue& right)
{
    requireInitialised(left);
    requireInitialised(right);
    CommonVar value = CommonVar::binary(op, left.get(), right.get());
    std::string name = left.name();
    name += operatorEntry(op).text;
    name += right.name();
    return ExprValue(std::move(value), std::move(name));
}

// Error 21 names the value as the expression wrote it.
void Expression::requireInitialised(const ExprValue& value)
{
    if (!value.get().isInitialised())
        in_.reportError(ErrorCode::NotInitialized, value.name());
}

} // namespace Transl
