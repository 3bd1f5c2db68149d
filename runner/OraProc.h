// The interpreter's database side: the numbered connections, the statements of an
// EXECUTE and the lock shared with the worker threads of timed execution.
#pragma once

#include "ExecItem.h"
#include "Mutex.h"
#include "RefCountPtr.h"

#include "ODbConnect.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Transl {

class Interpreter;
class ThreadManager;

// The mutex is re-entrant and guards the connection table and every copy between
// script variables and library parameters; it is not part of the public face, so
// callers hold it through Lock.
class OraProc : protected Utils::Mutex {
public:
    using Connection = Utils::RefCountPtr<Oracle::ODbConnect>;
    // Items of one EXECUTE by item number (from 1); owned.
    using Items = std::map<std::int32_t, std::unique_ptr<ExecItem>>;

    // Holds the mutex of one OraProc for a scope.
    class Lock {
    public:
        explicit Lock(OraProc& owner) : guard_(owner) {}

    private:
        Utils::Mutex::Guard guard_;
    };

    OraProc() = default;
    virtual ~OraProc();
    OraProc(const OraProc&) = delete;
    OraProc& operator=(const OraProc&) = delete;

    // Seconds that every later EXECUTE may take; zero or less means no limit.
    void setTimeout(std::int32_t seconds) { timeout_ = seconds; }
    std::int32_t timeout() const { return timeout_; }

    // Connection table; each operation holds the mutex throughout.
    // Largest number in the table, 0 when it is empty.
    std::int32_t largestConnection();
    // Creates a connection (not logged on) under a number that is not in the table;
    // a number in use is an internal failure.
    Oracle::ODbConnect& newConnection(std::int32_t number);
    // The connection of a number; an absent number is an internal failure.
    Oracle::ODbConnect& connection(std::int32_t number);
    bool hasConnection(std::int32_t number);

    // The error text of the last CONNECT or DISCONNECT; empty after success.
    const std::string& message() const { return message_; }

    // The statements; the current token is the keyword, and each reads up to and
    // including its ";".
    void readConnect(Interpreter& interpreter);
    void readDisconnect(Interpreter& interpreter);
    void readExecute(Interpreter& interpreter);

    // Runs the items of one EXECUTE on `workers` under the time-out, hands their
    // messages to their message variables and empties the statement table; true
    // when the time-out passed. On a time-out the calls of the workers that still
    // run are broken; a worker that has not ended after a short grace is given up.
    bool runItems(ThreadManager& workers, Items items);

    // Worker procedures of the threads: the argument is the ExecItem to run.
    static unsigned int executeSql(void* item);
    static unsigned int executeSproc(void* item);

private:
    class ExecutionScope;

    Items readItems(Interpreter& interpreter);
    // Ends every worker and empties the statement table.
    void endItems(ThreadManager& workers);
    // Breaks what still runs, then gives up the items of workers that outlast
    // the grace and lets go of every worker.
    void endWorkers(ThreadManager& workers);
    void breakWorkers(ThreadManager& workers);
    // Interrupts the database call of each numbered item, if one is in progress.
    void breakCalls(const std::vector<std::int32_t>& numbers);
    // Gives up item `number` to a worker that still runs; caller holds the lock.
    void abandon(std::int32_t number);
    void storeMessages();

    std::string message_;                        // of the last CONNECT or DISCONNECT
    std::map<std::int32_t, Connection> connections_; // holds one reference to each
    Items statements_;                           // the running EXECUTE's items; empty between
    std::int32_t timeout_ = -1;                  // set by TIMEOUT; -1 until then
};

} // namespace Transl
