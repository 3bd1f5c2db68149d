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

#include <array>
#include <string>

namespace Transl {

namespace {

bool isDelimiter(const Token& token, char c)
{
    return token.kind == TokenKind::Delimiter && token.startsWith(c);
}

// The binding level of the operator each character starts, -1 for none; made
// from the operator table, looked up for nearly every token of an expression.
constexpr std::array<int, 256> kLevelByFirstChar = [] {
    std::array<int, 256> levels{};
    for (int& level : levels)
        level = -1;
    for (const OperatorEntry& entry : kOperators)
        levels[static_cast<unsigned char>(entry.text.front())] = static_cast<int>(entry.level);
    return levels;
}();

// The binding level of the operator that a token starts, if it starts one.
std::optional<OperatorLevel> levelAt(const Token& token)
{
    if (token.kind != TokenKind::Delimiter || token.text.empty())
        return std::nullopt;
    const int level = kLevelByFirstChar[static_cast<unsigned char>(token.text.front())];
    if (level < 0)
        return std::nullopt;
    return static_cast<OperatorLevel>(level);
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

CommonVar makeConstant(const Token& token)
{
    switch (token.kind) {
    case TokenKind::Number:
        return CommonVar::numberConstant(token.text);
    case TokenKind::String:
        return CommonVar::textConstant(token.text);
    default:
        return CommonVar::rawConstant(token.text);
    }
}

} // namespace

// A temporary the expression owns cannot be written by a call; only values that
// refer to variables need holding.
Expression::Hold::Hold(Expression& expression, ExprValue* value)
    : expression_(expression),
      value_(value != nullptr && value->isBorrowed() ? value : nullptr),
      outer_(expression.innermostHold_)
{
    expression_.innermostHold_ = this;
}

Expression::Hold::~Hold()
{
    expression_.innermostHold_ = outer_;
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
    for (Hold* hold = innermostHold_; hold != nullptr; hold = hold->outer_)
        if (hold->value_ != nullptr)
            hold->value_->own();
}

ExprValue Expression::evaluateValue()
{
    advance();
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
    wantNames_ = true;
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
    while (levelAt(look()) == level) {
        const Operator op = takeOperator();
        advance();
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
    if (!isDelimiter(look(), '^'))
        return base;
    advance();
    const Hold hold(*this, &base);
    const ExprValue exponent = power();
    return combine(Operator::Power, base, exponent);
}

// prefixed: [ operator ] primary  -- only "-" has an effect; it binds tighter than "^"
ExprValue Expression::prefixed()
{
    if (!levelAt(look()))
        return primary();
    const Operator op = takeOperator();
    advance();
    ExprValue value = primary();
    if (op != Operator::Minus)
        return value;
    requireInitialised(value);
    std::string name = wantNames_ ? "-" + value.name() : std::string();
    if (value.isNumberScalar())
        return ExprValue::number(-value.numberValue(), std::move(name));
    return ExprValue(value.get().negated(), std::move(name));
}

// primary: "(" comparison ")" | operand
ExprValue Expression::primary()
{
    if (!isDelimiter(look(), '('))
        return operand();
    advance();
    ExprValue value = comparison();
    if (!isDelimiter(look(), ')'))
        in_.reportError(ErrorCode::ParenthesisMismatch);
    advance();
    if (needsName(value.get()))
        value.setName("(" + value.name() + ")");
    return value;
}

// operand: function call | variable | element | constant | array constant
ExprValue Expression::operand()
{
    const Token& token = look();
    switch (token.kind) {
    case TokenKind::Identifier:
        if (in_.findNamed(in_.tokenPosition()) == nullptr && in_.isFunction(token.text))
            return functionCall();
        return variable();
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::Raw:
        return constant();
    default:
        if (isDelimiter(token, '['))
            return arrayConstant();
        in_.reportError(ErrorCode::WrongType);
    }
}

// The constant of the current token, made once per token position; the token
// after it becomes current.
ExprValue Expression::constant()
{
    const std::int32_t position = in_.tokenPosition();
    const CommonVar* value = in_.findConstant(position);
    if (value == nullptr)
        value = &in_.keepConstant(position, makeConstant(look()));
    advance();
    return ExprValue::borrow(*value, wantNames_ ? value->name() : std::string());
}

// name | name "[" comparison "]"  -- the second form for array variables only
ExprValue Expression::variable()
{
    const CommonVar* found = &in_.namedVariable(in_);
    const bool array = isArrayType(found->type());
    std::string name = array || needsName(*found) ? look().text : std::string();
    advance();
    if (array && isDelimiter(look(), '['))
        return element(*found, name);
    return ExprValue::borrow(*found, std::move(name));
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
    advance();
    return ExprValue(std::move(value), std::move(label));
}

ExprValue Expression::functionCall()
{
    CommonVar result = in_.readCall(in_, *this);
    std::string name = result.name();
    advance();
    return ExprValue(std::move(result), std::move(name));
}

// "[" comparison { "," comparison } "]"
ExprValue Expression::arrayConstant()
{
    // Each element is a private copy at once: a call in a later element may
    // write back into a variable named by an earlier one.
    std::vector<CommonVar> elements;
    do {
        advance();
        ExprValue element = comparison();
        requireInitialised(element);
        elements.push_back(std::move(element).release());
    } while (isDelimiter(look(), ','));
    if (!isDelimiter(look(), ']'))
        in_.reportError(ErrorCode::TokenExpected, "]");
    std::vector<const CommonVar*> pointers;
    pointers.reserve(elements.size());
    for (const CommonVar& element : elements)
        pointers.push_back(&element);
    CommonVar value = CommonVar::arrayConstant(pointers);
    advance();
    return ExprValue(std::move(value), kArrayConstantName);
}

// The current token starts an operator; reads its second token where it has one
// and leaves the operator's last token current.
Operator Expression::takeOperator()
{
    switch (look().text.front()) {
    case '<':
        if (acceptDelimiter('='))
            return Operator::LessEqual;
        return acceptDelimiter('>') ? Operator::NotEqual : Operator::Less;
    case '>':
        return acceptDelimiter('=') ? Operator::GreaterEqual : Operator::Greater;
    case '=':
        if (!acceptDelimiter('=')) {
            advance();
            in_.reportError(ErrorCode::TokenExpected, "=");
        }
        return Operator::Equal;
    default:
        return singleOperator(look().text.front());
    }
}

// Reads the next token when it is the delimiter c; otherwise leaves it unread.
bool Expression::acceptDelimiter(char c)
{
    advance();
    if (isDelimiter(look(), c))
        return true;
    in_.ungetToken();
    look_ = &in_.currentToken();
    return false;
}

void Expression::advance()
{
    in_.nextToken();
    look_ = &in_.currentToken();
}

ExprValue Expression::combine(Operator op, const ExprValue& left, const ExprValue& right)
{
    requireInitialised(left);
    requireInitialised(right);
    std::string name;
    if (wantNames_) {
        name = left.name();
        name += operatorEntry(op).text;
        name += right.name();
    }
    // Two NUMBER scalars: every operator accepts them and gives a NUMBER scalar.
    if (left.isNumberScalar() && right.isNumberScalar()) {
        const double result = CommonVar::numberOperation(op, left.numberValue(), right.numberValue());
        return ExprValue::number(result, std::move(name));
    }
    return ExprValue(CommonVar::binary(op, left.get(), right.get()), std::move(name));
}

// Names are composed only where they can be shown: in the values of a PRINT or
// DPRINT list, and in the diagnostic for a value that holds nothing.
bool Expression::needsName(const CommonVar& value) const
{
    return wantNames_ || !value.isInitialised();
}

// Error 21 names the value as the expression wrote it.
void Expression::requireInitialised(const ExprValue& value)
{
    if (!value.isInitialised())
        in_.reportError(ErrorCode::NotInitialized, value.name());
}

} // namespace Transl
