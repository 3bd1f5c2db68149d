// The statement loop and the dispatcher of statements.
#include "Interpreter.h"

#include "Exception.h"

#include <filesystem>

namespace Transl {

Interpreter* currentInterpreter = nullptr;

Interpreter::Interpreter() = default;

Interpreter::~Interpreter() = default;

void Interpreter::openFiles(const std::string& source, const std::string& output,
                            const std::string& error)
{
    openFile(source);
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

void Interpreter::run()
{
    for (nextToken(); currentToken().kind != TokenKind::EndOfInput; nextToken())
        executeStatement();
    if (!loopStack.empty())
        reportError(ErrorCode::LoopMismatch);
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

// Ends the run through the internal-failure path for a statement whose handler
// this build does not have.
void Interpreter::notAvailable(const char* statement)
{
    throw Exception(std::string("the ") + statement + " statement is not available");
}

void Interpreter::declarationStatement()
{
    if (!loopStack.empty() || inIf)
        reportError(ErrorCode::DeclarationNotAllowed);
    notAvailable("declaration");
}

void Interpreter::nameStatement()
{
    notAvailable("assignment or function call");
}

void Interpreter::printStatement()
{
    notAvailable("PRINT");
}

void Interpreter::dprintStatement()
{
    notAvailable("DPRINT");
}

void Interpreter::ifStatement()
{
    notAvailable("IF");
}

void Interpreter::elseStatement()
{
    notAvailable("ELSE");
}

void Interpreter::endifStatement()
{
    notAvailable("ENDIF");
}

void Interpreter::dowhileStatement()
{
    notAvailable("DOWHILE");
}

void Interpreter::ewStatement()
{
    notAvailable("EW");
}

void Interpreter::timeoutStatement()
{
    notAvailable("TIMEOUT");
}

void Interpreter::connectStatement()
{
    notAvailable("CONNECT");
}

void Interpreter::disconnectStatement()
{
    notAvailable("DISCONNECT");
}

void Interpreter::executeSqlStatement()
{
    notAvailable("EXECUTE");
}

void Interpreter::functionDefinition()
{
    notAvailable("FUN");
}

} // namespace Transl
