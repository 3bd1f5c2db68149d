// CONNECT, DISCONNECT and EXECUTE: the connection table, the reading of EXECUTE
// items and their run on worker threads under the time-out.
#include "OraProc.h"

#include "CommonVar.h"
#include "Exception.h"
#include "ExprValue.h"
#include "Expression.h"
#include "Interpreter.h"
#include "ThreadManager.h"

#include "ODbClassfactory.h"
#include "ODbConnect.h"
#include "ODbDescribeSql.h"
#include "ODbException.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

namespace Transl {

namespace {

// How long workers still running at a time-out may take to end once their calls
// are broken. A broken call ends in milliseconds; the bound only caps the wait for
// one that cannot be interrupted, so that error 23 still follows the time-out
// closely.
constexpr std::chrono::milliseconds kBreakGrace{1000};
// A break reaches only a call in progress, and a worker may be between two calls,
// so the breaks are repeated this often while the grace lasts.
constexpr std::chrono::milliseconds kBreakRepeat{50};

// An item whose worker was abandoned after a time-out, with the connection it
// runs on. Both must stay valid for as long as that worker may run, which is to
// the end of the process: nothing may free them under it.
struct AbandonedWork {
    std::unique_ptr<ExecItem> item;
    OraProc::Connection connection;  // keeps the session from being logged off; may be null
};

// Deliberately never freed (see AbandonedWork); reachable, so not a leak report.
std::vector<AbandonedWork>& abandonedWork()
{
    static auto* const kept = new std::vector<AbandonedWork>();
    return *kept;
}

// Static tear-down of the library and its engine would wait for the sessions that
// abandoned workers still hold, so once a worker is abandoned the process ends at
// the first exit handler, with the status it was given. Script output and
// diagnostics were flushed as they were written; stdio is flushed here.
void endWithoutTearDown(int status, void*)
{
    std::fflush(nullptr);
    std::_Exit(status);
}

// Handlers registered last run first, ahead of every destructor of an object that
// was constructed before.
void skipTearDownAtExit()
{
    static const bool registered = ::on_exit(endWithoutTearDown, nullptr) == 0;
    (void)registered;
}

// A message goes to element 0 of its variable as text. A text variable gets as
// much as its declared size holds: a long server text must not end the run that
// it was meant to inform. Other types convert as the library converts.
void storeMessage(CommonVar& variable, const std::string& text)
{
    const bool isText = variable.type() == TypeCode::Varchar2 || variable.type() == TypeCode::Varchar2Arr;
    const std::size_t room = variable.elementSize() > 0 ? variable.elementSize() - 1u : 0u; // less the NUL
    variable.setString(isText ? text.substr(0, room) : text, 0);
}

// The next token must be the name of a declared variable.
CommonVar& readVariable(Interpreter& in)
{
    in.nextToken();
    const Token& token = in.currentToken();
    if (token.kind != TokenKind::Identifier)
        in.reportError(ErrorCode::SyntaxError);
    if (!in.isDeclared(token.text))
        in.reportError(ErrorCode::NotDeclared);
    return in.getVar(token.text);
}

// A declared NUMBER variable: the connection number of CONNECT and DISCONNECT.
CommonVar& readNumberVariable(Interpreter& in)
{
    CommonVar& variable = readVariable(in);
    if (variable.type() != TypeCode::Number)
        in.reportError(ErrorCode::WrongType);
    return variable;
}

// An expression of the given type; the value refers to a variable when it is one.
ExprValue readTyped(Interpreter& in, TypeCode type)
{
    ExprValue value = Expression(in).evaluateValue();
    value.get().requireInitialised();
    if (value.get().type() != type)
        in.reportError(ErrorCode::WrongType);
    return value;
}

std::int32_t readNumber(Interpreter& in)
{
    return toInt32(readTyped(in, TypeCode::Number).get().getDouble(0));
}

std::string readText(Interpreter& in)
{
    const ExprValue value = readTyped(in, TypeCode::Varchar2);
    const char* text = value.get().getCString(0);
    return text == nullptr ? std::string() : std::string(text);
}

// "[" name { "," name } "]" ",": the variables that receive a query's columns.
void readOutputVariables(Interpreter& in, ExecItem& item)
{
    if (!in.acceptChar('['))
        return;
    do
        item.outputVariables.push_back(&readVariable(in));
    while (in.acceptChar(','));
    in.expectChar(']');
    in.expectChar(',');
}

// The placeholders are found as the library finds them, so that a colon in a
// quoted literal, a quoted identifier or a comment binds nothing.
void bindPlaceholders(Interpreter& in, ExecItem& item, const std::string& text)
{
    for (const std::string& name : Oracle::ODbDescribeSql::scanPlaceholders(text.c_str())) {
        if (!in.isDeclared(name))
            in.reportError(ErrorCode::NotDeclared, name);
        item.boundVariables.push_back(&in.getVar(name));
    }
}

// The text without the blanks around it.
std::string trimmed(const std::string& text)
{
    const char* const blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// "prefix.name(arguments)" or "name(arguments)"; without "(" the whole text is the
// call's head. Blanks around the names are not part of them.
void splitCall(ExecItem& item, const std::string& call)
{
    const std::string head = call.substr(0, call.find('('));
    const std::size_t dot = head.find('.');
    if (dot == std::string::npos) {
        item.procedureName = trimmed(head);
        return;
    }
    item.procedurePrefix = trimmed(head.substr(0, dot));
    item.procedureName = trimmed(head.substr(dot + 1));
}

// The statement part of an item: SQL [ outputs "," ] text, or SP call-text.
void readStatement(Interpreter& in, ExecItem& item)
{
    in.nextToken();
    const Token& kind = in.currentToken();
    if (kind.kind != TokenKind::Keyword || (kind.keyword != Keyword::Sql && kind.keyword != Keyword::Sp))
        in.reportError(ErrorCode::SyntaxError);
    item.procedureCall = kind.keyword == Keyword::Sp;
    if (item.procedureCall) {
        const std::string call = readText(in);
        splitCall(item, call);
        bindPlaceholders(in, item, call);
        return;
    }
    readOutputVariables(in, item);
    item.statementText = readText(in);
    bindPlaceholders(in, item, item.statementText);
}

// "(" connection "," statement [ "," message-variable ] ")" [ "*" repeat ]
void readItem(Interpreter& in, ExecItem& item)
{
    in.expectChar('(');
    item.connectionNumber = readNumber(in);
    in.expectChar(',');
    readStatement(in, item);
    if (in.acceptChar(','))
        item.messageVariable = &readVariable(in);
    in.expectChar(')');
    if (in.acceptChar('*')) // the repeat count's type is not checked
        item.repeatCount = toInt32(Expression(in).evaluateValue().get().getDouble(0));
}

} // namespace

// Ends the items of an EXECUTE on every way out of it, an exception included, so
// that no worker is left using items or variables that are gone.
class OraProc::ExecutionScope {
public:
    ExecutionScope(OraProc& owner, ThreadManager& workers) : owner_(owner), workers_(workers) {}
    ~ExecutionScope() { owner_.endItems(workers_); }
    ExecutionScope(const ExecutionScope&) = delete;
    ExecutionScope& operator=(const ExecutionScope&) = delete;

private:
    OraProc& owner_;
    ThreadManager& workers_;
};

OraProc::~OraProc() = default;

std::int32_t OraProc::largestConnection()
{
    Lock lock(*this);
    return connections_.empty() ? 0 : connections_.rbegin()->first;
}

Oracle::ODbConnect& OraProc::newConnection(std::int32_t number)
{
    Lock lock(*this);
    if (connections_.count(number) != 0)
        throw Exception("connection " + std::to_string(number) + " exists already");
    Connection& entry = connections_[number];
    entry = Oracle::ODbClassfactory::createODbConnect();
    return *entry;
}

Oracle::ODbConnect& OraProc::connection(std::int32_t number)
{
    Lock lock(*this);
    const auto found = connections_.find(number);
    if (found == connections_.end())
        throw Exception("connection " + std::to_string(number) + " is not open");
    return *found->second;
}

bool OraProc::hasConnection(std::int32_t number)
{
    Lock lock(*this);
    return connections_.count(number) != 0;
}

// CONNECT variable any-token "connect string" [ "," message-variable ] ";"
// A failed logon is no script error: the number stays taken and the library's
// text goes to the message.
void OraProc::readConnect(Interpreter& in)
{
    CommonVar& target = readNumberVariable(in);
    const std::int32_t number = largestConnection() + 1;
    target.setDouble(number, 0);
    in.nextToken();
    in.nextToken();
    if (in.currentToken().kind != TokenKind::String)
        in.reportError(ErrorCode::SyntaxError);
    const std::string connectString = in.currentToken().text;
    message_.clear();
    Oracle::ODbConnect& session = newConnection(number);
    try {
        session.logon(connectString.c_str());
    } catch (const Oracle::ODbException& failure) {
        message_ = failure.getErrMsg();
    }
    if (in.acceptChar(','))
        storeMessage(readVariable(in), message_);
    in.expectChar(';');
}

// DISCONNECT variable ";": logs off and keeps the number taken.
void OraProc::readDisconnect(Interpreter& in)
{
    const std::int32_t number = toInt32(readNumberVariable(in).getDouble(0));
    if (!hasConnection(number))
        in.reportError(ErrorCode::InvalidConnection);
    message_.clear();
    try {
        connection(number).logoff();
    } catch (const Oracle::ODbException& failure) {
        message_ = failure.getErrMsg();
    }
    in.expectChar(';');
}

// EXECUTE item { "," item } ";"
void OraProc::readExecute(Interpreter& in)
{
    if (runItems(in, readItems(in)))
        in.reportError(ErrorCode::TimedOut);
    in.expectChar(';');
}

OraProc::Items OraProc::readItems(Interpreter& in)
{
    Items items;
    std::int32_t number = 1;
    do {
        auto item = std::make_unique<ExecItem>(*this);
        readItem(in, *item);
        items[number++] = std::move(item);
    } while (in.acceptChar(','));
    return items;
}

bool OraProc::runItems(ThreadManager& workers, Items items)
{
    statements_ = std::move(items);
    ExecutionScope scope(*this, workers);
    for (auto& [number, item] : statements_) {
        item->startTime = std::time(nullptr);
        workers.addThread(item->procedureCall ? executeSproc : executeSql, number, item.get());
    }
    workers.startAll();
    const bool timedOut = workers.waitAll(statements_, timeout_);
    endWorkers(workers);
    storeMessages();
    return timedOut;
}

void OraProc::endItems(ThreadManager& workers)
{
    endWorkers(workers);
    statements_.clear();
}

// A worker whose call was broken ends as after any failure of its statement, with
// the server's text in its message. Those still running after the grace are
// marked under the lock, so that they leave the script's variables alone from now
// on, and their items are kept alive for them.
void OraProc::endWorkers(ThreadManager& workers)
{
    breakWorkers(workers);
    const std::vector<std::int32_t> running = workers.runningNumbers();
    {
        Lock lock(*this);
        for (const std::int32_t number : running)
            abandon(number);
    }
    workers.killRunning();
}

// Blocks on the workers' ends between the breaks; returns at once when none runs.
void OraProc::breakWorkers(ThreadManager& workers)
{
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + kBreakGrace;
    for (std::vector<std::int32_t> running = workers.runningNumbers(); !running.empty();
         running = workers.runningNumbers()) {
        const Clock::duration left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            return;
        breakCalls(running);
        workers.waitRunning(std::min<Clock::duration>(left, kBreakRepeat));
    }
}

void OraProc::breakCalls(const std::vector<std::int32_t>& numbers)
{
    std::vector<Oracle::ODbConnect*> sessions;
    {
        Lock lock(*this);
        for (const std::int32_t number : numbers) {
            const auto item = statements_.find(number);
            if (item == statements_.end())
                continue;
            const auto session = connections_.find(item->second->connectionNumber);
            if (session != connections_.end())
                sessions.push_back(session->second.get());
        }
    }
    // Only this thread changes the connection table, so the sessions stay.
    for (Oracle::ODbConnect* session : sessions) {
        try {
            session->breakRunningCall();
        } catch (const Oracle::ODbException&) {
            // Not logged on: the item has no call in progress there.
        }
    }
}

void OraProc::abandon(std::int32_t number)
{
    const auto found = statements_.find(number);
    if (found == statements_.end())
        return;
    found->second->abandon();
    skipTearDownAtExit();
    const auto session = connections_.find(found->second->connectionNumber);
    abandonedWork().push_back(
        {std::move(found->second), session == connections_.end() ? Connection() : session->second});
    statements_.erase(found);
}

// Each item's message goes to its message variable, in item order.
void OraProc::storeMessages()
{
    Lock lock(*this);
    for (const auto& entry : statements_) {
        const ExecItem& item = *entry.second;
        if (item.messageVariable != nullptr)
            storeMessage(*item.messageVariable, item.message());
    }
}

unsigned int OraProc::executeSql(void* item)
{
    static_cast<ExecItem*>(item)->runSql();
    return 0;
}

unsigned int OraProc::executeSproc(void* item)
{
    static_cast<ExecItem*>(item)->runSproc();
    return 0;
}

} // namespace Transl
