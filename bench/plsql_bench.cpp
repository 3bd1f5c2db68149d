// The engine's stored procedures against their peers, in the same run:
//  - a procedure's loop FOR i IN 1 .. 1000000 LOOP s := s + i * 2; END LOOP
//    against the same loop in CPython (the system interpreter, timed inside
//    itself so that neither side counts its start-up); target: at most 3 times;
//  - 10,000 calls of a two-argument procedure that inserts one row, through
//    one prepared block, against 10,000 executions of the equivalent INSERT;
//    target: at most 2 times.
// PLSQL_BENCH_CALLS set in the environment runs the calls alone (for a profiler).
#include "OciBenchSession.h"
#include "oci.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr int kCalls = 10000;
constexpr int kRepeats = 3;  // best of, to damp noise from other processes

void fail(const std::string& what) {
    std::fprintf(stderr, "plsql_bench: %s\n", what.c_str());
    std::exit(1);
}

double wallMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double bestOf(const std::function<void()>& work) {
    double best = 1e300;
    for (int i = 0; i < kRepeats; ++i) {
        const double start = wallMilliseconds();
        work();
        best = std::min(best, wallMilliseconds() - start);
    }
    return best;
}

// One session of the engine with number binds.
class Session : public OciBenchSession {
public:
    Session() : OciBenchSession("plsql") {}
    void bind(OCIStmt* stmt, const char* name, double* value) {
        OCIBind* bind = nullptr;
        OCIBindByName(stmt, &bind, err_, reinterpret_cast<const OraText*>(name), -1, value, sizeof *value, SQLT_FLT,
                      nullptr, nullptr, nullptr, 0, nullptr, OCI_DEFAULT);
    }
};

// The loop in CPython, timed inside the interpreter, in milliseconds.
double pythonLoop() {
    const char* command =
        "python3 -c 'import time\n"
        "def run():\n"
        "    s = 0\n"
        "    for i in range(1, 1000001):\n"
        "        s = s + i * 2\n"
        "    return s\n"
        "best = min((lambda t: (run(), time.perf_counter() - t)[1])(time.perf_counter()) for _ in range(3))\n"
        "print(best * 1000)'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command, "r"), pclose);
    double milliseconds = 0;
    if (!pipe || std::fscanf(pipe.get(), "%lf", &milliseconds) != 1) fail("python3 did not run");
    return milliseconds;
}

void report(const char* what, double engine, const char* peerName, double peer, double target) {
    std::printf("%-40s engine %8.1f ms   %s %8.1f ms   ratio %.2f (target %.1f)\n", what, engine, peerName, peer,
                engine / peer, target);
}

}  // namespace

int main() {
    std::string pattern = (std::filesystem::temp_directory_path() / "plsql-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) fail("mkdtemp");
    setenv("VOR_DATA_DIR", pattern.c_str(), 1);
    {
        Session session;
        session.run("create procedure spin is s number := 0; begin "
                    "for i in 1 .. 1000000 loop s := s + i * 2; end loop; end;");
        session.run("create table rows_in (a number, b number)");
        session.run("create procedure put(a number, b number) is begin insert into rows_in values (a, b); end;");
        OCIStmt* spin = session.prepare("begin spin; end;");
        const bool callsOnly = std::getenv("PLSQL_BENCH_CALLS") != nullptr;
        if (!callsOnly) {
            const double loop = bestOf([&] { session.execute(spin, "spin"); });
            report("loop of 1,000,000 passes", loop, "CPython", pythonLoop(), 3);
        }

        double a = 0, b = 0;
        OCIStmt* call = session.prepare("begin put(:a, :b); end;");
        OCIStmt* insert = session.prepare("insert into rows_in values (:a, :b)");
        session.bind(call, ":a", &a);
        session.bind(call, ":b", &b);
        session.bind(insert, ":a", &a);
        session.bind(insert, ":b", &b);
        auto repeat = [&](OCIStmt* stmt) {
            for (int i = 0; i < kCalls; ++i) {
                a = i;
                b = i * 2;
                session.execute(stmt, "row");
            }
            session.run("rollback");
        };
        const double calls = bestOf([&] { repeat(call); });
        const double inserts = bestOf([&] { repeat(insert); });
        report("10,000 procedure calls inserting a row", calls, "INSERT", inserts, 2);
    }
    std::filesystem::remove_all(pattern);
    return 0;
}
