// One statement of an EXECUTE: what the script asked for, and the worker body that
// runs it on its connection and moves values between the script's variables and
// the library's parameters and columns.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace Oracle {
class ODbQuery;
class ODbSproc;
}

namespace Transl {

class CommonVar;
class OraProc;

// The record fields are filled by the interpreter thread while it reads the
// statement and are left alone while the worker runs, except `message`, which
// both sides touch only under the owner's lock. Variables are not owned: they
// belong to the interpreter's variable table and outlive the item.
class ExecItem {
public:
    explicit ExecItem(OraProc& owner) : owner_(owner) {}
    ExecItem(const ExecItem&) = delete;
    ExecItem& operator=(const ExecItem&) = delete;

    std::string statementText;             // SQL items
    std::string procedureName;             // not empty exactly for stored-procedure items
    std::string procedurePrefix;           // the call text before its ".", or empty
    std::vector<CommonVar*> boundVariables;  // one per placeholder, in text order
    std::vector<CommonVar*> outputVariables; // one per query column, SQL items only
    CommonVar* messageVariable = nullptr;  // receives `message`; null when none was named
    std::time_t startTime = 0;             // taken just before the worker is created
    std::int32_t connectionNumber = 0;
    std::int32_t repeatCount = 1;          // executions of a statement that is not a query

    bool procedureCall = false;            // an SP item, even one whose name came out empty

    // Worker bodies; every failure ends up in the message, none leaves.
    void runSql();
    void runSproc();

    // The error text of the last run, empty after success. Caller holds the lock.
    const std::string& message() const { return message_; }
    // Interpreter thread, under the owner's lock: the script has moved on without
    // this item, so its worker must not touch script variables from now on.
    void abandon() { abandoned_ = true; }

private:
    void setMessage(const std::string& text);
    void bindParameters(Oracle::ODbQuery& query);
    void fetchRows(Oracle::ODbQuery& query);
    void storeRow(Oracle::ODbQuery& query, int columns, unsigned int row);
    void copyBack(Oracle::ODbQuery& query);
    void bindArguments(Oracle::ODbSproc& procedure);
    void copyArgumentsBack(Oracle::ODbSproc& procedure);
    void leaveIfAbandoned() const;

    OraProc& owner_;          // its connection table and lock
    std::string message_;     // guarded by the owner's lock
    bool abandoned_ = false;  // guarded by the owner's lock
};

} // namespace Transl
