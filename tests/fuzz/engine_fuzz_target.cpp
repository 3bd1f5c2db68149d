// Runs fuzzed statement texts through the engine's call interface, as a client
// would: prepare, bind the usual placeholder names, execute, fetch. Each case
// file given on the command line runs in a fresh database holding a few
// tables and a sequence; its statements are separated by kSeparator lines.
// Statement errors are the expected outcome. A statement that outlasts its
// limit gets a break, as a client's time-out would send one; one that does not
// end after the break is a hang: the program says so and exits with kHangStatus.
// Crashes and sanitizer reports are for the driver (fuzz_engine.py) to see.
#include "oci.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kSeparator = "\n--8<-- next statement --8<--\n";
constexpr int kHangStatus = 3;
// A statement may run this long before the break; after the break it must end
// within the second limit (a cancelled statement ends at its next step).
constexpr std::chrono::seconds kStatementLimit{2};
constexpr std::chrono::seconds kEndAfterBreak{10};
constexpr ub4 kMaxColumns = 8;
constexpr ub4 kMaxRows = 50;
constexpr sb4 kTextSize = 256;

const char* const kSetup[] = {
    "create table t (id number primary key, name varchar2(20), d date, r raw(8))",
    "create table w (id number, word varchar2(10) not null, body long)",
    "create sequence s start with 1 increment by 1",
    "insert into t values (1, 'one', sysdate, null)",
    "insert into t values (2, 'two', null, null)",
    "insert into w values (7, 'seven', 'a long text')",
    "commit",
};

const OraText* text(const std::string& s) { return reinterpret_cast<const OraText*>(s.c_str()); }

// Handles of one type, freed when the owner goes.
template <typename T, ub4 Type>
class Handle {
public:
    explicit Handle(OCIEnv* env) {
        void* handle = nullptr;
        if (OCIHandleAlloc(env, &handle, Type, 0, nullptr) != OCI_SUCCESS) std::abort();
        handle_ = static_cast<T*>(handle);
    }
    ~Handle() { OCIHandleFree(handle_, Type); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    T* get() const { return handle_; }

private:
    T* handle_;
};

class Environment {
public:
    Environment() {
        OCIInitialize(OCI_THREADED, nullptr, nullptr, nullptr, nullptr);
        if (OCIEnvInit(&env_, OCI_DEFAULT, 0, nullptr) != OCI_SUCCESS) std::abort();
    }
    ~Environment() { OCIHandleFree(env_, OCI_HTYPE_ENV); }
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;
    OCIEnv* get() const { return env_; }

private:
    OCIEnv* env_ = nullptr;
};

// Sends a break to the session when a statement outlasts kStatementLimit,
// and ends the program when the statement does not end after it.
class Watchdog {
public:
    Watchdog(OCISvcCtx* svc, OCIError* err) : svc_(svc), err_(err), thread_([this] { watch(); }) {}
    ~Watchdog() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    void begin(const std::string& statement) { setRunning(&statement); }
    void end() { setRunning(nullptr); }

private:
    void setRunning(const std::string* statement) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            running_ = statement;
            ++generation_;
        }
        changed_.notify_all();
    }

    void watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            if (running_ == nullptr) {
                changed_.wait(lock);
                continue;
            }
            const unsigned long generation = generation_;
            if (changed_.wait_for(lock, kStatementLimit, [&] { return stopping_ || generation_ != generation; }))
                continue;
            OCIBreak(svc_, err_);
            if (changed_.wait_for(lock, kEndAfterBreak, [&] { return stopping_ || generation_ != generation; }))
                continue;
            std::fprintf(stderr, "HANG: a statement did not end after a break:\n%.2000s\n", running_->c_str());
            std::fflush(stderr);
            std::_Exit(kHangStatus);
        }
    }

    OCISvcCtx* svc_;
    OCIError* err_;  // the watchdog's own: the running call owns the session's
    std::mutex mutex_;
    std::condition_variable changed_;
    const std::string* running_ = nullptr;  // the statement in progress, if any
    unsigned long generation_ = 0;          // counts begin and end
    bool stopping_ = false;
    std::thread thread_;
};

// The placeholders a fuzzed statement is likely to carry, bound where present:
// :n as a double, the others as text, so binds in both directions are exercised.
struct Binds {
    double number = 21;
    char texts[4][kTextSize] = {"1", "abc", "2", "x"};
    sb2 indicators[5] = {};

    void bindTo(OCIStmt* stmt, OCIError* err) {
        OCIBind* bind = nullptr;
        OCIBindByName(stmt, &bind, err, text(":n"), -1, &number, sizeof number, SQLT_FLT, &indicators[0], nullptr,
                      nullptr, 0, nullptr, OCI_DEFAULT);
        const char* names[] = {":a", ":s", ":id", ":b"};
        for (int i = 0; i < 4; ++i) {
            OCIBindByName(stmt, &bind, err, text(names[i]), -1, texts[i], kTextSize, SQLT_STR, &indicators[i + 1],
                          nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
        }
    }
};

class Session {
public:
    Session(OCIEnv* env, const std::string& alias)
        : env_(env), err_(env), breakErr_(env), server_(env), svc_(env), session_(env) {
        const std::string user = "scott", password = "tiger";
        loggedOn_ = OCIServerAttach(server_.get(), err_.get(), text(alias), static_cast<sb4>(alias.size()),
                                    OCI_DEFAULT) == OCI_SUCCESS;
        OCIAttrSet(svc_.get(), OCI_HTYPE_SVCCTX, server_.get(), 0, OCI_ATTR_SERVER, err_.get());
        OCIAttrSet(session_.get(), OCI_HTYPE_SESSION, const_cast<char*>(user.c_str()), 5, OCI_ATTR_USERNAME,
                   err_.get());
        OCIAttrSet(session_.get(), OCI_HTYPE_SESSION, const_cast<char*>(password.c_str()), 5, OCI_ATTR_PASSWORD,
                   err_.get());
        loggedOn_ = loggedOn_ && OCISessionBegin(svc_.get(), err_.get(), session_.get(), OCI_CRED_RDBMS,
                                                 OCI_DEFAULT) == OCI_SUCCESS;
        OCIAttrSet(svc_.get(), OCI_HTYPE_SVCCTX, session_.get(), 0, OCI_ATTR_SESSION, err_.get());
        if (!loggedOn_) {
            std::fprintf(stderr, "logon failed\n");
            std::exit(1);
        }
    }
    ~Session() {
        OCISessionEnd(svc_.get(), err_.get(), session_.get(), OCI_DEFAULT);
        OCIServerDetach(server_.get(), err_.get(), OCI_DEFAULT);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs `sql`; true when it succeeded.
    bool run(const std::string& sql, Watchdog& watchdog) {
        Handle<OCIStmt, OCI_HTYPE_STMT> stmt(env_);
        Binds binds;
        if (OCIStmtPrepare(stmt.get(), err_.get(), text(sql), static_cast<ub4>(sql.size()), OCI_NTV_SYNTAX,
                           OCI_DEFAULT) != OCI_SUCCESS)
            return false;
        binds.bindTo(stmt.get(), err_.get());
        ub2 type = 0;
        OCIAttrGet(stmt.get(), OCI_HTYPE_STMT, &type, nullptr, OCI_ATTR_STMT_TYPE, err_.get());
        watchdog.begin(sql);
        const sword status = OCIStmtExecute(svc_.get(), stmt.get(), err_.get(), type == OCI_STMT_SELECT ? 0 : 1, 0,
                                            nullptr, nullptr, OCI_DEFAULT);
        if (type == OCI_STMT_SELECT && status == OCI_SUCCESS) fetch(stmt.get());
        watchdog.end();
        return status == OCI_SUCCESS || status == OCI_SUCCESS_WITH_INFO;
    }

    OCISvcCtx* svc() const { return svc_.get(); }
    OCIError* breakErr() const { return breakErr_.get(); }

private:
    void fetch(OCIStmt* stmt) {
        ub4 columns = 0;
        OCIAttrGet(stmt, OCI_HTYPE_STMT, &columns, nullptr, OCI_ATTR_PARAM_COUNT, err_.get());
        std::vector<std::vector<char>> buffers(std::min(columns, kMaxColumns), std::vector<char>(kTextSize));
        std::vector<sb2> indicators(buffers.size());
        for (ub4 i = 0; i < buffers.size(); ++i) {
            OCIDefine* define = nullptr;
            OCIDefineByPos(stmt, &define, err_.get(), i + 1, buffers[i].data(), kTextSize, SQLT_STR, &indicators[i],
                           nullptr, nullptr, OCI_DEFAULT);
        }
        for (ub4 row = 0; row < kMaxRows; ++row) {
            const sword status = OCIStmtFetch(stmt, err_.get(), 1, OCI_FETCH_NEXT, OCI_DEFAULT);
            if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) return;
        }
    }

    OCIEnv* env_;
    Handle<OCIError, OCI_HTYPE_ERROR> err_;
    Handle<OCIError, OCI_HTYPE_ERROR> breakErr_;
    Handle<OCIServer, OCI_HTYPE_SERVER> server_;
    Handle<OCISvcCtx, OCI_HTYPE_SVCCTX> svc_;
    Handle<OCISession, OCI_HTYPE_SESSION> session_;
    bool loggedOn_ = false;
};

std::vector<std::string> statementsOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::vector<std::string> statements;
    std::size_t start = 0;
    for (std::size_t at; (at = content.find(kSeparator, start)) != std::string::npos; start = at + kSeparator.size())
        statements.push_back(content.substr(start, at - start));
    statements.push_back(content.substr(start));
    return statements;
}

// Runs one case; reports how many of its statements succeeded, so that a
// campaign shows whether its inputs get past the parsers at all.
void runCase(OCIEnv* env, const std::string& alias, const std::string& path) {
    Session session(env, alias);
    Watchdog watchdog(session.svc(), session.breakErr());
    for (const char* setup : kSetup) {
        if (!session.run(setup, watchdog)) std::fprintf(stderr, "setup failed: %s\n", setup);
    }
    const std::vector<std::string> statements = statementsOf(path);
    std::size_t succeeded = 0;
    for (const std::string& statement : statements) succeeded += session.run(statement, watchdog) ? 1 : 0;
    std::fprintf(stderr, "%zu of %zu statements succeeded\n", succeeded, statements.size());
}

}  // namespace

int main(int argc, char** argv) {
    Environment env;
    for (int i = 1; i < argc; ++i) {
        std::fprintf(stderr, "CASE %s\n", argv[i]);
        std::fflush(stderr);
        runCase(env.get(), "case" + std::to_string(i), argv[i]);
    }
    return 0;
}
