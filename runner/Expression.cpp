// The expression grammar, from the loosest level to the tightest:
//   comparison: additive { ("==" | "<" | ">" | "<=" | ">=" | "<>") additive }
//   additive:   term { ("+" | "-") term }
//   term:       power { ("*" | "/") power }
//   power:      prefixed [ "^" power ]
//   prefixed:   [ operator ] primary
//   primary:    "(" comparison ")" | operand
// Operators are Delimiter tokens; the two-character ones are two tokens.
// A function call: name "(" [ argument { "," argument } ] ")", where an argument
// of an OUT parameter is the name of a declared variable.
#include "Expression.h"

#include "Exception.h"
#include "Interpreter.h"
#include "Limits.h"

#include <array>
#include <deque>
#include <iterator>
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

Expression::Expression(Interpreter& interpreter)
    : in_(interpreter), stack_(interpreter.valueStack()), stackBase_(stack_.size())
{
}

// Values an error left behind go with the expression.
Expression::~Expression()
{
    while (stack_.size() > stackBase_)
        stack_.pop_back();
}

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
    for (std::size_t i = stackBase_; i < stack_.size(); ++i)
        stack_[i].own();
}

ExprValue Expression::evaluateValue()
{
    return evaluateForm(in_.formSlot(in_.nextPosition()));
}

ExprValue Expression::evaluateForm(std::unique_ptr<ExprForm>& slot)
{
    double number = 0;
    if (slot && !wantNames_ && slot->numbersOnly() && slot->stillFits() &&
        replayNumbers(*slot, number))
        return ExprValue::number(number, std::string());
    evaluateIn(slot, &Expression::readWhole);
    return pop();
}

CommonVar Expression::evaluate()
{
    return evaluateValue().release();
}

// The values wait on the stack until the list ends, so that a call in a later
// value that writes its arguments back gives them copies first; a variable
// shown by the list is otherwise read where it is, not copied.
std::vector<ExprValue> Expression::evaluateList()
{
    wantNames_ = true;
    do
        evaluateIn(in_.formSlot(in_.nextPosition()), &Expression::readWhole);
    while (in_.acceptChar(','));
    const auto first = stack_.begin() + static_cast<std::ptrdiff_t>(stackBase_);
    std::vector<ExprValue> values(std::make_move_iterator(first), std::make_move_iterator(stack_.end()));
    stack_.erase(first, stack_.end());
    return values;
}

void Expression::evaluateCallStatement()
{
    evaluateIn(in_.formSlot(in_.tokenPosition()), &Expression::call);
    pop();
}

// A form is kept only once its reading succeeded: a failed one ends the run.
void Expression::evaluateIn(std::unique_ptr<ExprForm>& slot, Reader reader)
{
    if (slot && slot->stillFits()) {
        replay(*slot);
        return;
    }
    auto form = std::make_unique<ExprForm>();
    reading_ = form.get();
    (this->*reader)();
    reading_ = nullptr;
    form->setEnd(in_.tokenPosition());
    slot = std::move(form);
}

void Expression::readWhole()
{
    inner();
}

// An expression from the next token; the token after it is pushed back.
void Expression::inner()
{
    advance();
    comparison();
    in_.ungetToken();
}

void Expression::replay(const ExprForm& form)
{
    for (const ExprStep& step : form.steps()) {
        in_.jumpTo(step.position);
        perform(step);
    }
    in_.jumpTo(form.end());
}

// The steps of a numbers-only form on plain doubles: what replay computes for
// NUMBER scalars, without names (none are shown) and without script values. It
// gives up, having changed nothing, at a variable that is not an initialised
// NUMBER scalar; replay then reports what has to be reported.
bool Expression::replayNumbers(const ExprForm& form, double& result)
{
    std::array<double, ExprForm::kNumberStackDepth> values;
    std::size_t top = 0;
    for (const ExprStep& step : form.steps()) {
        switch (step.kind) {
        case StepKind::Constant:
            values[top++] = step.constant->numberAt(0);
            break;
        case StepKind::Variable:
            if (step.variable->type() != TypeCode::Number || step.variable->count() != 1 ||
                !step.variable->isInitialised())
                return false;
            values[top++] = step.variable->numberAt(0);
            break;
        case StepKind::Binary:
            --top;
            values[top - 1] = CommonVar::numberOperation(step.op, values[top - 1], values[top]);
            break;
        default:
            values[top - 1] = -values[top - 1];
        }
    }
    result = values[0];
    in_.jumpTo(form.end());
    return true;
}

void Expression::emit(ExprStep step)
{
    step.position = in_.tokenPosition();
    perform(reading_->add(std::move(step)));
}

void Expression::perform(const ExprStep& step)
{
    switch (step.kind) {
    case StepKind::Constant:
        pushConstant(*step.constant);
        break;
    case StepKind::Variable:
        pushVariable(*step.variable, step.text);
        break;
    case StepKind::Element:
        takeElement(*step.variable, step.text);
        break;
    case StepKind::Binary:
        combineTop(step.op);
        break;
    case StepKind::Negate:
        negateTop();
        break;
    case StepKind::Parenthesize:
        parenthesizeTop();
        break;
    case StepKind::ArrayElement:
        checkArrayElement();
        break;
    case StepKind::ArrayConstant:
        makeArrayConstant(step.count);
        break;
    case StepKind::Argument:
        copyTop();
        break;
    case StepKind::Call:
        callWithTop(step);
        break;
    }
}

// Reads operands from `next` joined by the operators of one left-to-right level.
void Expression::binaryLevel(OperatorLevel level, Reader next)
{
    (this->*next)();
    while (levelAt(look()) == level) {
        ExprStep step(StepKind::Binary);
        step.op = takeOperator();
        advance();
        (this->*next)();
        emit(std::move(step));
    }
}

// comparison: additive { ("==" | "<" | ">" | "<=" | ">=" | "<>") additive }
void Expression::comparison()
{
    binaryLevel(OperatorLevel::Comparison, &Expression::additive);
}

// additive: term { ("+" | "-") term }
void Expression::additive()
{
    binaryLevel(OperatorLevel::Additive, &Expression::term);
}

// term: power { ("*" | "/") power }
void Expression::term()
{
    binaryLevel(OperatorLevel::Term, &Expression::power);
}

// power: prefixed [ "^" power ]  -- right to left: a ^ b ^ c is a ^ (b ^ c)
void Expression::power()
{
    const DepthGuard guard(*this);
    prefixed();
    if (!isDelimiter(look(), '^'))
        return;
    advance();
    power();
    ExprStep step(StepKind::Binary);
    step.op = Operator::Power;
    emit(std::move(step));
}

// prefixed: [ operator ] primary  -- only "-" has an effect; it binds tighter than "^"
void Expression::prefixed()
{
    if (!levelAt(look())) {
        primary();
        return;
    }
    const Operator op = takeOperator();
    advance();
    primary();
    if (op == Operator::Minus)
        emit(ExprStep(StepKind::Negate));
}

// primary: "(" comparison ")" | operand
void Expression::primary()
{
    if (!isDelimiter(look(), '(')) {
        operand();
        return;
    }
    advance();
    comparison();
    if (!isDelimiter(look(), ')'))
        in_.reportError(ErrorCode::ParenthesisMismatch);
    advance();
    emit(ExprStep(StepKind::Parenthesize));
}

// operand: function call | variable | element | constant | array constant
void Expression::operand()
{
    const Token& token = look();
    switch (token.kind) {
    case TokenKind::Identifier:
        if (in_.findNamed(in_.tokenPosition()) == nullptr && in_.isFunction(token.text))
            functionCall();
        else
            variable();
        return;
    case TokenKind::Number:
    case TokenKind::String:
    case TokenKind::Raw:
        constant();
        return;
    default:
        if (isDelimiter(token, '[')) {
            arrayConstant();
            return;
        }
        in_.reportError(ErrorCode::WrongType);
    }
}

// The constant of the current token, kept in the form; the token after it
// becomes current.
void Expression::constant()
{
    ExprStep step(StepKind::Constant);
    step.constant = &reading_->keepConstant(makeConstant(look()));
    emit(std::move(step));
    advance();
}

// name | name "[" comparison "]"  -- the second form for array variables only
void Expression::variable()
{
    CommonVar& found = in_.namedVariable(in_);
    reading_->relyOnShape(found);
    std::string name = look().text;
    advance();
    if (isArrayType(found.type()) && isDelimiter(look(), '[')) {
        element(found, name);
        return;
    }
    ExprStep step(StepKind::Variable);
    step.variable = &found;
    step.text = std::move(name);
    emit(std::move(step));
}

// The "[" is current; reads the index and its "]".
void Expression::element(CommonVar& array, const std::string& name)
{
    inner();
    in_.expectChar(']');
    ExprStep step(StepKind::Element);
    step.variable = &array;
    step.text = name;
    emit(std::move(step));
    advance();
}

void Expression::functionCall()
{
    call();
    advance();
}

// name "(" [ argument { "," argument } ] ")"; the ")" is left current.
void Expression::call()
{
    ExprStep step(StepKind::Call);
    step.text = in_.currentToken().text;
    in_.expectChar('(');
    const FunDef& definition = in_.getFunction(step.text);
    readArguments(definition, step.references);
    in_.expectChar(')');
    // A parameter without an argument would run with nothing in its slot.
    if (step.references.size() < definition.slots.size() - 1)
        in_.reportError(ErrorCode::ParameterCount);
    emit(std::move(step));
}

// [ argument { "," argument } ] up to, not including, the ")". Each argument
// gets a reference: its OUT variable, or null for a value copied onto the stack.
void Expression::readArguments(const FunDef& definition, std::vector<CommonVar*>& references)
{
    const std::size_t parameterCount = definition.slots.size() - 1;
    // With no argument written the check for too few comes after the ")".
    if (parameterCount == 0 || in_.acceptChar(')')) {
        if (parameterCount != 0)
            in_.ungetToken();
        return;
    }
    for (std::size_t k = 1;; ++k) {
        if (definition.slots[k].byReference) {
            references.push_back(&readReferenceArgument());
        } else {
            inner();
            emit(ExprStep(StepKind::Argument));
            references.push_back(nullptr);
        }
        if (!in_.acceptChar(','))
            return;
        if (k + 1 > parameterCount)
            in_.reportError(ErrorCode::ParameterCount);
    }
}

// An OUT argument: the name of a declared variable, passed as the variable.
CommonVar& Expression::readReferenceArgument()
{
    in_.nextToken();
    const std::string name = in_.currentToken().text;
    if (!in_.isDeclared(name))
        in_.reportError(ErrorCode::NotDeclared);
    return in_.getVar(name);
}

// "[" comparison { "," comparison } "]"
void Expression::arrayConstant()
{
    ExprStep step(StepKind::ArrayConstant);
    do {
        advance();
        comparison();
        emit(ExprStep(StepKind::ArrayElement));
        ++step.count;
    } while (isDelimiter(look(), ','));
    if (!isDelimiter(look(), ']'))
        in_.reportError(ErrorCode::TokenExpected, "]");
    emit(std::move(step));
    advance();
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

void Expression::pushConstant(const CommonVar& constant)
{
    push(ExprValue::borrow(constant, wantNames_ ? constant.name() : std::string()));
}

void Expression::pushVariable(const CommonVar& variable, const std::string& name)
{
    const bool named = isArrayType(variable.type()) || needsName(variable);
    push(ExprValue::borrow(variable, named ? name : std::string()));
}

void Expression::takeElement(const CommonVar& array, const std::string& name)
{
    const ExprValue index = pop();
    requireInitialised(index);
    CommonVar value = array.element(index.get());
    std::string label = name + "[" + CommonVar::indexLabel(index.get()) + "]";
    value.setName(label);
    push(ExprValue(std::move(value), std::move(label)));
}

// The left operand's name is moved on, so a long chain of operators composes
// its name in time linear in its length.
void Expression::combineTop(Operator op)
{
    ExprValue right = pop();
    ExprValue left = pop();
    requireInitialised(left);
    requireInitialised(right);
    // Two NUMBER scalars: every operator accepts them and gives a NUMBER scalar.
    if (left.isNumberScalar() && right.isNumberScalar()) {
        const double result =
            CommonVar::numberOperation(op, left.numberValue(), right.numberValue());
        push(ExprValue::number(result, composedName(op, left, right)));
        return;
    }
    CommonVar result = CommonVar::binary(op, left.get(), right.get());
    push(ExprValue(std::move(result), composedName(op, left, right)));
}

void Expression::negateTop()
{
    const ExprValue value = pop();
    requireInitialised(value);
    std::string name = wantNames_ ? "-" + value.name() : std::string();
    if (value.isNumberScalar())
        push(ExprValue::number(-value.numberValue(), std::move(name)));
    else
        push(ExprValue(value.get().negated(), std::move(name)));
}

void Expression::parenthesizeTop()
{
    ExprValue& value = stack_.back();
    if (needsName(value.get()))
        value.setName("(" + value.name() + ")");
}

// Each element is a private copy at once: a call in a later element may write
// back into a variable named by an earlier one.
void Expression::checkArrayElement()
{
    requireInitialised(stack_.back());
    copyTop();
}

void Expression::makeArrayConstant(std::uint32_t count)
{
    std::deque<CommonVar> elements;
    for (std::uint32_t i = 0; i < count; ++i)
        elements.push_front(pop().release());
    std::vector<const CommonVar*> pointers;
    pointers.reserve(elements.size());
    for (const CommonVar& element : elements)
        pointers.push_back(&element);
    push(ExprValue(CommonVar::arrayConstant(pointers), kArrayConstantName));
}

// The top as a temporary of its own, named as the value was.
void Expression::copyTop()
{
    CommonVar copy = pop().release();
    std::string name = copy.name();
    push(ExprValue(std::move(copy), std::move(name)));
}

// The by-value arguments lie on the stack in parameter order, topmost last.
void Expression::callWithTop(const ExprStep& step)
{
    std::deque<CommonVar> copies;
    for (const CommonVar* reference : step.references)
        if (reference == nullptr)
            copies.push_front(pop().release());
    std::vector<CommonVar*> arguments;
    auto copy = copies.begin();
    for (CommonVar* reference : step.references)
        arguments.push_back(reference != nullptr ? reference : &*copy++);
    CommonVar result = in_.callFunction(in_, step.text, arguments, *this);
    std::string name = result.name();
    push(ExprValue(std::move(result), std::move(name)));
}

// The name of left op right where names are shown; the left name is moved on.
std::string Expression::composedName(Operator op, ExprValue& left, const ExprValue& right) const
{
    if (!wantNames_)
        return std::string();
    std::string name = left.takeName();
    name += operatorEntry(op).text;
    name += right.name();
    return name;
}

ExprValue Expression::pop()
{
    if (stack_.size() <= stackBase_)
        throw Exception("no value on the expression stack");
    ExprValue value = std::move(stack_.back());
    stack_.pop_back();
    return value;
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
