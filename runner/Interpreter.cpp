// The statement loop and the dispatcher of statements.
#include "Interpreter.h"

#include "CommonVar.h"
#include "Exception.h"
#include "Expression.h"

#include <cmath>
#include <filesystem>

namespace Transl {

Interpreter* currentInterpreter = nullptr;

Interpreter::Interpreter() = default;

Interpreter::~Interpreter() = default;

void Interpreter::openFiles(const std::string& source, const std::string& output,
                            const std::string& error)
{
    openFile(source);
    // Both destinations are checked before either is emptied, so a refused run
    // leaves the text of an earlier run in place.
    TextStream::checkWritable(output);
    TextStream::checkWritable(error);
    openOutputStream(output);
    // One file named twice is opened once: two streams truncating and writing the
    // same file would overwrite each other's text.
    std::error_code ignored;
    if (output != TextStream::kConsole &&
        (output == error || std::filesystem::equivalent(output, error, ignored)))
        shareErrorStream(outputStream());
    else
        openErrorStream(error);
}

void Interpreter::shareStreams(const Interpreter& other)
{
    shareOutputStream(other);
    shareErrorStream(other);
}

void Interpreter::call(const std::string& name)
{
    runFunction(*this, name);
}

void Interpreter::run()
{
    for (nextToken(); currentToken().kind != TokenKind::EndOfInput; nextToken()) {
        if (loopStack.empty() && !returningToLoop_)
            forgetPassedStatements();
        returningToLoop_ = false;
        executeStatement();
    }
    if (!loopStack.empty())
        reportError(ErrorCode::LoopMismatch);
}

// Outside every loop (but for the DOWHILE an EW goes back to) no statement can
// be reached again, so the tokens before the current one and everything kept for
// their positions can go: long scripts run in memory that does not grow with their
// length. The token before is kept, so that a push-back at the start of the
// statement still finds it.
void Interpreter::forgetPassedStatements()
{
    forgetTokensBefore(tokenPosition() - 1);
    forgetNames();
}

// Dispatches on the first token of a statement.
void Interpreter::executeStatement()
{
    const Token& token = currentToken();
    switch (token.kind) {
    case TokenKind::TypeName:
        declarationStatement();
        break;
    case TokenKind::Identifier:
        nameStatement();
        break;
    case TokenKind::Keyword:
        executeKeyword(token.keyword);
        break;
    default:
        reportError(ErrorCode::UnexpectedConstruction);
    }
}

void Interpreter::executeKeyword(Keyword keyword)
{
    switch (keyword) {
    case Keyword::Print:
        printStatement();
        break;
    case Keyword::Connect:
        connectStatement();
        break;
    case Keyword::Dprint:
        dprintStatement();
        break;
    case Keyword::Dowhile:
        dowhileStatement();
        break;
    case Keyword::Ew:
        ewStatement();
        break;
    case Keyword::If:
        ifStatement();
        break;
    case Keyword::Endif:
        endifStatement();
        break;
    case Keyword::Else:
        elseStatement();
        break;
    case Keyword::Disconnect:
        disconnectStatement();
        break;
    case Keyword::Execute:
        executeSqlStatement();
        break;
    case Keyword::Timeout:
        timeoutStatement();
        break;
    case Keyword::Fun:
        functionDefinition();
        break;
    default:
        // CHECKPROC, SQL, SP, EFUN and OUT begin no statement.
        throw Exception();
    }
}

// A declaration; not inside a loop body or after IF.
void Interpreter::declarationStatement()
{
    if (!loopStack.empty() || inIf)
        reportError(ErrorCode::DeclarationNotAllowed);
    readDeclaration(*this);
}

// A statement that begins with a name: a call whose result is dropped when the
// name is a function, else an assignment to the variable of that name. A kept
// assignment was one when it was read, and a new function forgets it.
void Interpreter::nameStatement()
{
    if (AssignmentForm* kept = findAssignment(tokenPosition())) {
        runAssignment(*this, *kept);
    } else if (isFunction(currentToken().text)) {
        Expression(*this).evaluateCallStatement();
    } else {
        ungetToken();
        readAssignment(*this);
    }
    expectChar(';');
}

void Interpreter::printStatement()
{
    printValues(false);
}

void Interpreter::dprintStatement()
{
    printValues(true);
}

// PRINT or DPRINT: the expression list as a table, then ";".
void Interpreter::printValues(bool labelled)
{
    const std::vector<ExprValue> values = Expression(*this).evaluateList();
    std::vector<Out::Column> columns;
    for (const ExprValue& listed : values) {
        const CommonVar& value = listed.get();
        if (value.hasTextsInPlace()) {
            // `values` outlives the table, so its elements can be read again.
            columns.emplace_back(listed.name(), value.isArray(), value.count(),
                                 [&value](std::size_t i) { return value.textAt(static_cast<unsigned int>(i)); });
            continue;
        }
        Out::Column column(listed.name(), value.isArray(), value.count());
        for (unsigned int i = 0; i < value.count(); ++i)
            column.add(value.textAt(i));
        columns.push_back(std::move(column));
    }
    printTable(columns, labelled);
    expectChar(';');
}

// A condition of IF or DOWHILE: the first element as an integer (cut toward zero),
// 1 for true and 0 for false. The integer is not cut to 16 bits, where 65537 would
// wrap around to true. A value without elements has no truth value either. A
// NUMBER scalar is judged as the library would convert it, without making it a
// value of its own.
bool Interpreter::readCondition()
{
    ExprValue value = Expression(*this).evaluateValue();
    if (value.isNumberScalar()) {
        const double number = value.numberValue();
        const bool isFalse = std::isnan(number) || (number > -1 && number < 1);
        if (!isFalse && !(number >= 1 && number < 2))
            reportError(ErrorCode::InvalidBoolean);
        return !isFalse;
    }
    const CommonVar whole = std::move(value).release();
    whole.requireInitialised();
    if (whole.count() == 0)
        reportError(ErrorCode::InvalidBoolean);
    const long truth = whole.getLongInt(0);
    if (truth != 0 && truth != 1)
        reportError(ErrorCode::InvalidBoolean);
    return truth == 1;
}

// IF condition: sets inIf; a false condition skips to the ELSE or ENDIF of this IF
// (an ENDIF also ends the IF and needs its ";").
void Interpreter::ifStatement()
{
    const bool condition = readCondition();
    inIf = true;
    if (condition)
        return;
    if (skipBranch() == Keyword::Endif) {
        inIf = false;
        expectChar(';');
    }
}

// ELSE reached while the true branch ran: skip the ELSE branch.
void Interpreter::elseStatement()
{
    skipBranch();
    inIf = false;
    expectChar(';');
}

// ENDIF ";" ends the branch that ran (also without a preceding IF).
void Interpreter::endifStatement()
{
    inIf = false;
    expectChar(';');
}

// DOWHILE condition: the body runs while the condition holds; EW comes back here.
void Interpreter::dowhileStatement()
{
    loopStack.push_back(tokenPosition());
    if (readCondition())
        return;
    loopStack.pop_back();
    skipLoopBody();
    expectChar(';');
}

// EW: back to the DOWHILE of the innermost running loop, which tests again.
void Interpreter::ewStatement()
{
    if (loopStack.empty())
        reportError(ErrorCode::LoopMismatch);
    seekToken(loopStack.back());
    loopStack.pop_back();
    returningToLoop_ = true;
}

// Reads tokens forward to the `close` keyword of the current block, counting the
// blocks that `open` starts in between; `alsoStop` (if any) ends the skip at the
// outer level too. Only keyword codes are looked at. Returns the keyword it stopped
// at; the end of the input is the error `atEnd`.
Keyword Interpreter::skipBlock(Keyword open, Keyword close, Keyword alsoStop, ErrorCode atEnd)
{
    int depth = 0;
    for (;;) {
        nextToken();
        const Token& token = currentToken();
        if (token.kind == TokenKind::EndOfInput)
            reportError(atEnd);
        if (token.kind != TokenKind::Keyword)
            continue;
        if (token.keyword == open)
            ++depth;
        else if (token.keyword == alsoStop && depth == 0)
            return alsoStop;
        else if (token.keyword == close && depth-- == 0)
            return close;
    }
}

// Skips to the ELSE or ENDIF of the current IF.
Keyword Interpreter::skipBranch()
{
    return skipBlock(Keyword::If, Keyword::Endif, Keyword::Else, ErrorCode::IfMismatch);
}

// Skips to the EW of the current DOWHILE.
void Interpreter::skipLoopBody()
{
    skipBlock(Keyword::Dowhile, Keyword::Ew, Keyword::None, ErrorCode::LoopMismatch);
}

// TIMEOUT: the seconds every later EXECUTE may take, from a NUMBER scalar.
void Interpreter::timeoutStatement()
{
    CommonVar value = Expression(*this).evaluate();
    value.requireInitialised();
    if (value.type() != TypeCode::Number)
        reportError(ErrorCode::WrongType);
    setTimeout(toInt32(value.getDouble(0)));
    expectChar(';');
}

void Interpreter::connectStatement()
{
    readConnect(*this);
}

void Interpreter::disconnectStatement()
{
    readDisconnect(*this);
}

void Interpreter::executeSqlStatement()
{
    readExecute(*this);
}

void Interpreter::functionDefinition()
{
    readDefinition(*this);
}

} // namespace Transl
